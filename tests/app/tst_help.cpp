#include "AppTestSupport.h"
#include "AppTests.h"

#include "fAbout.h"
#include "mGlobal.h"

#include "AppPath.h"
#include "Shell.h"
#include "WebHosts.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace AppTest;

// The Help menu, the About box, the hex game's launch and a minefield named on
// the command line.
class TestHelpAndLinks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { programFolder = AppPath(); }
    void init()
    {
        calls.clear();
        setShellRecorder([this](const ShellCall& call) { calls.append(call); });
    }
    void cleanup()
    {
        setShellRecorder(nullptr);
        setAppPath(programFolder);
    }

    void aboutBox()
    {
        fAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("关于扫雷"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Gridwarden"));
        QCOMPARE(about.Label2->text(), QStringLiteral("版本："));
        QCOMPARE(about.lblVer->text(), QStringLiteral("V2005.7"));
        QCOMPARE(about.Label1->text(), QStringLiteral("作者："));
        QCOMPARE(about.lblAuthor->text(), QStringLiteral("Tervane软件工作室"));
        QCOMPARE(about.txtInfo->toPlainText(),
                 QStringLiteral("Gridwarden玩家的首选!\n作者网站：\n")
                     + QString::fromLatin1(WebHosts::MainSite));
        QCOMPARE(about.cmdOK->text(), QStringLiteral("确定"));
        QVERIFY(!about.Image3->pixmap().isNull());
        // Placed in twips as laid out: lblVer at 1860, 495; cmdOK at 3660, 2730, 825 x 315.
        QCOMPARE(about.lblVer->pos(), QPoint(124, 33));
        QCOMPARE(about.cmdOK->geometry(), QRect(244, 182, 55, 21));
        about.show();
        about.cmdOK_Click();
        QVERIFY(!about.isVisible());
    }

    void shellItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("inProgramFolder");
        QTest::addColumn<int>("showCmd");
        const QString site = QString::fromLatin1(WebHosts::MainSite);
        QTest::newRow("game park") << "mnuGameHome" << "open" << site + "/kqgame.htm" << false << 5;
        QTest::newRow("home page") << "mnuHome" << "open" << site + "/softinfo/gridwarden.htm" << false
                                   << 5;
        QTest::newRow("browser") << "mnuZVBrowser" << "Open" << site + "/softinfo/vudirozevid.htm"
                                 << true << 1;
        QTest::newRow("sprite") << "mnuZVSprite" << "Open" << site + "/softinfo/dazeridodiradid.htm"
                                << true << 1;
        QTest::newRow("help") << "mnuHelp" << "open" << "<folder>/readme.txt" << true << 1;
    }
    void shellItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, verb);
        QFETCH(QString, file);
        QFETCH(bool, inProgramFolder);
        QFETCH(int, showCmd);
        setAppPath(QStringLiteral("/opt/games"));
        fMines9 w;
        w.findChild<QAction*>(item)->trigger();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].verb, verb);
        QCOMPARE(calls[0].file, QString(file).replace("<folder>", "/opt/games"));
        QCOMPARE(calls[0].parameters, QString());
        QCOMPARE(calls[0].directory, inProgramFolder ? QStringLiteral("/opt/games") : QString());
        QCOMPARE(calls[0].showCmd, showCmd);
    }

    void recommendDoesNothing()
    {
        fMines9 w;
        w.mnuMail->trigger();
        QVERIFY(calls.isEmpty());
    }

    // The hex game starts as a process of its own from the program's folder; a
    // missing one leaves this game as it was.
    void startsHexGame()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("started");
        QFile script(dir.filePath("patternsweep"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        setAppPath(dir.path());
        fMines9 w;
        w.mnuPatternsweep->trigger();
        QTRY_VERIFY(QFile::exists(marker));

        QVERIFY(QFile::remove(script.fileName()));
        const cField* before = w.Field.get();
        w.mnuPatternsweep_Click();
        QCOMPARE(w.Field.get(), before);
        QVERIFY(w.mnuPatternsweep->isEnabled());
    }

    void fileFromCommandLine_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("title");
        QTest::newRow("a minefield") << QStringList{"00000001", "00000000"} << 8
                                     << "Mines - board.fld";
        QTest::newRow("a broken file") << QStringList{"0000000"} << 30 << "Gridwarden";
        QTest::newRow("no such file") << QStringList{} << 30 << "Gridwarden";
    }
    void fileFromCommandLine()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, width);
        QFETCH(QString, title);
        QTemporaryDir dir;
        const QString path = dir.filePath("board.fld");
        if (!rows.isEmpty())
            writeFld(path, rows);
        fMines9 w;
        w.importMinefield(path);
        QCOMPARE(w.Field->Xx(), width);
        QCOMPARE(w.windowTitle(), title);
        // The File menu's own dialog is back in place for the next import.
        QVERIFY(w.CommonDialog1 && !dynamic_cast<ScriptedFileDialog*>(w.CommonDialog1.get()));
    }

    // Two real copies of the game: the second ends during its start-up while the
    // first plays on. The lock a killed copy leaves behind keeps nobody out.
    void oneCopyAtATime()
    {
        QTemporaryDir folder, runtime;
        // A folder of its own, without the notification component beside it.
        const QString program = folder.filePath("gridwarden");
        QVERIFY(QFile::copy(QStringLiteral(GRIDWARDEN_PROGRAM), program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("HOME", folder.path());
        const QString lock = runtime.filePath("gridwarden.lock");
        const auto start = [&](QProcess& p) {
            p.setProcessEnvironment(env);
            p.start(program, {});
            return p.waitForStarted();
        };
        const auto holder = [&] {
            QFile file(lock);
            return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
        };

        QProcess first;
        QVERIFY(start(first));
        QTRY_COMPARE_WITH_TIMEOUT(holder(), first.processId(), 20000);
        QProcess second;
        QVERIFY(start(second));
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        QVERIFY(first.waitForFinished(20000));
        QVERIFY(QFile::exists(lock));
        QProcess third;
        QVERIFY(start(third));
        QTRY_COMPARE_WITH_TIMEOUT(holder(), third.processId(), 20000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        third.waitForFinished(20000);
    }

    // A later start of the real program, given a file by a name relative to its
    // own working folder, ends and hands over: this copy comes forward (out of
    // its minimised state, or the dialog open over it does) and imports the file
    // as the File menu would, except under a dialog.
    void laterCopyHandsOver_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("underDialog");
        QTest::addColumn<QString>("title");
        const QStringList board{"00000001", "00000000"};
        QTest::newRow("a minefield") << board << false << false << "Mines - board.fld";
        QTest::newRow("a broken file, minimised") << QStringList{"0000000"} << true << false << "Gridwarden";
        QTest::newRow("a dialog open") << board << false << true << "Gridwarden";
    }
    void laterCopyHandsOver()
    {
        QFETCH(QStringList, rows);
        QFETCH(bool, minimised);
        QFETCH(bool, underDialog);
        QFETCH(QString, title);
        QTemporaryDir folder;
        writeFld(folder.filePath("board.fld"), rows);
        const QString program = folder.filePath("gridwarden");
        QVERIFY(QFile::copy(QStringLiteral(GRIDWARDEN_PROGRAM), program));

        fMines9 w;
        mGlobal::answerLaterCopies(w);
        w.show();
        QDialog dialog(&w);
        if (underDialog) {
            dialog.setWindowModality(Qt::WindowModal);
            dialog.show();
        }
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        if (minimised)
            w.showMinimized();
        QTRY_VERIFY(elsewhere.isActiveWindow());

        QProcess later;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", folder.path());
        later.setProcessEnvironment(env);
        later.setWorkingDirectory(folder.path());
        later.start(program, {"board.fld"});
        QVERIFY(later.waitForStarted());
        // Waited for with this copy's events running: it has to answer.
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 20000);
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), 0);
        QWidget* front = underDialog ? static_cast<QWidget*>(&dialog) : &w;
        QTRY_VERIFY(front->isActiveWindow());
        QVERIFY(!w.isMinimized());
        QCOMPARE(w.windowTitle(), title);
    }

    // Without the component the game starts as usual and shows nothing else.
    void startsSilentlyWithoutComponent()
    {
        fMines9 w;
        QVERIFY(!w.endsAtOnce());
        for (QWidget* other : QApplication::topLevelWidgets())
            QVERIFY(other == &w || !other->isVisible());
    }

private:
    QList<ShellCall> calls;
    QString programFolder;
};

int runHelpTests(int argc, char** argv)
{
    TestHelpAndLinks tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_help.moc"
