#include "FaceButton.h"
#include "Form1.h"
#include "HexBoard.h"
#include "HexCodes.h"
#include "SettingsFile.h"
#include "formCustom.h"
#include "formScores.h"

#include "AppPath.h"
#include "Clock.h"
#include "Gbk.h"
#include "InputBox.h"
#include "PictureBox.h"
#include "Rnd.h"
#include "SecondCatchUp.h"
#include "Shell.h"
#include "TestClocks.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <set>
#include <unistd.h>

using Cell = std::pair<int, int>;

namespace {
constexpr int Left = PictureBox::LeftButton;
constexpr int Right = PictureBox::RightButton;
// A guard against a hung process, not a measure: the host answers in well under a second.
constexpr int HostWaitMs = 60000;

qint16& value(Form1& w, int x, int y) { return w.CellValue[size_t(x)][size_t(y)]; }
qint16 shown(const Form1& w, int x, int y) { return w.CellShown[size_t(x)][size_t(y)]; }

// Replaces the dealt board with one that has mines exactly at the given cells;
// the board's own rules count them, which its own tests check.
void layMines(Form1& w, const std::set<Cell>& mines)
{
    w.Mines = qint16(mines.size());
    w.NewGame();
    for (int x = 0; x < w.Cols; ++x)
        for (int y = 0; y < w.Rows; ++y)
            value(w, x, y) = mines.count({x, y}) ? MineValue : 0;
    for (const Cell& m : mines)
        for (const HexCell& n : HexBoard::neighbours(m.first, m.second))
            w.BumpCount(n.x, n.y);
}

// The centre of a cell in board pixels.
QPointF centre(int x, int y)
{
    return {18.0 * x + (y % 2 == 0 ? 9 : 0) + 9.5, 17.0 * y + 12};
}

void press(Form1& w, int button, int x, int y)
{
    const QPointF p = centre(x, y);
    w.Picture2_MouseDown(button, 0, float(p.x()), float(p.y()));
}

// Closes the next modal dialog as soon as it shows, and counts how many did.
void closeNextModal(int* shownCount = nullptr)
{
    QTimer::singleShot(0, [shownCount] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (shownCount)
                ++*shownCount;
            modal->close();
        }
    });
}

QByteArray fileLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += toGbk(line) + "\r\n";
    return bytes;
}
}

class HexGameTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    FixedClock m_clock;

    std::unique_ptr<Form1> window()
    {
        auto w = std::make_unique<Form1>();
        w->menuLevel_Click(Level::Beginner);
        return w;
    }
    QString savePath() const { return m_dir->filePath(QStringLiteral("result.sav")); }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // A game the player has open must not make the windows under test the
        // second copy, which ends without saving.
        // Made before the lock it will hold, so it is removed after the lock.
        static QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QStandardPaths::setTestModeEnabled(true);
        Rnd::setSeedSource([] { return 20261208u; });
        setShellRecorder([](const ShellCall&) {});
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        setAppPath(m_dir->path());
        m_clock.now = 1000.0f;
        setInputBoxAnswer([](const QString&, const QString&, const QString& d) { return d; });
    }

    void pressMapping_data()
    {
        QTest::addColumn<float>("X");
        QTest::addColumn<float>("Y");
        QTest::addColumn<int>("column");   // -1: no cell
        QTest::addColumn<int>("row");
        QTest::newRow("even row 0 left of its first cell") << 8.9f << 10.f << -1 << 0;
        QTest::newRow("odd row 1, same X") << 8.9f << 25.f << 0 << 1;
        QTest::newRow("even row first cell") << 9.f << 10.f << 0 << 0;
        QTest::newRow("last pixel of row 0") << 26.9f << 19.9f << 0 << 0;
        QTest::newRow("row 1 starts 3 below 17") << 26.9f << 20.f << 1 << 1;
        QTest::newRow("above the first row") << 30.f << 2.9f << -1 << 0;
        QTest::newRow("past the last column") << 153.f << 10.f << -1 << 0;
        QTest::newRow("bottom-right cell") << 143.f << 125.f << 7 << 7;
        QTest::newRow("below the last row") << 50.f << 139.f << -1 << 0;
    }
    // A right press flags the mapped cell; a press anywhere starts the clock.
    void pressMapping()
    {
        QFETCH(float, X);
        QFETCH(float, Y);
        QFETCH(int, column);
        QFETCH(int, row);
        auto w = window();
        QVERIFY(!w->Timer1->isActive());
        w->Picture2_MouseDown(Right, 0, X, Y);
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->GameStartTime, m_clock.now);
        std::set<Cell> flagged;
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                if (shown(*w, x, y) == Sprite::Flagged)
                    flagged.insert({x, y});
        const std::set<Cell> expected = column < 0 ? std::set<Cell>{} : std::set<Cell>{{column, row}};
        QCOMPARE(flagged, expected);
    }

    // More flags than mines show a negative count; the counter toggles to the
    // safe cells in green and back, during and after a game.
    void counter()
    {
        auto w = window();
        layMines(*w, {{0, 0}});
        for (int x = 1; x < 4; ++x)
            press(*w, Right, x, 3);
        QCOMPARE(w->Label1->text(), QStringLiteral("-2"));
        QCOMPARE(w->Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
        w->Label1_Click();
        QCOMPARE(w->Label1->text(), QStringLiteral("63"));
        QCOMPARE(w->Label1->palette().color(QPalette::WindowText), QColor(Qt::green));
        press(*w, Left, 5, 5);
        QCOMPARE(w->Label1->text(), QString::number(w->SafeLeft));
        w->LoseGame();
        w->Label1_Click();
        QCOMPARE(w->Label1->text(), QStringLiteral("-2"));
    }

    // The window's side of a loss and a win: the face, the clock, the pictures
    // drawn, the counter, and a board that ignores presses until a new game.
    void lossPictures()
    {
        auto w = window();
        layMines(*w, {{0, 0}, {4, 4}, {7, 7}});
        press(*w, Left, 4, 4);
        QVERIFY(!w->Playing && !w->Timer1->isActive());
        QCOMPARE(w->Command1->text(), QStringLiteral("L"));
        QCOMPARE(w->Command1->background(), QColor(Qt::red));
        press(*w, Left, 5, 5);    // the board ignores presses now
        QCOMPARE(shown(*w, 5, 5), Sprite::Covered);
        // The drawn board shows the exploded sprite at the mine's place.
        const QRgb red = w->Picture2->canvas().pixel(centre(4, 4).toPoint() + QPoint(0, -8));
        QCOMPARE(QColor(red), QColor(Qt::red));
        w->Command1_Click();
        QVERIFY(w->Playing);
        QCOMPARE(w->Command1->text(), QStringLiteral("K"));
    }

    void winPictures()
    {
        auto w = window();
        w->menuLevel_Click(Level::Custom);
        layMines(*w, {{1, 1}, {6, 2}});
        w->Label1_Click();
        for (int x = 0; x < w->Cols; ++x)
            for (int y = 0; y < w->Rows; ++y)
                if (value(*w, x, y) != MineValue)
                    press(*w, Left, x, y);
        QVERIFY(!w->Playing);
        QCOMPARE(shown(*w, 1, 1), Sprite::Flagged);
        QCOMPARE(w->Label1->text(), QStringLiteral("0"));
        w->Label1_Click();
        QCOMPARE(w->Label1->text(), QStringLiteral("0"));
        QCOMPARE(w->Command1->background(), QColor(Qt::green));
    }

    void clock()
    {
        auto w = window();
        press(*w, Right, 8, 0);   // off the cells
        m_clock.now += 5.7f;
        w->Timer1_Timer();
        QCOMPARE(w->Label2->text(), QStringLiteral("5"));
        m_clock.now += 2000.f;
        w->Timer1_Timer();
        QCOMPARE(w->Label2->text(), QStringLiteral("999"));
        QVERIFY(!w->Timer1->isActive());
        press(*w, Right, 8, 0);
        QVERIFY(!w->Timer1->isActive());
        w->menuNew_Click();
        QCOMPARE(w->Label2->text(), QStringLiteral("0"));
        // Across midnight the clock keeps counting up.
        m_clock.now = 86399.5f;
        press(*w, Right, 8, 0);
        m_clock.now = 3.5f;
        w->Timer1_Timer();
        QCOMPARE(w->Label2->text(), QStringLiteral("4"));
    }

    // A tick a few milliseconds short of a second is followed up just after it;
    // a new game by then keeps its "0".
    void clockOnTheSecond()
    {
        auto w = window();
        for (const bool newGame : {false, true}) {
            w->menuNew_Click();
            press(*w, Right, 8, 0);   // off the cells
            m_clock.now += 0.996f;
            w->Timer1_Timer();
            m_clock.now += 0.02f;
            if (newGame)
                w->menuNew_Click();
            QTRY_VERIFY(!w->findChild<SecondCatchUp*>()->pending());
            QCOMPARE(w->Label2->text(), newGame ? "0" : "1");
        }
    }

    // The most flags a board can carry and the capped clock stay whole inside
    // their fixed labels.
    void countersShowEveryDigit()
    {
        auto w = window();
        const QSize size = w->Label1->size();
        w->MinesLeft = -892;
        w->ShowCounter();
        press(*w, Right, 8, 0);
        m_clock.now += 5000.0f;
        w->Timer1_Timer();
        QCOMPARE(w->Label1->text() + ' ' + w->Label2->text(), QStringLiteral("-892 999"));
        for (const QLabel* label : {w->Label1, w->Label2}) {
            QCOMPARE(label->size(), size);
            QVERIFY(QFontMetrics(label->font(), label).horizontalAdvance(label->text())
                    <= label->contentsRect().width());
        }
    }

    void levelsAndLayout()
    {
        auto w = window();
        w->menuLevel_Click(Level::Professional);
        QVERIFY(w->menuLevel[2]->isChecked() && !w->menuLevel[0]->isChecked());
        QCOMPARE(w->boardFrame->size(), QSize(18 * 30 + 14, 17 * 16 + 12));
        const int wide = w->width();
        w->menuLevel_Click(Level::Beginner);
        QVERIFY(w->menuLevel[0]->isChecked() && !w->menuLevel[2]->isChecked());
        QCOMPARE(w->width(), wide - 18 * 22);
        QCOMPARE(w->Command1->x() + 14, w->boardFrame->x() + w->boardFrame->width() / 2);
        QCOMPARE(w->Label2->x(), w->boardFrame->width() - 35);
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QStringList links;
        setShellRecorder([&](const ShellCall& c) { links << c.verb + ' ' + c.file + ' ' + c.directory; });
        w->mnuVodidarHome_Click();
        w->mnuZVBuy_Click();
        setShellRecorder([](const ShellCall&) {});
        QCOMPARE(links, QStringList({"Open http://www.dorvik.example/ " + m_dir->path(),
                                     "Open http://ad.dorvik.example/ " + m_dir->path()}));
    }

    void customDialog_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QList<int>>("board");   // columns, rows, mines
        QTest::newRow("beyond every limit") << QStringList{"5", "40", "500"}
                                            << QStringList{"8", "30", "80"} << QList<int>{8, 30, 80};
        QTest::newRow("empty and words") << QStringList{"", "abc", "x"}
                                         << QStringList{"8", "8", "8"} << QList<int>{8, 8, 8};
        QTest::newRow("leading number") << QStringList{"12abc", "9", "20"}
                                        << QStringList{"12abc", "9", "20"} << QList<int>{12, 9, 20};
        QTest::newRow("fractions stay in the rules") << QStringList{"8.4", "8", "22"}
                                                     << QStringList{"8.4", "8", "22"} << QList<int>{8, 8, 21};
    }
    void customDialog()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, boxes);
        QFETCH(QList<int>, board);
        auto w = window();
        for (int i = 0; i < 3; ++i)
            w->customDialog->Text1[size_t(i)]->setText(typed[i]);
        w->customDialog->Command1_Click();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w->customDialog->Text1[size_t(i)]->text(), boxes[i]);
        QCOMPARE((QList<int>{w->Cols, w->Rows, w->Mines}), board);
        QVERIFY(w->menuCustom->isChecked() && !w->menuLevel[0]->isChecked());
        QCOMPARE(int(w->Level), 3);
        QVERIFY(w->Playing);
    }

    // Every opening starts in the first box with its number selected, wherever
    // the focus was left: typing replaces the number and Enter applies it.
    void customDialogStartsInFirstBox()
    {
        auto w = window();
        for (int opening = 0; opening < 2; ++opening) {
            bool startsSelected = false;
            QTimer::singleShot(0, [&] {
                QLineEdit* first = w->customDialog->Text1[0];
                startsSelected = w->customDialog->focusWidget() == first
                                 && first->selectedText() == first->text();
                QTest::keyClicks(first, "16");
                QTest::keyClick(first, Qt::Key_Return);
            });
            w->menuCustom_Click();
            QVERIFY(startsSelected);
            QCOMPARE(int(w->Cols), 16);
            w->customDialog->Command2->setFocus();
        }
    }

    void customCancel()
    {
        auto w = window();
        press(*w, Right, 3, 3);
        QTimer::singleShot(0, [&] {
            w->customDialog->Text1[0]->setText("20");
            w->customDialog->Command2_Click();
        });
        w->menuCustom_Click();
        QCOMPARE((QList<int>{w->Level, w->Cols, w->Rows}), (QList<int>{0, 8, 8}));
        QCOMPARE(shown(*w, 3, 3), Sprite::Flagged);
    }

    void settingsFile()
    {
        const QByteArray anonymous = toGbk(QStringLiteral("匿名"));
        {
            auto w = std::make_unique<Form1>();
            QCOMPARE((QList<int>{w->Level, w->Cols, w->Rows, w->Mines}), (QList<int>{1, 16, 16, 35}));
            QVERIFY(w->menuLevel[1]->isChecked());
            w->close();
        }
        QFile file(savePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), " 1 \r\n 16 \r\n 16 \r\n 35 \r\n999\r\n" + anonymous + "\r\n999\r\n"
                                 + anonymous + "\r\n999\r\n" + anonymous + "\r\n");
        file.close();

        QVERIFY(QFile::remove(savePath()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fileLines({" 3 ", " 9 ", " 12 ", " 20 ", "7", "王小明", "88", "李", "100", "张三"}));
        file.close();
        {
            auto w = std::make_unique<Form1>();
            QCOMPARE((QList<int>{w->Level, w->Cols, w->Rows, w->Mines}), (QList<int>{3, 9, 12, 20}));
            QVERIFY(w->menuCustom->isChecked());
            QCOMPARE(w->scoreBoard->Label1[1]->text(), QStringLiteral("王小明"));
            QCOMPARE(w->scoreBoard->Label1[4]->text(), QStringLiteral("100"));
            w->close();
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fileLines({" 3 ", " 9 ", " 12 ", " 20 ", "7", "王小明", "88", "李", "100", "张三"}));
    }

    // Whatever a file holds and however large it is, the game keeps what can be
    // read: sizes as far as they read, each best time as a time or as no record.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("sizes");   // level, columns, rows, mines after start-up
        QTest::addColumn<QStringList>("scores");  // time and name of levels 0, 1 and 2
        const QStringList none = {"999", "匿名", "999", "匿名", "999", "匿名"};
        const QByteArray sizes = " 1 \r\n 16 \r\n 16 \r\n 35 \r\n";
        const QList<int> intermediate = {1, 16, 16, 35};
        QTest::newRow("empty") << QByteArray() << intermediate << none;
        QTest::newRow("level only") << QByteArray(" 0 \r\n") << QList<int>{0, 8, 8, 8} << none;
        QTest::newRow("stops at a word") << QByteArray(" 3 \r\n 10 \r\nten\r\n 9 \r\n5\r\n")
                                         << QList<int>{3, 10, 8, 8} << none;
        QTest::newRow("too big for 16 bits") << QByteArray(" 2 \r\n 40000 \r\n") << QList<int>{2, 30, 16, 80}
                                             << none;
        QStringList twelve = none;
        twelve[0] = "12";
        QTest::newRow("custom beyond the limits") << QByteArray(" 3 \n 99 \n -4 \n 9999 \n12\n")
                                                  << QList<int>{3, 30, 8, 80} << twelve;
        QTest::newRow("unknown level") << QByteArray(" 7 \r\n 9 \r\n 9 \r\n 9 \r\n") << intermediate << none;
        QTest::newRow("rounded") << QByteArray("  2.5 \r\n 8.5\r\n 9.5\r\n 10\r\n") << QList<int>{2, 30, 16, 80}
                                 << none;
        QTest::newRow("times in plain form") << sizes + fileLines({" 012 ", "甲", "0", "乙", "00999", "丙"})
                                             << intermediate << QStringList{"12", "甲", "0", "乙", "999", "丙"};
        QTest::newRow("times that are none") << sizes + fileLines({"abc", "甲", "-1", "乙", "1000", "丙"})
                                             << intermediate << none;
        QTest::newRow("a name line of 1 MB") << sizes + fileLines({"5", QString(1 << 19, u'王'), "7", "乙", "8", "丙"})
                                             << intermediate
                                             << QStringList{"5", QString(SettingsFile::MaxNameLength, u'王'), "7",
                                                            "乙", "8", "丙"};
        // Read to its end, the line would give 9 columns.
        QTest::newRow("cut off by the scan") << " 3 \r\n 9 " + QByteArray(SettingsFile::MaxScanBytes, ' ')
                                             << QList<int>{3, 8, 8, 8} << none;
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, sizes);
        QFETCH(QStringList, scores);
        QFile file(savePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        auto w = std::make_unique<Form1>();
        QCOMPARE((QList<int>{w->Level, w->Cols, w->Rows, w->Mines}), sizes);
        QStringList shown;
        for (const QLabel* label : w->scoreBoard->Label1)
            shown << label->text();
        QCOMPARE(shown, scores);
    }

    // A name keeps at most MaxNameLength characters, and never half of one: at
    // the prompt, in the record, in the file, and as the file reads back.
    void longNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept");
        const QString full(SettingsFile::MaxNameLength, u'王');
        const QString latin(SettingsFile::MaxNameLength - 1, u'x');
        QTest::newRow("exactly the limit") << full << full;
        QTest::newRow("longer") << full + "xyz" << full;
        QTest::newRow("a pair across the cut") << latin + QString::fromUtf8("😀y") << latin;
    }
    void longNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, kept);
        Settings settings;
        settings.Scores = {"1", name, "2", name, "3", name};
        QCOMPARE(SettingsFile::format(settings).split('\n').at(5), toGbk(kept) + '\r');

        setInputBoxAnswer(nullptr);
        auto w = window();
        w->Label2->setText("12");
        int limit = 0;
        QTimer::singleShot(0, [&] {
            auto* prompt = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto* edit = prompt ? prompt->findChild<QLineEdit*>() : nullptr;
            QVERIFY(edit);
            limit = edit->maxLength();
            edit->setText(name);   // as a paste would
            closeNextModal();
            prompt->accept();
        });
        w->WinGame();
        QCOMPARE(limit, int(SettingsFile::MaxNameLength));
        QCOMPARE(w->scoreBoard->Label1[1]->text(), kept);
        auto again = std::make_unique<Form1>();
        QCOMPARE(again->scoreBoard->Label1[1]->text(), kept);
    }

    void scoreCheck_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("best");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("recordedTime");
        QTest::addColumn<QString>("recordedName");
        QTest::newRow("record, default name") << 0 << "999" << "12" << "无名菜鸟" << "12" << "无名菜鸟";
        QTest::newRow("record, cancelled") << 1 << "40" << "39" << "" << "39" << "无名菜鸟";
        QTest::newRow("record, name over two lines") << 2 << "999" << "100" << "张\r\n三" << "100" << "张三";
        QTest::newRow("equal time") << 0 << "12" << "12" << "x" << "12" << "匿名";
        QTest::newRow("a word beats everything") << 0 << "abc" << "0" << "x" << "abc" << "匿名";
        QTest::newRow("custom level") << 3 << "999" << "1" << "x" << "999" << "匿名";
    }
    void scoreCheck()
    {
        QFETCH(int, level);
        QFETCH(QString, best);
        QFETCH(QString, time);
        QFETCH(QString, answer);
        QFETCH(QString, recordedTime);
        QFETCH(QString, recordedName);
        auto w = window();
        w->menuLevel_Click(level);
        QStringList prompts;
        setInputBoxAnswer([&](const QString& p, const QString& t, const QString& d) {
            prompts << p + '|' + t + '|' + d;
            return answer;
        });
        // The custom level has no row of its own; it must leave the others alone.
        const size_t slot = size_t(level > 2 ? 0 : 2 * level);
        w->scoreBoard->Label1[slot]->setText(best);
        w->Label2->setText(time);
        int boards = 0;
        bool savedBeforeBoard = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++boards;
                savedBeforeBoard = QFile::exists(savePath());
                modal->close();
            }
        });
        w->WinGame();
        const bool recorded = recordedTime != best;
        QCOMPARE(savedBeforeBoard, recorded);
        QCOMPARE(prompts, recorded ? QStringList{"恭喜，请输入您的大名：|继续努力|无名菜鸟"} : QStringList{});
        QCOMPARE(boards, recorded ? 1 : 0);
        QCOMPARE(w->scoreBoard->Label1[slot]->text(), recordedTime);
        QCOMPARE(w->scoreBoard->Label1[slot + 1]->text(), recordedName);
        QApplication::processEvents();
        w->close();
        QFile file(savePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), 10);
    }

    // A folder the player cannot write sends the file to the data folder, where
    // the next start finds it.
    void unwritableProgramFolder_data()
    {
        QTest::addColumn<bool>("missing");
        QTest::newRow("folder missing") << true;
        QTest::newRow("folder read-only") << false;
    }
    void unwritableProgramFolder()
    {
        QFETCH(bool, missing);
        if (!missing && ::geteuid() == 0)
            QSKIP("an administrator writes into read-only folders");
        const QString folder = m_dir->filePath(missing ? "gone" : "readonly");
        if (!missing) {
            QVERIFY(QDir().mkpath(folder));
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        }
        setAppPath(folder);
        QFile::remove(SettingsFile::path());
        {
            auto w = window();
            w->close();
        }
        QVERIFY(SettingsFile::path().startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
        QVERIFY(QFile::exists(SettingsFile::path()));
        auto again = std::make_unique<Form1>();
        QCOMPARE(int(again->Level), 0);
        QFile::remove(SettingsFile::path());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A save that cannot be made is passed over: the window still closes and
    // nothing that was there is touched.
    void failedSaveIsPassedOver()
    {
        QVERIFY(QDir().mkpath(savePath()));
        QFile keep(savePath() + QStringLiteral("/kept"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.close();
        auto w = window();
        w->close();
        QVERIFY(QFileInfo(savePath()).isDir() && keep.exists());
    }

    void recordSurvivesTermination_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    // A logout ends the game with SIGTERM, maybe while the score board of a new
    // record is open: the game closes as the player would, and the record stays.
    void recordSurvivesTermination()
    {
        QFETCH(int, signalNumber);
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // A home and lock folder of its own: no running copy, no registry of the player's.
        env.insert("HOME", m_dir->path());
        env.insert("XDG_RUNTIME_DIR", m_dir->path());
        host.setProcessEnvironment(env);
        // As a desktop starts it, whatever signals the shell running this test ignores.
        host.setChildProcessModifier([] {
            ::signal(SIGTERM, SIG_DFL);
            ::signal(SIGINT, SIG_DFL);
        });
        host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host.start(QDir(QCoreApplication::applicationDirPath()).filePath("patternsweep_host"),
                   {m_dir->path(), "王小明"});
        QVERIFY(host.waitForStarted());
        while (!host.canReadLine())
            QVERIFY(host.waitForReadyRead(HostWaitMs));
        QCOMPARE(host.readLine(), QByteArray("answered\n"));
        QCOMPARE(::kill(pid_t(host.processId()), signalNumber), 0);
        QVERIFY(host.waitForFinished(HostWaitMs));
        QCOMPARE(host.exitStatus(), QProcess::NormalExit);
        QCOMPARE(host.exitCode(), 0);
        QFile file(savePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.mid(4, 2), (QList<QByteArray>{"0\r", toGbk("王小明") + '\r'}));
    }
};

QTEST_MAIN(HexGameTest)
#include "tst_hexgame.moc"
