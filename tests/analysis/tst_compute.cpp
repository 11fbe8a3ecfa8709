// The engine on hand-built boards: the commands, the deductions, the exact traces,
// the list helpers and the text form of times.

#include "PictureBoard.h"
#include "RandomPosition.h"
#include "RecordingBox.h"
#include "ReferenceEngine.h"
#include "TestClocks.h"

#include "Clock.h"
#include "FieldCodes.h"
#include "PairMasks.h"
#include "PictureBox.h"
#include "RuntimeError.h"
#include "TraceText.h"
#include "WaitNextTick.h"
#include "cCompute.h"
#include "cField.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

namespace {

QList<int> asList(const std::vector<int>& v)
{
    return QList<int>(v.begin(), v.end());
}

QString lines(const QStringList& list)
{
    return list.join(QStringLiteral("\r\n"));
}

// Two numbers: the 1 at cell 8 sees cells 0 and 1, the 2 at cell 9 sees 0, 1, 2
// and a flag, so it still needs one mine among 0, 1 and 2. Only 0 or 1 can hold it.
const QStringList OneAndOne = {
    "*..FFFFF",
    "ooFFFFFF",
};

}

class tst_compute : public QObject {
    Q_OBJECT
private slots:
    void sameCommandWhoeverWatches_data();
    void sameCommandWhoeverWatches();
    void playingBetweenPassesIsFollowed();
    void listsReadWhenTheFieldCannotVouch();
    void unknownCommandDoesNothing_data();
    void unknownCommandDoesNothing();
    void commandRunsUnderBusyCursorWithTheField();
    void failingCommandStillLetsGo();
    void commandWithoutFieldFails();
    void commandFromTraceReceiverIsRefused_data();
    void commandFromTraceReceiverIsRefused();

    void basicPass_data();
    void basicPass();
    void pairPass_data();
    void pairPass();
    void pairTraceIsExact();
    void isolatedNumberTracesOnlyItself();
    void pairWithoutPlacementProvesNothing();
    void unproductiveBoardTracesEveryPair();

    void applyOpensAndFlagsInIndexOrder();
    void applyAfterCascadeHasNoSecondEffect();
    void scriptAOnFreshBoardTracesExactly();
    void scriptsReadNoClockWithoutReceiver();
    void scriptStopsWhenMineAndSafeCellCancelOut();
    void scriptBStopsAtIsolatedNumber();
    void scriptSettlesTheGameAtTheEnd_data();
    void scriptSettlesTheGameAtTheEnd();
    void chordAllChainsWithinOnePass();

    void unionKeepsEachNumbersCellsTogether();
    void masks();
    void singleText_data();
    void singleText();
    void waitNextTick_data();
    void waitNextTick();
};

void tst_compute::unknownCommandDoesNothing_data()
{
    QTest::addColumn<int>("alg");
    QTest::newRow("-1") << -1;
    QTest::newRow("6") << 6;
    QTest::newRow("100") << 100;
}

void tst_compute::unknownCommandDoesNothing()
{
    QFETCH(int, alg);
    const auto field = PictureBoard::build(OneAndOne);
    const QStringList before = PictureBoard::picture(*field);
    QSignalSpy updates(field.get(), &cField::Update);
    cCompute comp;
    comp.Init(alg, field.get());
    QCOMPARE(PictureBoard::picture(*field), before);
    QCOMPARE(updates.count(), 0);
    QCOMPARE(comp.Field(), nullptr);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void tst_compute::commandRunsUnderBusyCursorWithTheField()
{
    const auto field = PictureBoard::build(OneAndOne);
    cCompute comp;
    QList<Qt::CursorShape> shapes;
    QList<cField*> held;
    connect(field.get(), &cField::Update, this, [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        shapes << (cursor ? cursor->shape() : Qt::ArrowCursor);
        held << comp.Field();
    });
    comp.Init(cCompute::CmdAdvanced, field.get());
    QCOMPARE(shapes, QList<Qt::CursorShape>{Qt::WaitCursor});
    QCOMPARE(held, QList<cField*>{field.get()});
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(comp.Field(), nullptr);
}

// A failing field operation ends the command, but neither the hourglass nor the
// field is left behind.
void tst_compute::failingCommandStillLetsGo()
{
    const auto field = PictureBoard::build(OneAndOne);
    field->Cell(8)->addNgh(-3);
    cCompute comp;
    for (int alg : {cCompute::CmdChordAll, cCompute::CmdBasic, cCompute::CmdScriptB}) {
        try {
            comp.Init(alg, field.get());
            QFAIL("the broken neighbour list went unnoticed");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), RuntimeErrorNumber::SubscriptOutOfRange);
        }
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(comp.Field(), nullptr);
    }
}

void tst_compute::commandWithoutFieldFails()
{
    cCompute comp;
    comp.Init(7, nullptr);
    try {
        comp.Init(cCompute::CmdScriptA, nullptr);
        QFAIL("a command ran without a field");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::ObjectNotSet);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

// A receiver of the trace runs in the middle of a pass; a new command, or another
// pass, from there would pull the board from under it.
void tst_compute::commandFromTraceReceiverIsRefused_data()
{
    QTest::addColumn<bool>("command");
    QTest::newRow("a command") << true;
    QTest::newRow("a pass") << false;
}

void tst_compute::commandFromTraceReceiverIsRefused()
{
    QFETCH(bool, command);
    const auto field = PictureBoard::build(OneAndOne);
    cCompute comp;
    connect(&comp, &cCompute::Log, this, [&] {
        if (command)
            comp.Init(cCompute::CmdBasic, field.get());
        else
            comp.CompBasic();
    });
    try {
        comp.Init(cCompute::CmdAdvanced, field.get());
        QFAIL("the engine was entered again");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::InvalidCall);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(comp.Field(), nullptr);
    // Whoever listens without interfering is welcome.
    disconnect(&comp, &cCompute::Log, this, nullptr);
    QSignalSpy log(&comp, &cCompute::Log);
    comp.Init(cCompute::CmdAdvanced, field.get());
    QCOMPARE(log.count(), 2);
    QCOMPARE(field->Cell(2)->Status(), CellStatus::Opened);
}

void tst_compute::basicPass_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing opened") << QStringList{"........", "*......."} << QStringList{"........"};
    QTest::newRow("opened 0 beside covered cells is skipped") << QStringList{"........", "0......."}
                                                              << QStringList{"........"};
    QTest::newRow("2 with two flags clears three cells") << QStringList{"F.F.....", ".o......"}
                                                         << QStringList{".S......", "S.S....."};
    QTest::newRow("3 with one flag and two covered") << QStringList{"F*......", "o*......"}
                                                     << QStringList{".M......", ".M......"};
    QTest::newRow("exploded mine counts for nothing") << QStringList{"X.......", "10......"}
                                                      << QStringList{".M......"};
    QTest::newRow("wrong flag makes too many") << QStringList{"Ff......", "o......."} << QStringList{"........"};
    QTest::newRow("pressed cell counts for nothing") << QStringList{"p.......", "oF......"}
                                                     << QStringList{".S......"};
    QTest::newRow("later number overrides: mine") << QStringList{"F.F.....", "14......"}
                                                  << QStringList{".M......", "..M....."};
    QTest::newRow("later number overrides: safe") << QStringList{"F.F.....", "22......"}
                                                  << QStringList{".S......", "..S....."};
    QTest::newRow("array ends at the last verdict") << QStringList{"........", "..F.....", "...o...."}
                                                    << QStringList{"........", "...SS...", "..S.S..."};
}

void tst_compute::basicPass()
{
    QFETCH(QStringList, board);
    QFETCH(QStringList, expected);
    const auto field = PictureBoard::build(board);
    cCompute comp;
    comp.setField(field.get());
    QCOMPARE(asList(comp.CompBasic()), asList(PictureBoard::verdicts(expected)));
    QCOMPARE(PictureBoard::picture(*field), PictureBoard::picture(*PictureBoard::build(board)));
}

void tst_compute::pairPass_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("1 and 1: the third cell is safe") << OneAndOne << QStringList{"..S"};
    QTest::newRow("1 then 2: the third cell is a mine") << QStringList{"*.*FFFFF", "ooFFFFFF"}
                                                        << QStringList{"..M"};
    QTest::newRow("2 then 1: the third cell is a mine") << QStringList{"**.FFFFF", "FooFFFFF"}
                                                        << QStringList{"M.."};
    QTest::newRow("0 with covered cells clears them") << QStringList{"..*FFFFF", "ooFFFFFF"}
                                                      << QStringList{"SSM"};
    QTest::newRow("only the first productive pair counts")
        << QStringList{"*..FFFFF", "ooFFFFFF", "FFFFFFFF", "*..FFFFF", "ooFFFFFF"} << QStringList{"..S"};
    QTest::newRow("an isolated number proves nothing") << QStringList{"*FFFFFFF", "oFFFFFFF"}
                                                       << QStringList{"."};
    QTest::newRow("two numbers on the same cells prove nothing") << QStringList{"*.FFFFFF", "ooFFFFFF"}
                                                                 << QStringList{"."};
}

void tst_compute::pairPass()
{
    QFETCH(QStringList, board);
    QFETCH(QStringList, expected);
    const auto field = PictureBoard::build(board);
    cCompute comp;
    comp.setField(field.get());
    QCOMPARE(asList(comp.CompAdvanced()), asList(PictureBoard::verdicts(expected)));
}

void tst_compute::pairTraceIsExact()
{
    const auto field = PictureBoard::build(OneAndOne);
    cCompute comp;
    comp.setField(field.get());
    QSignalSpy log(&comp, &cCompute::Log);
    comp.CompAdvanced();
    QCOMPARE(log.count(), 2);
    QCOMPARE(log[0][0].toString(), lines({
                                       "-- 2 ----------------------",
                                       "-- P1: 8  x,y: 0,1",
                                       "P1Un: 0 1 ",
                                       "P1Nr: 1",
                                       "P2Li: 9 ",
                                   }));
    QCOMPARE(log[1][0].toString(), lines({
                                       "-- P2: 9  x,y: 1,1",
                                       "P2Un: 0 1 2 ",
                                       "P2Nr: 1",
                                       "P12Un(3)",
                                       "Sol(7)",
                                       "Sol(1)",
                                       "0: 100",
                                       "1: 010",
                                       "P:0\t2 Ch: 1",
                                       "P:1\t2 Ch: 1",
                                       "P:2\t2 Ch: 0",
                                   }));
}

void tst_compute::isolatedNumberTracesOnlyItself()
{
    const auto field = PictureBoard::build({"*.FFFFFF", "oFFFFFFF"});
    cCompute comp;
    comp.setField(field.get());
    QSignalSpy log(&comp, &cCompute::Log);
    QCOMPARE(asList(comp.CompAdvanced()), QList<int>{0});
    QCOMPARE(log.count(), 1);
    QCOMPARE(log[0][0].toString(), lines({
                                       "-- 2 ----------------------",
                                       "-- P1: 8  x,y: 0,1",
                                       "P1Un: 0 1 ",
                                       "P1Nr: 1",
                                       "P2Li: -1 ",
                                   }));
}

// Flags that contradict the numbers leave no placement for the pair at cells 8 and
// 9. Such a pair proves nothing (declaring all its cells safe would open mines the
// numbers insist on), and the pass goes on to the pair below.
void tst_compute::pairWithoutPlacementProvesNothing()
{
    const auto field = PictureBoard::build({"..*FFFFF", "44FFFFFF", "FFFFFFFF", "*..FFFFF", "ooFFFFFF"});
    cCompute comp;
    comp.setField(field.get());
    QSignalSpy log(&comp, &cCompute::Log);
    QCOMPARE(asList(comp.CompAdvanced()), asList(PictureBoard::verdicts({"........", "........", "........", "..S"})));
    QCOMPARE(log.count(), 6);
    QCOMPARE(log[1][0].toString(), lines({
                                       "-- P2: 9  x,y: 1,1",
                                       "P2Un: 0 1 2 ",
                                       "P2Nr: 0",
                                       "P12Un(3)",
                                       "Sol(7)",
                                       "Sol(-1)",
                                       "P:0\t0 Ch: 0",
                                       "P:1\t0 Ch: 0",
                                       "P:2\t0 Ch: 0",
                                   }));
    // Without a receiver the same pass gives the same verdicts.
    log.clear();
    disconnect(&comp, &cCompute::Log, nullptr, nullptr);
    QCOMPARE(asList(comp.CompAdvanced()), asList(PictureBoard::verdicts({"........", "........", "........", "..S"})));
}

void tst_compute::unproductiveBoardTracesEveryPair()
{
    const auto field = PictureBoard::build({"*.FFFFFF", "ooFFFFFF"});
    cCompute comp;
    comp.setField(field.get());
    QStringList log;
    connect(&comp, &cCompute::Log, this, [&](const QString& text) { log << text.section("\r\n", 0, 0); });
    QCOMPARE(asList(comp.CompAdvanced()), QList<int>{0});
    QCOMPARE(log, (QStringList{"-- 2 ----------------------", "-- P2: 9  x,y: 1,1", "-- 2 ----------------------",
                               "-- P2: 8  x,y: 0,1"}));
}

void tst_compute::applyOpensAndFlagsInIndexOrder()
{
    const auto field = PictureBoard::build({"F..F*F..", "o..FoF.."});
    RecordingBox box;
    box.pitch = field->cDim();
    box.columns = field->Xx();
    field->setPic(&box);
    QSignalSpy updates(field.get(), &cField::Update);
    cCompute comp;
    comp.Init(cCompute::CmdBasic, field.get());
    // Cells 1 and 9 are proved safe by the 1 at cell 8, cell 4 a mine by the 5 at 12.
    QCOMPARE(box.drawn, (std::vector<int>{1, 4, 9}));
    QCOMPARE(PictureBoard::picture(*field), (QStringList{"F1.FFF..", "11.F5F.."}));
    QCOMPARE(field->MCnt(), 0);
    QCOMPARE(updates.count(), 1);
    QCOMPARE(field->FldStatus(), FieldStatus::Ready);
}

void tst_compute::applyAfterCascadeHasNoSecondEffect()
{
    // The 1 at cell 8 trusts the wrong flag and clears cells 1 and 9; opening the
    // empty cell 1 floods the board, cell 9 included, before cell 9's turn comes.
    const auto field = PictureBoard::build({"f.......", "1......."});
    cCompute comp;
    comp.Init(cCompute::CmdBasic, field.get());
    QCOMPARE(PictureBoard::picture(*field), (QStringList{"f0000000", "10000000"}));
    QCOMPARE(field->MCnt(), -1);
    QCOMPARE(field->FldStatus(), FieldStatus::Ready);
}

void tst_compute::scriptAOnFreshBoardTracesExactly()
{
    const auto field = PictureBoard::build({"*.......", "........"});
    cCompute comp;
    QStringList log;
    connect(&comp, &cCompute::Log, this, [&](const QString& text) { log << text; });
    // The header reads the game time; each pass waits for the clock to tick (the
    // same reading twice, then a new one, then the start), runs, reads the game
    // time and the clock.
    ScriptedClock clock({45296.13f, 45296.13f, 45296.13f, 45296.14f, 45296.25f, 45296.3125f, 45296.5f, 45300.0f,
                         45301.0f, 45301.5f, 45302.0f, 45302.75f});
    comp.Init(cCompute::CmdScriptA, field.get());
    QCOMPARE(log, (QStringList{
                      "ScriptA\r\n:time: 45296.13\t:Sum: 0",
                      "=Comp1: 0.25\r\n:time: 45296.31\t:Sum: 0",
                      "=Comp2: 1.25\r\n:time: 45302\t:Sum: 0",
                  }));
    QCOMPARE(clock.reads(), 12);
}

// Times exist for the trace alone: without a receiver the scripts neither wait for
// the clock nor read it.
void tst_compute::scriptsReadNoClockWithoutReceiver()
{
    const auto field = PictureBoard::build({"*..FFFFF", "ooFFFFFF", "........"});
    ScriptedClock clock;
    cCompute comp;
    comp.Init(cCompute::CmdScriptA, field.get());
    comp.Init(cCompute::CmdScriptB, field.get());
    QCOMPARE(clock.reads(), 0);
}

// The 1 at cell 8 trusts a wrong flag and clears cells 1 and 9; 9 is a mine. One
// cell opened and one exploded leave the status sum as it was, so the script takes
// the pass for no progress and stops after the pair pass finds nothing either,
// although the new 1 at cell 1 would now prove more.
void tst_compute::scriptStopsWhenMineAndSafeCellCancelOut()
{
    const auto field = PictureBoard::build({"f.......", "1*......"});
    cCompute comp;
    QStringList log;
    connect(&comp, &cCompute::Log, this, [&](const QString& text) { log << text.section("\r\n", 0, 0).section(':', 0, 0); });
    ScriptedClock clock({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    comp.Init(cCompute::CmdScriptA, field.get());
    QCOMPARE(PictureBoard::picture(*field), (QStringList{"f1......", "1X......"}));
    QCOMPARE(field->FldStatus(), FieldStatus::Lost);
    QCOMPARE(log, (QStringList{"ScriptA", "=Comp1", "-- 2 ----------------------", "=Comp2"}));
}

void tst_compute::scriptBStopsAtIsolatedNumber()
{
    const auto field = PictureBoard::build({"*FFFFFFF", "oFFFFFFF"});
    cCompute comp;
    QSignalSpy updates(field.get(), &cField::Update);
    comp.Init(cCompute::CmdScriptB, field.get());
    QCOMPARE(PictureBoard::picture(*field), (QStringList{"*FFFFFFF", "3FFFFFFF"}));
    QCOMPARE(updates.count(), 1);
    // The single-number rule does prove the mine.
    comp.Init(cCompute::CmdScriptA, field.get());
    QCOMPARE(PictureBoard::picture(*field), (QStringList{"FFFFFFFF", "3FFFFFFF"}));
}

void tst_compute::scriptSettlesTheGameAtTheEnd_data()
{
    QTest::addColumn<bool>("watched");
    QTest::newRow("nobody watching") << false;
    QTest::newRow("window watching") << true;
}

// Unwatched, the win check runs once after the last pass instead of after each;
// either way the game ends won with every mine flagged.
void tst_compute::scriptSettlesTheGameAtTheEnd()
{
    QFETCH(bool, watched);
    const auto field = PictureBoard::build({"*.......", "........", "......*.", "........"});
    field->ChkCell(27);
    QCOMPARE(field->Cell(0)->Status(), CellStatus::Covered);
    int updates = 0;
    if (watched)
        connect(field.get(), &cField::Update, this, [&] { ++updates; });
    cCompute comp;
    comp.Init(cCompute::CmdScriptA, field.get());
    QCOMPARE(PictureBoard::picture(*field),
             (QStringList{"F1000000", "11000111", "000001F1", "00000111"}));
    QCOMPARE(field->MCnt(), 0);
    QCOMPARE(field->FldStatus(), FieldStatus::Won);
    if (watched)
        QVERIFY(updates > 1);
}

void tst_compute::chordAllChainsWithinOnePass()
{
    // The empty cell 0 opens its area up to the 1s beside the flag; the 1 at cell 2
    // then opens 11, and the 1s at 11 and 12, opened during this very pass, carry on
    // to the rest of the board. Everything is open, but only the next move decides
    // the game.
    const auto field = PictureBoard::build({"o..F....", "........"});
    QSignalSpy updates(field.get(), &cField::Update);
    cCompute comp;
    comp.Init(cCompute::CmdChordAll, field.get());
    QCOMPARE(PictureBoard::picture(*field), (QStringList{"001F1000", "00111000"}));
    QCOMPARE(field->FldStatus(), FieldStatus::Ready);
    QCOMPARE(updates.count(), 0);
}

void tst_compute::unionKeepsEachNumbersCellsTogether()
{
    // Only the first sees, both see, only the second sees.
    QCOMPARE(asList(PairMasks::UnionOrdered({3, 1, 2}, {2, 9, 3})), (QList<int>{1, 3, 2, 9}));
    QCOMPARE(asList(PairMasks::UnionOrdered({5}, {5})), QList<int>{5});
}

void tst_compute::masks()
{
    QCOMPARE(asList(PairMasks::AllMasks(3)), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(asList(PairMasks::AllMasks(0)), QList<int>{0});
    // One mine among bits 0-1 and one among bits 0-2.
    QCOMPARE(asList(PairMasks::FilterMasks(PairMasks::AllMasks(3), 3, 2, 3, 1, 1)), (QList<int>{1, 2}));
    // One mine among bits 0-2 and two among bits 1-3: kept in ascending order.
    QCOMPARE(asList(PairMasks::FilterMasks(PairMasks::AllMasks(4), 4, 3, 3, 1, 2)), (QList<int>{10, 12}));
    // Nothing fits: nothing is kept.
    QVERIFY(PairMasks::FilterMasks(PairMasks::AllMasks(3), 3, 2, 3, 2, 0).empty());
    QCOMPARE(asList(PairMasks::MineCounts({10, 12}, 4)), (QList<int>{0, 1, 1, 2}));
    QCOMPARE(asList(PairMasks::MineCounts({}, 2)), (QList<int>{0, 0}));
}

void tst_compute::singleText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("negative zero") << -0.0f << "0";
    QTest::newRow("whole") << 100.0f << "100";
    QTest::newRow("half") << 0.5f << "0.5";
    QTest::newRow("tenth") << 0.1f << "0.1";
    QTest::newRow("third") << 1.0f / 3.0f << "0.3333333";
    QTest::newRow("seven digits") << 1234567.0f << "1234567";
    QTest::newRow("time of day") << 45296.13f << "45296.13";
    QTest::newRow("rounded to seven") << 45296.12109375f << "45296.12";
    QTest::newRow("next after 1") << 1.00000012f << "1";
    QTest::newRow("negative") << -0.25f << "-0.25";
    QTest::newRow("small") << 0.0001f << "0.0001";
    QTest::newRow("tiny") << 0.00001f << "1E-05";
    QTest::newRow("large") << 12345678.0f << "1.234568E+07";
    QTest::newRow("ten million") << 10000000.0f << "1E+07";
    QTest::newRow("rounding carries into a new digit") << 0.0099999998f << "0.01";
    QTest::newRow("a half rounds up") << 43211.125f << "43211.13";
    QTest::newRow("a half rounds up, odd") << 1234568.5f << "1234569";
    QTest::newRow("a half rounds away from zero") << -45296.375f << "-45296.38";
    QTest::newRow("below a half") << 43210.8125f << "43210.81";
}

void tst_compute::singleText()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(TraceText::single(value), text);
}

void tst_compute::waitNextTick_data()
{
    QTest::addColumn<QList<float>>("readings");
    QTest::addColumn<float>("result");
    QTest::addColumn<int>("reads");
    QTest::newRow("ticks at once") << QList<float>{1, 2, 3} << 3.0f << 3;
    QTest::newRow("waits for the tick") << QList<float>{5, 5, 5, 5, 6, 7} << 7.0f << 6;
    QTest::newRow("clock going back counts too") << QList<float>{9, 8, 8} << 8.0f << 3;
}

void tst_compute::waitNextTick()
{
    QFETCH(QList<float>, readings);
    QFETCH(float, result);
    QFETCH(int, reads);
    ScriptedClock clock(readings);
    QCOMPARE(mGlobal::WaitNextTick(), result);
    QCOMPARE(clock.reads(), reads);
}

namespace {
struct Outcome {
    QStringList picture;
    int mcnt = 0;
    int status = 0;
    int updates = 0;
    bool operator==(const Outcome&) const = default;
};

enum Watcher { Nobody, TraceReceiver, PictureBoxShown, UpdateReceiver };

Outcome runWatched(int alg, quint32 seed, Watcher watcher)
{
    const auto field = RandomPosition::deal(seed, 16);
    cCompute comp;
    PictureBox box;
    int updates = 0;
    QStringList trace;
    if (watcher == TraceReceiver)
        QObject::connect(&comp, &cCompute::Log, &comp, [&](const QString& text) { trace << text; });
    if (watcher == PictureBoxShown)
        field->setPic(&box);
    // The count of win checks is the same for every watcher: it is counted after.
    QObject::connect(field.get(), &cField::Update, field.get(), [&](int sign) { updates += sign; });
    if (watcher == UpdateReceiver)
        QObject::connect(field.get(), &cField::Update, field.get(), [&](int) { PictureBoard::picture(*field); });
    comp.Init(alg, field.get());
    if (watcher == PictureBoxShown)
        field->setPic(nullptr);
    return {PictureBoard::picture(*field), field->MCnt(), field->FldStatus(), updates};
}
}

void tst_compute::sameCommandWhoeverWatches_data()
{
    QTest::addColumn<int>("alg");
    QTest::newRow("apply basic") << cCompute::CmdBasic;
    QTest::newRow("apply advanced") << cCompute::CmdAdvanced;
    QTest::newRow("ScriptA") << cCompute::CmdScriptA;
    QTest::newRow("ScriptB") << cCompute::CmdScriptB;
}

// Nobody, a trace receiver, a picture box or a receiver of the field's events:
// the same moves, the same win checks, the same board, counter and status.
void tst_compute::sameCommandWhoeverWatches()
{
    QFETCH(int, alg);
    for (quint32 seed = 300; seed < 330; ++seed) {
        const Outcome plain = runWatched(alg, seed, Nobody);
        for (Watcher watcher : {TraceReceiver, PictureBoxShown, UpdateReceiver})
            QVERIFY2(runWatched(alg, seed, watcher) == plain, qPrintable(QStringLiteral("seed %1, watcher %2")
                                                                           .arg(seed).arg(watcher)));
    }
}

// A receiver of the field's events that plays a move of its own now and then: the
// next pass must see it as the reference engine does, reading the whole board.
void tst_compute::playingBetweenPassesIsFollowed()
{
    const auto meddle = [](cField& field, int& calls) {
        return [&field, &calls](int sign) {
            if (sign != 1 || ++calls % 3)
                return;
            const int count = field.cellCount();
            for (int k = 0; k < count; ++k) {
                const int i = (calls * 37 + k) % count;
                if (field.Cell(i)->Status() != CellStatus::Covered)
                    continue;
                if (calls % 2)
                    field.Cell(i)->Check(CellAction::ToggleFlag, field);
                else
                    field.ChkCell(i);
                return;
            }
        };
    };
    for (int alg : {cCompute::CmdScriptA, cCompute::CmdScriptB}) {
        for (quint32 seed = 700; seed < 800; ++seed) {
            const auto mine = RandomPosition::deal(seed, 16);
            const auto theirs = RandomPosition::deal(seed, 16);
            int mineCalls = 0, theirCalls = 0;
            QObject::connect(mine.get(), &cField::Update, mine.get(), meddle(*mine, mineCalls));
            QObject::connect(theirs.get(), &cField::Update, theirs.get(), meddle(*theirs, theirCalls));
            cCompute comp;
            comp.Init(alg, mine.get());
            ReferenceEngine reference(*theirs);
            if (alg == cCompute::CmdScriptA)
                reference.ScriptA();
            else
                reference.ScriptB();
            const QString where = QStringLiteral("alg %1, seed %2").arg(alg).arg(seed);
            QVERIFY2(PictureBoard::picture(*mine) == PictureBoard::picture(*theirs), qPrintable(where));
            QCOMPARE(mineCalls, theirCalls);
            QCOMPARE(mine->MCnt(), theirs->MCnt());
            QCOMPARE(mine->FldStatus(), theirs->FldStatus());
        }
    }
}

// A field that cannot vouch for its neighbour lists (a width let again, a list
// grown by hand) has them read one by one, a grid recognised from them or not.
void tst_compute::listsReadWhenTheFieldCannotVouch()
{
    const std::function<void(ReferenceEngine&)> plainRun[] = {
        &ReferenceEngine::ChordAll,
        [](ReferenceEngine& r) { r.ApplyComp(1); },
        [](ReferenceEngine& r) { r.ApplyComp(2); },
        &ReferenceEngine::ScriptA,
        &ReferenceEngine::ScriptB,
    };
    for (int alg = cCompute::CmdChordAll; alg <= cCompute::CmdScriptB; ++alg) {
        for (quint32 seed = 500; seed < 560; ++seed) {
            const auto mine = RandomPosition::deal(seed, 16);
            const auto theirs = RandomPosition::deal(seed, 16);
            // A board of fewer than three rows has no cell two rows below.
            if (seed % 2 || mine->Yy() < 3) {
                mine->setXx(mine->Xx());
            } else {
                // Every cell of the top row also sees the cell two rows below it.
                const int w = mine->Xx();
                for (int i = 0; i < w && i + 2 * w < mine->cellCount(); ++i) {
                    mine->Cell(i)->addNgh(i + 2 * w);
                    theirs->Cell(i)->addNgh(i + 2 * w);
                }
            }
            QVERIFY(!mine->standardNeighbours());
            cCompute comp;
            comp.Init(alg, mine.get());
            ReferenceEngine reference(*theirs);
            plainRun[alg](reference);
            const QString where = QStringLiteral("alg %1, seed %2").arg(alg).arg(seed);
            QVERIFY2(PictureBoard::picture(*mine) == PictureBoard::picture(*theirs), qPrintable(where));
            QCOMPARE(mine->MCnt(), theirs->MCnt());
            QCOMPARE(mine->FldStatus(), theirs->FldStatus());
        }
    }
}

QTEST_MAIN(tst_compute)
#include "tst_compute.moc"
