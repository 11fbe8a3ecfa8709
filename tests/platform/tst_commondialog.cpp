#include "FileDialogDriver.h"

#include "CommonDialog.h"
#include "QtTranslations.h"
#include "RuntimeError.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
const char* const FldFilter = "All files (*.*)|*.*|MineField files (*.fld)|*.fld";

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}
}

class tst_CommonDialog : public QObject {
    Q_OBJECT
private slots:
    void nameFilters_data();
    void nameFilters();
    void showAppliesSettings_data();
    void showAppliesSettings();
    void filterIndexFollowsUser();
    void cancel_data();
    void cancel();
    void refusedChoiceAsksAgain();
    void refusal_data();
    void refusal();
    void remembersFolder();
    void chineseAndRoomy();
};

void tst_CommonDialog::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two pairs, *.* matches every name")
        << FldFilter << QStringList{"All files (*.*) (*)", "MineField files (*.fld) (*.fld)"};
    QTest::newRow("several patterns") << "Text|*.txt;*.log" << QStringList{"Text (*.txt *.log)"};
    QTest::newRow("description without pattern") << "A|*.a|B" << QStringList{"A (*.a)"};
    QTest::newRow("empty pattern") << "Any|" << QStringList{"Any (*)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void tst_CommonDialog::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(CommonDialog::nameFilters(filter), expected);
}

void tst_CommonDialog::showAppliesSettings_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("flags");
    QTest::newRow("save") << false << 0x8806;
    QTest::newRow("open") << true << 0x9004;
}

// The real dialog gets every setting, and its answer comes back with the
// default extension added to the proposed name.
void tst_CommonDialog::showAppliesSettings()
{
    QFETCH(bool, open);
    QFETCH(int, flags);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (open)
        touch(dir.filePath("MField.fld"));

    CommonDialog cdl;
    cdl.Filter = FldFilter;
    cdl.FilterIndex = 2;
    cdl.DefaultExt = "fld";
    cdl.Flags = flags;
    cdl.DialogTitle = "Pick one ";
    cdl.FileName = "MField";

    QString title, suffix, filter, typed;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::Directory;
    bool confirmsOverwrite = false;
    FileDialogDriver driver({[&](QFileDialog& d) {
        title = d.windowTitle();
        suffix = d.defaultSuffix();
        filter = d.selectedNameFilter();
        mode = d.acceptMode();
        fileMode = d.fileMode();
        confirmsOverwrite = !d.testOption(QFileDialog::DontConfirmOverwrite);
        d.setDirectory(dir.path());
        FileDialogDriver::confirm(d);
    }});
    QVERIFY_THROWS_NO_EXCEPTION(open ? cdl.ShowOpen() : cdl.ShowSave());

    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(title, QString("Pick one "));
    QCOMPARE(suffix, QString("fld"));
    // The dialog shows the description as written, without the patterns added for it.
    QCOMPARE(filter, QString("MineField files (*.fld)"));
    QCOMPARE(mode, open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    QCOMPARE(fileMode, open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!open)
        QVERIFY(confirmsOverwrite);
    QCOMPARE(cdl.FileName, dir.filePath("MField.fld"));
    QCOMPARE(cdl.FileTitle, QString("MField.fld"));
    QCOMPARE(cdl.FilterIndex, 2);
}

void tst_CommonDialog::filterIndexFollowsUser()
{
    QTemporaryDir dir;
    CommonDialog cdl;
    cdl.Filter = FldFilter;
    cdl.FilterIndex = 2;
    FileDialogDriver driver({[&](QFileDialog& d) {
        d.selectNameFilter(CommonDialog::nameFilters(FldFilter).at(0));
        FileDialogDriver::type(d, dir.filePath("board.txt"));
        FileDialogDriver::confirm(d);
    }});
    QVERIFY_THROWS_NO_EXCEPTION(cdl.ShowSave());
    QCOMPARE(cdl.FilterIndex, 1);
    QCOMPARE(cdl.FileTitle, QString("board.txt"));
}

void tst_CommonDialog::cancel_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("save") << false;
    QTest::newRow("open") << true;
}

void tst_CommonDialog::cancel()
{
    QFETCH(bool, open);
    CommonDialog cdl;
    cdl.FileName = "MField";
    cdl.FileTitle = "before";
    FileDialogDriver driver({FileDialogDriver::reject()});
    try {
        open ? cdl.ShowOpen() : cdl.ShowSave();
        QFAIL("a cancelled dialog returned normally");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::Cancel);
        QCOMPARE(QString(e.what()), QString("Cancel was selected."));
    }
    QCOMPARE(cdl.FileName, QString("MField"));
    QCOMPARE(cdl.FileTitle, QString("before"));
    QCOMPARE(driver.unexpected, 0);
}

// A choice the flags refuse is explained, and the same dialog asks again.
void tst_CommonDialog::refusedChoiceAsksAgain()
{
    QTemporaryDir dir;
    CommonDialog cdl;
    cdl.Flags = CommonDialog::cdlOFNPathMustExist;
    FileDialogDriver driver({FileDialogDriver::accept(dir.filePath("missing/a.fld")),
                             FileDialogDriver::accept(dir.filePath("a.fld"))});
    QVERIFY_THROWS_NO_EXCEPTION(cdl.ShowSave());
    QCOMPARE(driver.messages.size(), 1);
    QVERIFY(driver.messages.at(0).contains("missing"));
    QCOMPARE(cdl.FileName, dir.filePath("a.fld"));
    QCOMPARE(driver.unexpected, 0);
}

void tst_CommonDialog::refusal_data()
{
    QTest::addColumn<QString>("name");  // relative to a folder holding "there.fld"
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("refused");
    const int path = CommonDialog::cdlOFNPathMustExist, file = CommonDialog::cdlOFNFileMustExist;
    QTest::newRow("missing folder, path must exist") << "no/x.fld" << path << false << true;
    QTest::newRow("missing folder, file must exist") << "no/x.fld" << file << true << true;
    QTest::newRow("missing folder, no flag") << "no/x.fld" << 0 << false << false;
    QTest::newRow("new file, path must exist") << "x.fld" << path << false << false;
    QTest::newRow("missing file, file must exist") << "x.fld" << file << true << true;
    QTest::newRow("existing file, file must exist") << "there.fld" << file << true << false;
    QTest::newRow("read-only file, no read-only return")
        << "there.fld" << CommonDialog::cdlOFNNoReadOnlyReturn << true << true;
}

void tst_CommonDialog::refusal()
{
    QFETCH(QString, name);
    QFETCH(int, flags);
    QFETCH(bool, open);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    touch(dir.filePath("there.fld"));
    if (flags & CommonDialog::cdlOFNNoReadOnlyReturn) {
        // The superuser may write anywhere, so no file is read-only to it.
        if (geteuid() == 0)
            QSKIP("read-only files cannot be made for the superuser");
        QFile::setPermissions(dir.filePath("there.fld"), QFile::ReadOwner);
    }
    QCOMPARE(!CommonDialog::refusal(dir.filePath(name), flags, open).isEmpty(), refused);
}

void tst_CommonDialog::remembersFolder()
{
    QTemporaryDir dir;
    CommonDialog cdl;
    QString shownIn;
    FileDialogDriver driver({FileDialogDriver::accept(dir.filePath("one.fld")),
                             [&](QFileDialog& d) {
                                 shownIn = d.directory().absolutePath();
                                 d.reject();
                             }});
    QVERIFY_THROWS_NO_EXCEPTION(cdl.ShowSave());
    cdl.FileName = "MField";
    QVERIFY_THROWS_EXCEPTION(RuntimeError, cdl.ShowSave());
    QCOMPARE(shownIn, QDir(dir.path()).absolutePath());
}

void tst_CommonDialog::chineseAndRoomy()
{
    // Last: the translations stay installed for the rest of the program.
    QVERIFY(installQtTranslations(*QCoreApplication::instance()));
    QTemporaryDir dir;
    CommonDialog cdl;
    cdl.Filter = FldFilter;
    cdl.FileName = dir.filePath("x.fld");
    QString openText;
    int width = 0;
    bool nameStretches = false;
    FileDialogDriver driver({[&](QFileDialog& d) {
        if (auto* buttons = d.findChild<QDialogButtonBox*>())
            openText = buttons->button(QDialogButtonBox::Open)->text();
        width = d.width();
        if (auto* list = d.findChild<QTreeView*>(QStringLiteral("treeView")))
            nameStretches = list->header()->sectionResizeMode(0) == QHeaderView::Stretch;
        d.reject();
    }});
    QVERIFY_THROWS_EXCEPTION(RuntimeError, cdl.ShowOpen());
    QVERIFY2(openText.contains(QStringLiteral("打开")), qPrintable(openText));
    QVERIFY(width >= 820);
    QVERIFY(nameStretches);
}

QTEST_MAIN(tst_CommonDialog)
#include "tst_commondialog.moc"
