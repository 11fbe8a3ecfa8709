#include "AppTestSupport.h"
#include "AppTests.h"

#include "fCustom.h"

#include "Rnd.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace AppTest;

namespace {

// Runs the custom command and acts on the dialog while it is shown modally. A
// script that leaves the dialog open fails the test; the dialog is then cancelled
// so that the command can return.
bool runCustom(fMines9& w, const std::function<void(fCustom&)>& script)
{
    bool ran = false;
    bool leftOpen = false;
    QTimer::singleShot(0, &w, [&] {
        auto* dialog = w.findChild<fCustom*>();
        if (!dialog)
            return;
        ran = true;
        script(*dialog);
        if (dialog->isVisible()) {
            leftOpen = true;
            dialog->cmdCancel_Click();
        }
    });
    w.mnuGame_Click(11);
    return ran && !leftOpen && !w.findChild<fCustom*>();
}

QList<bool> layoutOf(cField& f)
{
    QList<bool> layout;
    for (int i = 0; cCell* cell = f.Cell(i); ++i)
        layout << cell->Mine();
    return layout;
}

}

class TestCustomDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { Rnd::setSeedSource([] { return 7u; }); }
    void cleanup() { Rnd::setSeedSource(nullptr); }

    void prefilled_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("straight after start") << 0 << QStringList{"16", "30", "99"};
        QTest::newRow("after novice") << 2 << QStringList{"9", "9", "10"};
    }
    void prefilled()
    {
        QFETCH(int, level);
        QFETCH(QStringList, texts);
        fMines9 w;
        if (level)
            w.mnuGame_Click(level);
        QStringList shown;
        QVERIFY(runCustom(w, [&](fCustom& d) {
            shown = {d.txtHeight->text(), d.txtWidth->text(), d.txtMines->text(), d.windowTitle()};
            QVERIFY(d.isModal());
            QCOMPARE(d.focusWidget(), d.txtHeight);
            QCOMPARE(d.txtHeight->selectedText(), d.txtHeight->text());
            QTest::keyClick(d.txtHeight, Qt::Key_Escape);
        }));
        QCOMPARE(shown, texts + QStringList{"自定义难度"});
    }

    void customSize_data()
    {
        QTest::addColumn<QStringList>("texts");  // height, width, mines; a null text stays as filled
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QList<int>>("board");   // width, height, mines
        QTest::newRow("all three, OK") << QStringList{"20", "40", "100"} << false << QList<int>{40, 20, 100};
        QTest::newRow("all three, Enter") << QStringList{"20", "40", "100"} << true << QList<int>{40, 20, 100};
        QTest::newRow("width 7 kept") << QStringList{"20", "7", {}} << false << QList<int>{30, 20, 99};
        QTest::newRow("width 300 kept") << QStringList{"20", "300", {}} << true << QList<int>{30, 20, 99};
        QTest::newRow("height 0 kept") << QStringList{"0", "40", {}} << false << QList<int>{40, 16, 99};
        QTest::newRow("height 167 kept") << QStringList{"167", "40", {}} << true << QList<int>{40, 16, 99};
        QTest::newRow("emptied mines") << QStringList{{}, {}, ""} << true << QList<int>{30, 16, 99};
        QTest::newRow("halves to even") << QStringList{"12.5", "13.5", "10.5"} << false << QList<int>{14, 12, 10};
        QTest::newRow("beyond 32 bits") << QStringList{{}, {}, "99999999999"} << true << QList<int>{30, 16, 99};
        // Counts the board cannot hold are kept to what the dealt board can take.
        QTest::newRow("mines fill the board") << QStringList{{}, {}, "5000"} << true << QList<int>{30, 16, 479};
        QTest::newRow("mines fill the kept width") << QStringList{"10", "300", "400"} << true << QList<int>{30, 10, 299};
        QTest::newRow("pasted negative") << QStringList{{}, {}, "-5"} << true << QList<int>{30, 16, 0};
    }
    void customSize()
    {
        QFETCH(QStringList, texts);
        QFETCH(bool, byEnter);
        QFETCH(QList<int>, board);
        fMines9 w;
        QVERIFY(runCustom(w, [&](fCustom& d) {
            QLineEdit* boxes[] = {d.txtHeight, d.txtWidth, d.txtMines};
            for (int i = 0; i < 3; ++i) {
                if (!texts[i].isNull())
                    boxes[i]->setText(texts[i]);
            }
            if (byEnter)
                QTest::keyClick(d.txtMines, Qt::Key_Enter);
            else
                QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        }));
        QCOMPARE((QList<int>{w.Field->Xx(), w.Field->Yy(), w.Field->MTot()}), board);
        QCOMPARE(mineCount(*w.Field), board[2]);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Ready);
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{11});
        QCOMPARE(w.lblMines->text(), QString::number(board[2]));

        // A new game keeps the custom size and count.
        w.mnuGame_Click(0);
        QCOMPARE((QList<int>{w.Field->Xx(), w.Field->Yy(), w.Field->MTot()}), board);
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{11});
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }
    void cancelChangesNothing()
    {
        QFETCH(QString, how);
        fMines9 w;
        const int safe = firstCell(*w.Field, false);
        click(*w.Field, safe);
        const QList<bool> layout = layoutOf(*w.Field);
        const cField* before = w.Field.get();
        QVERIFY(runCustom(w, [&](fCustom& d) {
            d.txtWidth->setText("40");
            if (how == "cancel")
                QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
            else if (how == "esc")
                QTest::keyClick(d.txtWidth, Qt::Key_Escape);
            else
                d.close();
        }));
        QCOMPARE(w.Field.get(), before);
        QCOMPARE(layoutOf(*w.Field), layout);
        QCOMPARE(w.Field->Cell(safe)->Status(), CellStatus::Opened);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Running);
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{4});
    }

    void unchangedOkDealsAfresh()
    {
        fMines9 w;
        const int safe = firstCell(*w.Field, false);
        click(*w.Field, safe);
        QVERIFY(runCustom(w, [](fCustom& d) { QTest::keyClick(d.txtHeight, Qt::Key_Return); }));
        QCOMPARE(w.Field->Cell(safe)->Status(), CellStatus::Covered);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Ready);
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{11});
    }

    void badBoxHoldsMouseButNotKeys_data()
    {
        QTest::addColumn<bool>("okButton");
        QTest::newRow("OK clicked, then Enter") << true;
        QTest::newRow("Cancel clicked, then Esc") << false;
    }
    void badBoxHoldsMouseButNotKeys()
    {
        QFETCH(bool, okButton);
        fMines9 w;
        const QList<bool> layout = layoutOf(*w.Field);
        bool heldAfterClick = false;
        QVERIFY(runCustom(w, [&](fCustom& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.txtMines->setFocus();
            d.txtMines->clear();
            QTest::mouseClick(okButton ? d.cmdOK : d.cmdCancel, Qt::LeftButton);
            heldAfterClick = d.isVisible() && d.focusWidget() == d.txtMines && !d.IsCancelled;
            QTest::keyClick(d.txtMines, okButton ? Qt::Key_Return : Qt::Key_Escape);
        }));
        QVERIFY(heldAfterClick);
        QCOMPARE(w.Field->MTot(), 99);
        QCOMPARE(layoutOf(*w.Field) == layout, !okButton);
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{okButton ? 11 : 4});
    }

    void keyFilter_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("digit in height") << "txtHeight" << "5" << "165" << "自定义难度";
        QTest::newRow("letter in height") << "txtHeight" << "a" << "16" << "97";
        QTest::newRow("letters in height") << "txtHeight" << "aZ" << "16" << "90";
        QTest::newRow("letter in width") << "txtWidth" << "a" << "30" << "自定义难度";
        QTest::newRow("minus in mines") << "txtMines" << "-" << "99" << "自定义难度";
        QTest::newRow("backspace in mines") << "txtMines" << "\b" << "9" << "自定义难度";
        QTest::newRow("space in height") << "txtHeight" << " 7" << "167" << "32";
    }
    void keyFilter()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        fCustom d;
        d.x0 = 30;
        d.y0 = 16;
        d.m0 = 99;
        d.show();
        auto* edit = d.findChild<QLineEdit*>(box);
        QVERIFY(edit);
        edit->end(false);
        for (const QChar c : typed) {
            if (c == '\b')
                QTest::keyClick(edit, Qt::Key_Backspace);
            else
                QTest::keyClick(edit, c.toLatin1());
        }
        QCOMPARE(edit->text(), text);
        QCOMPARE(d.windowTitle(), caption);
    }

    void leavingBoxValidates()
    {
        fCustom d;
        d.x0 = 30;
        d.y0 = 16;
        d.m0 = 99;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.focusWidget(), d.txtHeight);

        d.txtHeight->clear();
        QTest::keyClick(d.txtHeight, Qt::Key_Tab);
        QCOMPARE(d.focusWidget(), d.txtHeight);
        QTest::mouseClick(d.txtMines, Qt::LeftButton);
        QCOMPARE(d.focusWidget(), d.txtHeight);
        QCOMPARE(d.y0.toInt(), 16);

        d.txtHeight->setText("25");
        QTest::keyClick(d.txtHeight, Qt::Key_Tab);
        QCOMPARE(d.y0.toInt(), 25);
        QWidget* order[] = {d.txtWidth, d.txtMines, d.cmdOK, d.cmdCancel};
        for (QWidget* next : order) {
            QCOMPARE(d.focusWidget(), next);
            QTest::keyClick(next, Qt::Key_Tab);
        }
    }

    void roundedNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << true << 42;
        QTest::newRow("spaces around") << " 7 " << true << 7;
        QTest::newRow("2.5 to even") << "2.5" << true << 2;
        QTest::newRow("3.5 to even") << "3.5" << true << 4;
        QTest::newRow("negative") << "-3" << true << -3;
        QTest::newRow("exponent") << "1e2" << true << 100;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("beyond 32 bits") << "2147483648" << false << 0;
        QTest::newRow("infinite") << "inf" << false << 0;
    }
    void roundedNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(int, value);
        const std::optional<int> result = fCustom::roundedNumber(text);
        QCOMPARE(result.has_value(), number);
        if (number)
            QCOMPARE(*result, value);
    }

    void captionAfterImport_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::newRow("a level") << "level" << "Gridwarden";
        QTest::newRow("a custom size") << "custom" << "Gridwarden";
        QTest::newRow("a cancelled custom size") << "cancel" << "Mines - file.fld";
        QTest::newRow("a new game of the file's size") << "new game" << "Mines - file.fld";
    }
    void captionAfterImport()
    {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        QTemporaryDir dir;
        fMines9 w;
        importFld(w, {writeFld(dir.filePath("file.fld"), {"00100000", "00000000"})});
        QCOMPARE(w.windowTitle(), QStringLiteral("Mines - file.fld"));
        if (command == "level")
            w.mnuGame_Click(2);
        else if (command == "new game")
            w.mnuGame_Click(0);
        else
            QVERIFY(runCustom(w, [&](fCustom& d) { command == "cancel" ? d.cmdCancel_Click() : d.cmdOK_Click(); }));
        QCOMPARE(w.windowTitle(), caption);
    }
};

int runCustomDialogTests(int argc, char** argv)
{
    TestCustomDialog tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_fCustom.moc"
