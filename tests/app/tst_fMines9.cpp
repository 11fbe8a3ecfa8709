#include "AppTestSupport.h"
#include "AppTests.h"

#include "AppCodes.h"
#include "Clock.h"
#include "Rnd.h"
#include "SecondCatchUp.h"
#include "TestClocks.h"
#include "WrappingMenuBar.h"
#include "cCompute.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>

#include <sys/stat.h>

using namespace AppTest;

class TestMainWindow : public QObject {
    Q_OBJECT
    std::optional<FixedClock> m_clock;

private slots:
    void init()
    {
        Rnd::setSeedSource([] { return 20050701u; });
        m_clock.emplace();
        m_clock->now = 3600.0f;
    }
    void cleanup()
    {
        Rnd::setSeedSource(nullptr);
        m_clock.reset();
    }

    void startUp()
    {
        fMines9 w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden"));
        QCOMPARE(w.lblMines->text(), QStringLiteral("99"));
        QCOMPARE(w.lblTime->text(), QStringLiteral("0"));
        QCOMPARE(smileShown(w), 201);
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{4});
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{2, 5}));
        QCOMPARE(checkedItems(w.mnuEdit), QList<int>{});
        QCOMPARE(enabledItems(w.mnuEdit, 2, 3), QList<int>{});
        QCOMPARE(enabledItems(w.mnuComp, 0, 5).size(), 6);
        QCOMPARE(w.Field->Xx(), 30);
        QCOMPARE(w.Field->Yy(), 16);
        QCOMPARE(mineCount(*w.Field), 99);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Ready);
        QCOMPARE(w.Field->Pic(), w.Picture1);
        QCOMPARE(w.Field->Timer1(), w.Timer1);
        QVERIFY(w.Comp);
        QCOMPARE(cellShown(w, 0), PicCode::Covered + 40);
        QStringList titles;
        for (QAction* menu : w.menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{"文件(&F)", "视图(&V)", "游戏(&G)", "计算(C)", "帮助(&H)"}));
    }

    void shortcuts_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("new game") << "mnuGame(0)" << QKeySequence(Qt::Key_F2);
        QTest::newRow("patternsweep") << "mnuPatternsweep" << QKeySequence(Qt::Key_F3);
        QTest::newRow("help") << "mnuHelp" << QKeySequence(Qt::Key_F1);
        QTest::newRow("normal view") << "mnuView(5)" << QKeySequence(Qt::CTRL | Qt::Key_B);
        QTest::newRow("numbers") << "mnuView(6)" << QKeySequence(Qt::CTRL | Qt::Key_N);
        QTest::newRow("mines") << "mnuView(7)" << QKeySequence(Qt::CTRL | Qt::Key_M);
        QTest::newRow("basic") << "mnuComp(0)" << QKeySequence(Qt::CTRL | Qt::Key_C);
        QTest::newRow("advanced") << "mnuComp(1)" << QKeySequence(Qt::CTRL | Qt::Key_X);
        QTest::newRow("chord all") << "mnuComp(2)" << QKeySequence(Qt::CTRL | Qt::Key_D);
        QTest::newRow("odds") << "mnuComp(8)" << QKeySequence(Qt::CTRL | Qt::Key_P);
        QTest::newRow("hint") << "mnuComp(9)" << QKeySequence(Qt::CTRL | Qt::Key_H);
        QTest::newRow("exit") << "mnuFile(3)" << QKeySequence(Qt::Key_F4);
    }
    void shortcuts()
    {
        QFETCH(QString, item);
        QFETCH(QKeySequence, key);
        fMines9 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* action = w.findChild<QAction*>(item);
        QVERIFY(action);
        QSignalSpy triggered(action, &QAction::triggered);
        QTest::keySequence(&w, key);
        QCOMPARE(triggered.count(), 1);
    }

    void enabledSizes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("8") << 8 << QList<int>{3};
        QTest::newRow("15") << 15 << QList<int>{3};
        QTest::newRow("16") << 16 << QList<int>{2, 3};
        QTest::newRow("30") << 30 << QList<int>{1, 2, 3};
        QTest::newRow("33") << 33 << QList<int>{1, 2, 3};
        QTest::newRow("34") << 34 << QList<int>{1, 2};
        QTest::newRow("50") << 50 << QList<int>{0, 1, 2};
        QTest::newRow("68") << 68 << QList<int>{0, 1, 2};
        QTest::newRow("69") << 69 << QList<int>{0, 1};
        QTest::newRow("128") << 128 << QList<int>{0, 1};
        QTest::newRow("129") << 129 << QList<int>{0};
        QTest::newRow("255") << 255 << QList<int>{0};
        QTest::newRow("refused 7 keeps 30") << 7 << QList<int>{1, 2, 3};
    }
    void enabledSizes()
    {
        QFETCH(int, width);
        QFETCH(QList<int>, sizes);
        fMines9 w;
        w.Field->setXx(width);
        QCOMPARE(enabledItems(w.mnuView, 0, 3), sizes);
    }

    void sizeFallback_data()
    {
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<int>("size");
        QTest::newRow("255 wide forces tiny") << QList<int>{9} << 0;
        QTest::newRow("then 9 wide wraps to large") << QList<int>{9, 2} << 3;
        QTest::newRow("large suits 30 wide") << QList<int>{9, 2, 4} << 3;
        QTest::newRow("128 wide falls to small") << QList<int>{8} << 1;
        QTest::newRow("68 wide stays normal") << QList<int>{7} << 2;
    }
    void sizeFallback()
    {
        QFETCH(QList<int>, levels);
        QFETCH(int, size);
        fMines9 w;
        for (int level : levels)
            w.mnuGame_Click(level);
        QCOMPARE(w.Field->Size(), size);
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{size, 5}));
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{levels.last()});
        QCOMPARE(w.Picture1->width(), w.Field->Xx() * w.Field->cDim() / 15);
    }

    void layout_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<int>("smileLeft");
        QTest::addColumn<int>("timeLeft");
        QTest::newRow("30 wide, normal") << 4 << QSize(450, 267) << 216 << 401;
        QTest::newRow("9 wide, large") << 2 << QSize(279, 306) << 130 << 230;
        QTest::newRow("16 wide, normal") << 3 << QSize(240, 267) << 111 << 191;
        QTest::newRow("255 wide, tiny") << 9 << QSize(1020, 691) << 501 << 971;
    }
    void layout()
    {
        QFETCH(int, level);
        QFETCH(QSize, client);
        QFETCH(int, smileLeft);
        QFETCH(int, timeLeft);
        fMines9 w;
        w.mnuGame_Click(level);
        QCOMPARE(w.centralWidget()->size(), client);
        QCOMPARE(w.Picture1->geometry(), QRect(0, 27, client.width(), client.height() - 27));
        QCOMPARE(w.imgSmile->geometry(), QRect(smileLeft, 3, 21, 21));
        QCOMPARE(w.lblTime->geometry(), QRect(timeLeft, 1, 49, 25));
        QCOMPARE(w.lblTime->geometry().right() + 1, client.width());
        QCOMPARE(w.lblMines->geometry(), QRect(0, 1, 49, 25));
        // Nothing but the board and the strip below the menu bar, and no resizing.
        QCOMPARE(w.size(), QSize(client.width(),
                                 client.height() + w.menuBar()->heightForWidth(client.width())));
        QCOMPARE(w.minimumSize(), w.size());
        QCOMPARE(w.maximumSize(), w.size());
    }

    void everyMenuInReach_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("wraps");
        QTest::newRow("8 x 1, the narrowest") << 8 << 1 << true;
        QTest::newRow("novice") << 9 << 9 << true;
        QTest::newRow("expert") << 30 << 16 << false;
    }
    void everyMenuInReach()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, wraps);
        fMines9 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Field->Setup(width, height, 1, ViewMode::Normal, ZoomSize::Normal);
        QTest::qWait(0);
        const QSize board(width * w.Field->cDim() / 15, height * w.Field->cDim() / 15);
        QCOMPARE(w.centralWidget()->size(), board + QSize(0, 27));
        QCOMPARE(w.size(), QSize(board.width(), board.height() + 27 + w.menuBar()->height()));
        auto* bar = qobject_cast<WrappingMenuBar*>(w.menuBar());
        QVERIFY(bar);
        QCOMPARE(bar->rowCount() > 1, wraps);
        QStringList titles;
        for (QAction* title : bar->titles()) {
            titles << title->text();
            QMenuBar* row = bar->rowOf(title);
            QVERIFY(row && row->isVisible());
            const QRect shown = row->actionGeometry(title);
            QVERIFY2(!shown.isEmpty() && row->rect().contains(shown), qPrintable(title->text()));
            QVERIFY(bar->rect().contains(row->geometry().translated(row == bar ? -row->pos() : QPoint())));
        }
        QCOMPARE(titles, (QStringList{"文件(&F)", "视图(&V)", "游戏(&G)", "计算(C)", "帮助(&H)"}));
    }

    void sizeFitsTheHeight_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("30 x 30 stays large") << 30 << 30 << 3 << 3 << QList<int>{1, 2, 3};
        QTest::newRow("30 x 40 falls to normal") << 30 << 40 << 3 << 2 << QList<int>{1, 2};
        QTest::newRow("30 x 166 needs tiny cells") << 30 << 166 << 2 << 0 << QList<int>{0};
        QTest::newRow("8 x 40 gets normal cells") << 8 << 40 << 3 << 2 << QList<int>{2};
    }
    void sizeFitsTheHeight()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, before);
        QFETCH(int, size);
        QFETCH(QList<int>, sizes);
        fMines9 w;
        w.Field->Setup(width, height, 1, ViewMode::Normal, before);
        QCOMPARE(w.Field->Size(), size);
        QCOMPARE(enabledItems(w.mnuView, 0, 3), sizes);
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{size, 5}));
    }

    void windowStaysOnScreen()
    {
        fMines9 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect room = w.screen()->availableGeometry();
        w.move(room.bottomRight() - QPoint(40, 40));
        w.mnuGame_Click(2);
        QVERIFY(room.contains(w.frameGeometry()));
    }

    void editClickShowsCounter()
    {
        fMines9 w;
        w.mnuEdit_Click(0);
        const int safe = firstCell(*w.Field, false);
        press(*w.Field, safe);
        QCOMPARE(smileShown(w), 202);
        release(*w.Field);
        QCOMPARE(w.lblMines->text(), QStringLiteral("100"));
        QCOMPARE(smileShown(w), 201);
    }

    void cornerLevels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("toCorner");
        for (int level = 2; level <= 9; ++level)
            QTest::addRow("level %d", level) << level << (level >= 6);
    }
    void cornerLevels()
    {
        QFETCH(int, level);
        QFETCH(bool, toCorner);
        fMines9 w;
        w.move(300, 200);
        w.mnuGame_Click(level);
        // The frame goes to the corner of the room the desktop leaves for windows.
        const QPoint corner = w.screen()->availableGeometry().topLeft();
        QCOMPARE(w.pos(), toCorner ? corner : QPoint(300, 200));
    }

    void levelKeepsView()
    {
        fMines9 w;
        w.mnuView_Click(7);
        w.mnuGame_Click(2);
        QCOMPARE(w.Field->View(), ViewMode::Mines);
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{3, 7}));
        QCOMPARE(cellShown(w, firstCell(*w.Field, true)), PicCode::Mine + 60);
        QCOMPARE(cellShown(w, firstCell(*w.Field, false)), PicCode::Empty + 60);
    }

    void smileFollowsGame()
    {
        fMines9 w;
        w.show();
        QList<int> seen;
        connect(w.Field.get(), &cField::Update, this, [&] { seen << smileShown(w); });

        // A press that maps to no cell right after a deal: nothing is released on,
        // so no later update replaces the surprised face.
        w.Field->Pic_MouseDown(PictureBox::LeftButton, 0, 1.0e6f, 1.0e6f);
        release(*w.Field);
        QCOMPARE(smileShown(w), 202);

        const int safe = firstCell(*w.Field, false);
        press(*w.Field, safe);
        QCOMPARE(smileShown(w), 202);
        release(*w.Field);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Running);
        QCOMPARE(smileShown(w), 201);

        click(*w.Field, firstCell(*w.Field, true));
        QCOMPARE(smileShown(w), 204);

        seen.clear();
        QTest::mouseClick(w.imgSmile, Qt::LeftButton);
        QCOMPARE(seen, (QList<int>{203, 201}));
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Ready);
        QCOMPARE(w.Field->MTot(), 99);

        playToWin(*w.Field);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Won);
        QCOMPARE(smileShown(w), 200);
        QCOMPARE(w.lblMines->text(), QStringLiteral("0"));
    }

    void timeDisplay()
    {
        fMines9 w;
        click(*w.Field, firstCell(*w.Field, false));
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 1000);
        m_clock->now += 7.9f;
        w.Timer1_Timer();
        QCOMPARE(w.lblTime->text(), QStringLiteral("7"));
        m_clock->now += 1000.0f;
        w.Timer1_Timer();
        QCOMPARE(w.lblTime->text(), QStringLiteral("1007"));

        // Losing keeps the last second shown, though the clock went on.
        m_clock->now += 5.0f;
        click(*w.Field, firstCell(*w.Field, true));
        QCOMPARE(w.lblTime->text(), QStringLiteral("1007"));
        QVERIFY(!w.Timer1->isActive());

        w.mnuGame_Click(0);
        QCOMPARE(w.lblTime->text(), QStringLiteral("0"));
        click(*w.Field, firstCell(*w.Field, false));
        m_clock->now += 3.5f;
        playToWin(*w.Field);
        QCOMPARE(w.lblTime->text(), QStringLiteral("3"));
    }

    // A tick a few milliseconds short of a second is followed up just after it;
    // a game lost by then keeps the time it showed.
    void timeOnTheSecond_data()
    {
        QTest::addColumn<bool>("lose");
        QTest::addColumn<QString>("shown");
        QTest::newRow("running") << false << "1";
        QTest::newRow("lost before the follow-up") << true << "0";
    }
    void timeOnTheSecond()
    {
        QFETCH(bool, lose);
        QFETCH(QString, shown);
        fMines9 w;
        click(*w.Field, firstCell(*w.Field, false));
        m_clock->now += 0.996f;
        w.Timer1_Timer();
        m_clock->now += 0.02f;
        if (lose)
            click(*w.Field, firstCell(*w.Field, true));
        QTRY_VERIFY(!w.findChild<SecondCatchUp*>()->pending());
        QCOMPARE(w.lblTime->text(), shown);
    }

    // Counts and times of any width stay whole inside their fixed labels.
    void countersShowEveryDigit_data()
    {
        QTest::addColumn<bool>("time");
        QTest::addColumn<qint64>("value");
        QTest::newRow("every cell but one mined") << false << qint64(42329);
        QTest::newRow("every cell but one flagged, no mines") << false << qint64(-42329);
        QTest::newRow("five-digit time") << true << qint64(99999);
        QTest::newRow("six-digit time") << true << qint64(100000);
    }
    void countersShowEveryDigit()
    {
        QFETCH(bool, time);
        QFETCH(qint64, value);
        fMines9 w;
        w.mnuGame_Click(9);
        QLabel* label = time ? w.lblTime : w.lblMines;
        const QRect place = label->geometry();
        if (time) {
            click(*w.Field, firstCell(*w.Field, false));
            m_clock->now += static_cast<float>(value) + 0.5f;
            w.Timer1_Timer();
        } else {
            w.Field->Setup(255, 166, static_cast<int>(std::max<qint64>(value, 0)), 0, 0);
            for (int i = 0; i < -value; ++i)
                w.Field->Cell(i)->Check(CellAction::ToggleFlag, *w.Field);
            w.Field->CntM();
            w.Field_Update(1);
        }
        QCOMPARE(label->text(), QString::number(value));
        QCOMPARE(label->geometry(), place);
        QVERIFY(QFontMetrics(label->font(), label).horizontalAdvance(label->text())
                <= label->contentsRect().width());
    }

    void computeItemsFollowBoard()
    {
        fMines9 w;
        click(*w.Field, firstCell(*w.Field, true));
        QCOMPARE(enabledItems(w.mnuComp, 0, 9), (QList<int>{3, 6}));
        w.mnuGame_Click(0);
        QCOMPARE(enabledItems(w.mnuComp, 0, 9).size(), 10);
        click(*w.Field, firstCell(*w.Field, true));
        // A finished board can still be edited, and then analysed.
        w.mnuEdit_Click(0);
        QCOMPARE(enabledItems(w.mnuComp, 0, 9).size(), 10);
    }

    void computeCommands_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("solved");
        QTest::addColumn<QString>("firstLog");
        QTest::newRow("basic pass") << 0 << true << QString();
        QTest::newRow("pair pass") << 1 << false << QStringLiteral("*");
        QTest::newRow("chord all") << 2 << false << QString();
        QTest::newRow("simple completion") << 4 << true << QStringLiteral("ScriptA");
        QTest::newRow("advanced completion") << 5 << false << QStringLiteral("ScriptB");
    }
    void computeCommands()
    {
        QFETCH(int, item);
        QFETCH(bool, solved);
        QFETCH(QString, firstLog);
        // The completion loops time their passes from a change of the clock.
        m_clock->step = 0.25f;
        QTemporaryDir dir;
        fMines9 w;
        importFld(w, {writeFld(dir.filePath("one.fld"), {"10000000"})});
        // Opening the far end leaves a single 1 beside the one covered cell: a
        // one-number deduction proves the mine, a pair deduction has no pair.
        click(*w.Field, 7);
        QSignalSpy log(w.Comp.get(), &cCompute::Log);
        w.mnuComp_Click(item);
        QCOMPARE(w.Field->Cell(0)->Status(), solved ? CellStatus::Flagged : CellStatus::Covered);
        QCOMPARE(w.Field->FldStatus(), solved ? FieldStatus::Won : FieldStatus::Running);
        QCOMPARE(smileShown(w), solved ? 200 : 201);
        QCOMPARE(w.lblMines->text(), solved ? QStringLiteral("0") : QStringLiteral("1"));
        if (firstLog.isEmpty()) {
            QCOMPARE(log.count(), 0);
        } else {
            QVERIFY(log.count() > 0);
            const QString first = log.first().first().toString();
            if (firstLog == "*")
                QVERIFY(!first.startsWith("Script"));
            else
                QVERIFY(first.startsWith(firstLog));
        }
    }

    void viewCommands_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("view");
        QTest::newRow("large") << 5 << 3 << 3 << 0;
        QTest::newRow("small, numbers kept") << 6 << 1 << 1 << 1;
        QTest::newRow("show numbers") << 5 << 6 << 2 << 1;
        QTest::newRow("show mines") << 6 << 7 << 2 << 2;
        QTest::newRow("back to normal view") << 6 << 5 << 2 << 0;
    }
    void viewCommands()
    {
        QFETCH(int, before);
        QFETCH(int, item);
        QFETCH(int, size);
        QFETCH(int, view);
        fMines9 w;
        w.mnuView_Click(before);
        w.mnuView_Click(item);
        QCOMPARE(w.Field->Size(), size);
        QCOMPARE(w.Field->View(), view);
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{size, view + 5}));
        QCOMPARE(w.centralWidget()->width(), 30 * w.Field->cDim() / 15);
        const int mine = firstCell(*w.Field, true);
        const int safe = firstCell(*w.Field, false);
        const int cAdd = w.Field->cAdd();
        const int safeShows[] = {PicCode::Covered, PicCode::Empty + w.Field->Cell(safe)->Nr(), PicCode::Empty};
        const int mineShows[] = {PicCode::Covered, PicCode::Empty, PicCode::Mine};
        QCOMPARE(cellShown(w, safe), safeShows[view] + cAdd);
        QCOMPARE(cellShown(w, mine), mineShows[view] + cAdd);
    }

    void editModeClearAndRandomMines_data()
    {
        QTest::addColumn<int>("flags");
        QTest::newRow("no flags") << 0;
        QTest::newRow("two flags") << 2;
    }
    void editModeClearAndRandomMines()
    {
        QFETCH(int, flags);
        fMines9 w;
        for (int i = 0; i < flags; ++i)
            click(*w.Field, i, PictureBox::RightButton);
        w.mnuEdit_Click(0);
        QVERIFY(w.Field->Edit());
        QCOMPARE(checkedItems(w.mnuEdit), QList<int>{0});
        QCOMPARE(enabledItems(w.mnuEdit, 2, 3), (QList<int>{2, 3}));
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{2, 7}));
        QCOMPARE(cellShown(w, firstCell(*w.Field, true)), PicCode::Mine + 40);

        w.mnuEdit_Click(2);
        QCOMPARE(mineCount(*w.Field), 0);
        QCOMPARE(w.lblMines->text(), QString::number(-flags));
        QCOMPARE(cellShown(w, 0), PicCode::Empty + 40);
        for (int i = 0; i < 3; ++i)
            w.mnuEdit_Click(3);
        QCOMPARE(mineCount(*w.Field), 3);
        QCOMPARE(w.Field->MTot(), 3);
        QCOMPARE(w.lblMines->text(), QString::number(3 - flags));
        QCOMPARE(static_cast<int>(w.Field->FreePool().size()), 30 * 16 - 3);
        QCOMPARE(cellShown(w, firstCell(*w.Field, true)), PicCode::Mine + 40);

        w.mnuEdit_Click(0);
        QVERIFY(!w.Field->Edit());
        QCOMPARE(checkedItems(w.mnuEdit), QList<int>{});
        QCOMPARE(enabledItems(w.mnuEdit, 2, 3), QList<int>{});
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{2, 5}));
    }

    void addMineKeepsOneCellFree()
    {
        QTemporaryDir dir;
        fMines9 w;
        importFld(w, {writeFld(dir.filePath("empty.fld"), {"00000000"})});
        w.mnuEdit_Click(0);
        for (int i = 0; i < 8; ++i)
            w.mnuEdit_Click(3);
        // The eighth mine has no cell left to go to, and must not be counted.
        QCOMPARE(mineCount(*w.Field), 7);
        QCOMPARE(w.Field->MTot(), 7);
        QCOMPARE(w.lblMines->text(), QStringLiteral("7"));
    }

    void importFile_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("size");
        QTest::newRow("10 wide: large") << 10 << 3 << 3;
        QTest::newRow("20 wide: normal") << 20 << 5 << 2;
        QTest::newRow("100 wide: small") << 100 << 4 << 1;
        QTest::newRow("200 wide: tiny") << 200 << 2 << 0;
    }
    void importFile()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, size);
        QTemporaryDir dir;
        QStringList rows;
        QList<int> mines;
        for (int y = 0; y < height; ++y) {
            QString row;
            for (int x = 0; x < width; ++x) {
                const bool mine = (x * 7 + y * 3) % 5 == 0;
                row += mine ? '1' : '0';
                if (mine)
                    mines << y * width + x;
            }
            rows << row;
        }
        fMines9 w;
        w.mnuView_Click(6);
        click(*w.Field, firstCell(*w.Field, false));
        importFld(w, {writeFld(dir.filePath("board.fld"), rows)});

        QCOMPARE(w.windowTitle(), QStringLiteral("Mines - board.fld"));
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{11});
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{size, 5}));
        QCOMPARE(w.Field->Size(), size);
        QCOMPARE(w.Field->View(), ViewMode::Normal);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Ready);
        QCOMPARE(w.Field->Pic(), w.Picture1);
        QCOMPARE(w.Field->Timer1(), w.Timer1);
        QVERIFY(w.Picture1->isEnabled());
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(w.lblTime->text(), QStringLiteral("0"));
        QCOMPARE(w.lblMines->text(), QString::number(mines.size()));
        QCOMPARE(smileShown(w), 201);
        QCOMPARE(w.centralWidget()->size(), QSize(width * w.Field->cDim() / 15, height * w.Field->cDim() / 15 + 27));
        for (int i = 0; i < width * height; ++i)
            QCOMPARE(w.Field->Cell(i)->Mine(), mines.contains(i));
        QCOMPARE(cellShown(w, mines.first()), PicCode::Covered + w.Field->cAdd());

        // The board plays, and a new game deals the file's size and count afresh.
        click(*w.Field, firstCell(*w.Field, false));
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Running);
        w.mnuGame_Click(0);
        QCOMPARE(w.Field->Xx(), width);
        QCOMPARE(w.Field->Yy(), height);
        QCOMPARE(mineCount(*w.Field), mines.size());
    }

    void importNothing_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("special");   // a path that is no plain file, or "" for rows
        QTest::newRow("cancelled") << QStringList{} << "cancel";
        QTest::newRow("7 wide") << QStringList{"0000000"} << "";
        QTest::newRow("ragged") << QStringList{"00000000", "0000"} << "";
        QTest::newRow("all mines") << QStringList{"11111111"} << "";
        // Each would block or never end if it were read like a file.
        QTest::newRow("named pipe") << QStringList{} << "pipe";
        QTest::newRow("a folder") << QStringList{} << "folder";
        QTest::newRow("endless device") << QStringList{} << "/dev/zero";
    }
    void importNothing()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, special);
        QTemporaryDir dir;
        fMines9 w;
        click(*w.Field, firstCell(*w.Field, false));
        const cField* before = w.Field.get();
        QString answer = special;
        if (special == "cancel")
            answer.clear();
        else if (special == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(answer = dir.filePath("pipe.fld")).constData(), 0644), 0);
        else if (special == "folder")
            answer = dir.path();
        else if (special.isEmpty())
            answer = writeFld(dir.filePath("bad.fld"), rows);
        importFld(w, {answer});
        QCOMPARE(w.Field.get(), before);
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden"));
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Running);
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{4});
    }

    // The mode's deal made before the first opening or for another cell, the
    // opening not landing on a 0, the mode's mark lost to a level's, a title that
    // calls a board one without guessing when it may need a guess (edit, a failed
    // deal, an import, a game after the mode was turned off) or the other way round.
    void noGuessGames()
    {
        QTemporaryDir dir;
        fMines9 w;
        w.mnuGame_Click(GameItem::NoGuess);
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden"));
        w.mnuGame_Click(2);
        QCOMPARE(checkedItems(w.mnuGame), (QList<int>{2, GameItem::NoGuess}));
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden (无猜)"));
        QCOMPARE(mineCount(*w.Field), 0);
        QCOMPARE(w.lblMines->text(), QStringLiteral("10"));
        click(*w.Field, 0, PictureBox::RightButton);
        click(*w.Field, 40, PictureBox::MiddleButton);
        QCOMPARE(mineCount(*w.Field), 0);
        click(*w.Field, 40);
        QCOMPARE(mineCount(*w.Field), 10);
        QCOMPARE(w.Field->Cell(40)->Status(), CellStatus::Opened);
        QCOMPARE(w.Field->Cell(40)->Nr(), 0);
        QCOMPARE(w.Field->Cell(0)->Status(), CellStatus::Flagged);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Running);
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden (无猜)"));

        // Edit mode works on the mines the game will be played with.
        w.imgSmile_Click();
        w.mnuEdit_Click(0);
        QCOMPARE(mineCount(*w.Field), 10);
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden"));
        w.mnuEdit_Click(0);
        // No room for a 0 around the first opening: an ordinary deal.
        w.Field->setMTot(78);
        w.imgSmile_Click();
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden (无猜)"));
        click(*w.Field, 40);
        QCOMPARE(mineCount(*w.Field), 78);
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden"));

        w.mnuGame_Click(0);
        importFld(w, {writeFld(dir.filePath("plain.fld"), {"10000000"})});
        QCOMPARE(w.windowTitle(), QStringLiteral("Mines - plain.fld"));
        QCOMPARE(checkedItems(w.mnuGame), (QList<int>{GameItem::Custom, GameItem::NoGuess}));
        w.mnuGame_Click(0);
        QVERIFY(w.Field->DealPending());
        QCOMPARE(w.windowTitle(), QStringLiteral("Gridwarden (无猜)"));
        // Saved before its first opening, the board is dealt, not written empty.
        w.CommonDialog1 = std::make_unique<ScriptedFileDialog>(QStringList{dir.filePath("early.fld")});
        w.mnuFile_Click(1);
        QCOMPARE(mineCount(*w.Field), 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("Mines - plain.fld"));
        QFile early(dir.filePath("early.fld"));
        QVERIFY(early.open(QIODevice::ReadOnly));
        QCOMPARE(early.readAll().count('1'), 1);
        w.mnuGame_Click(0);
        w.mnuGame_Click(GameItem::NoGuess);
        QCOMPARE(checkedItems(w.mnuGame), QList<int>{GameItem::Custom});
        w.mnuGame_Click(0);
        QCOMPARE(mineCount(*w.Field), 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("Mines - plain.fld"));
    }

    void importKeepsEditMode()
    {
        QTemporaryDir dir;
        fMines9 w;
        w.mnuEdit_Click(0);
        importFld(w, {writeFld(dir.filePath("edit.fld"), {"00000000", "00000000"})});
        QVERIFY(w.Field->Edit());
        QCOMPARE(checkedItems(w.mnuEdit), QList<int>{0});
        QCOMPARE(checkedItems(w.mnuView), (QList<int>{3, 7}));
        click(*w.Field, 3);
        QVERIFY(w.Field->Cell(3)->Mine());
        QCOMPARE(w.Field->MTot(), 1);
    }

    void saveAndReimport()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.fld");
        fMines9 w;
        click(*w.Field, firstCell(*w.Field, false));
        const cField* before = w.Field.get();
        QList<bool> layout;
        for (int i = 0; i < 30 * 16; ++i)
            layout << w.Field->Cell(i)->Mine();

        w.CommonDialog1 = std::make_unique<ScriptedFileDialog>(QStringList{QString()});
        w.mnuFile_Click(1);
        QVERIFY(!QFile::exists(path));
        w.CommonDialog1 = std::make_unique<ScriptedFileDialog>(QStringList{path});
        w.mnuFile_Click(1);
        QCOMPARE(w.Field.get(), before);
        QCOMPARE(w.Field->FldStatus(), FieldStatus::Running);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), 16 * 32);

        importFld(w, {path});
        QVERIFY(w.Field.get() != before);
        QCOMPARE(w.windowTitle(), QStringLiteral("Mines - saved.fld"));
        for (int i = 0; i < 30 * 16; ++i)
            QCOMPARE(w.Field->Cell(i)->Mine(), layout[i]);
        QCOMPARE(w.lblMines->text(), QStringLiteral("99"));
    }

    void closingReleases_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("exit command") << true;
        QTest::newRow("close box") << false;
    }
    void closingReleases()
    {
        QFETCH(bool, byMenu);
        fMines9 w;
        w.show();
        click(*w.Field, firstCell(*w.Field, false));
        if (byMenu)
            w.mnuFile_Click(3);
        else
            w.close();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Field);
        QVERIFY(!w.Comp);
        QVERIFY(!w.Timer1->isActive());
        // Whatever still reaches the window afterwards finds no field and passes.
        w.Timer1_Timer();
        w.mnuGame_Click(0);
        w.mnuView_Click(6);
        w.mnuEdit_Click(3);
        w.Field_Update(1);
    }
};

int runMainWindowTests(int argc, char** argv)
{
    TestMainWindow tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_fMines9.moc"
