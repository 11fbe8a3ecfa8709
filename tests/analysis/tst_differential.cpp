// The engine against the plain reference engine on thousands of random positions: the
// same verdicts from both passes, the same boards after every command, the same
// traces. The reference lists every placement of every pair and reads every cell
// through the field before each pass, so any shortcut the engine takes (counting
// instead of listing, following its own moves instead of re-reading the board,
// skipping pairs that proved nothing, putting off the win check) shows up here.

#include "PictureBoard.h"
#include "RandomPosition.h"
#include "ReferenceEngine.h"
#include "TestClocks.h"

#include "Clock.h"
#include "FieldCodes.h"
#include "cCompute.h"
#include "cField.h"

#include <QTest>

#include <functional>

namespace {

// Sanitized builds run several times slower; they check memory, not numbers.
#if defined(__SANITIZE_ADDRESS__)
constexpr int Scale = 4;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int Scale = 4;
#else
constexpr int Scale = 1;
#endif
#else
constexpr int Scale = 1;
#endif

int positions(int normal)
{
    bool ok = false;
    const int factor = qEnvironmentVariableIntValue("ANALYSIS_DIFF_FACTOR", &ok);
    return (ok && factor > 0 ? normal * factor : normal) / Scale;
}

QList<int> asList(const std::vector<int>& v)
{
    return QList<int>(v.begin(), v.end());
}

struct BoardState {
    QStringList picture;
    int sum = 0;
    int mcnt = 0;
    int status = 0;
    bool operator==(const BoardState&) const = default;
};

BoardState stateOf(cField& field)
{
    BoardState state;
    state.picture = PictureBoard::picture(field);
    for (int i = 0; cCell* cell = field.Cell(i); ++i)
        state.sum += cell->Status();
    state.mcnt = field.MCnt();
    state.status = field.FldStatus();
    return state;
}

QString describe(quint32 seed, const BoardState& before, const BoardState& engine, const BoardState& reference)
{
    return QStringLiteral("seed %1\nbefore:\n%2\nengine (sum %3, MCnt %4, status %5):\n%6\nreference (sum %7, MCnt %8, status %9):\n%10")
        .arg(seed)
        .arg(before.picture.join('\n'))
        .arg(engine.sum).arg(engine.mcnt).arg(engine.status).arg(engine.picture.join('\n'))
        .arg(reference.sum).arg(reference.mcnt).arg(reference.status).arg(reference.picture.join('\n'));
}

}

class tst_differential : public QObject {
    Q_OBJECT
private slots:
    void verdictArrays();
    void commands_data();
    void commands();
    void watchedCommands_data();
    void watchedCommands();
    void pairTraces();
    void scriptTraces();
};

void tst_differential::verdictArrays()
{
    const int count = positions(2500);
    for (int k = 0; k < count; ++k) {
        const auto seed = static_cast<quint32>(1000 + k);
        const auto field = RandomPosition::deal(seed);
        const QStringList before = PictureBoard::picture(*field);
        cCompute comp;
        comp.setField(field.get());
        ReferenceEngine reference(*field);
        const QString where = QStringLiteral("seed %1\n%2").arg(seed).arg(before.join('\n'));
        QVERIFY2(asList(comp.CompBasic()) == asList(reference.CompBasic()), qPrintable(where));
        QVERIFY2(asList(comp.CompAdvanced()) == asList(reference.CompAdvanced()), qPrintable(where));
        // Neither pass may change the board it reads.
        QCOMPARE(PictureBoard::picture(*field), before);
    }
}

void tst_differential::commands_data()
{
    QTest::addColumn<int>("alg");
    QTest::addColumn<int>("count");
    QTest::newRow("apply basic") << cCompute::CmdBasic << positions(400);
    QTest::newRow("apply advanced") << cCompute::CmdAdvanced << positions(400);
    QTest::newRow("ChordAll") << cCompute::CmdChordAll << positions(400);
    QTest::newRow("ScriptA") << cCompute::CmdScriptA << positions(400);
    QTest::newRow("ScriptB") << cCompute::CmdScriptB << positions(400);
}

void tst_differential::commands()
{
    QFETCH(int, alg);
    QFETCH(int, count);
    const std::function<void(ReferenceEngine&)> plainRun[] = {
        &ReferenceEngine::ChordAll,
        [](ReferenceEngine& r) { r.ApplyComp(1); },
        [](ReferenceEngine& r) { r.ApplyComp(2); },
        &ReferenceEngine::ScriptA,
        &ReferenceEngine::ScriptB,
    };
    cCompute comp;
    for (int k = 0; k < count; ++k) {
        const auto seed = static_cast<quint32>(50000 + 7919 * k + alg);
        const auto mine = RandomPosition::deal(seed);
        const auto theirs = RandomPosition::deal(seed);
        const BoardState before = stateOf(*mine);
        comp.Init(alg, mine.get());
        ReferenceEngine reference(*theirs);
        plainRun[alg](reference);
        const BoardState engine = stateOf(*mine), expected = stateOf(*theirs);
        QVERIFY2(engine == expected, qPrintable(describe(seed, before, engine, expected)));
        QCOMPARE(comp.Field(), nullptr);
    }
}

void tst_differential::watchedCommands_data()
{
    QTest::addColumn<int>("alg");
    QTest::newRow("ScriptA") << cCompute::CmdScriptA;
    QTest::newRow("ScriptB") << cCompute::CmdScriptB;
}

// With somebody listening to the field every pass settles the board on its own, so
// the listener hears as many win checks as the reference engine makes.
void tst_differential::watchedCommands()
{
    QFETCH(int, alg);
    const int count = positions(150);
    cCompute comp;
    for (int k = 0; k < count; ++k) {
        const auto seed = static_cast<quint32>(900000 + 31 * k + alg);
        const auto mine = RandomPosition::deal(seed);
        const auto theirs = RandomPosition::deal(seed);
        QList<int> mineUpdates, theirUpdates;
        connect(mine.get(), &cField::Update, this, [&](int sign) { mineUpdates << sign; });
        connect(theirs.get(), &cField::Update, this, [&](int sign) { theirUpdates << sign; });
        const BoardState before = stateOf(*mine);
        comp.Init(alg, mine.get());
        ReferenceEngine reference(*theirs);
        if (alg == cCompute::CmdScriptA)
            reference.ScriptA();
        else
            reference.ScriptB();
        const BoardState engine = stateOf(*mine), expected = stateOf(*theirs);
        QVERIFY2(engine == expected, qPrintable(describe(seed, before, engine, expected)));
        QCOMPARE(mineUpdates, theirUpdates);
    }
}

void tst_differential::pairTraces()
{
    const int count = positions(400);
    for (int k = 0; k < count; ++k) {
        const auto seed = static_cast<quint32>(7000000 + k);
        // Small boards: the trace lists every placement of every pair.
        const auto field = RandomPosition::deal(seed, 14);
        cCompute comp;
        comp.setField(field.get());
        QStringList mine, theirs;
        connect(&comp, &cCompute::Log, this, [&](const QString& text) { mine << text; });
        ReferenceEngine reference(*field);
        reference.log = [&](const QString& text) { theirs << text; };
        const std::vector<int> verdicts = comp.CompAdvanced();
        QCOMPARE(asList(verdicts), asList(reference.CompAdvanced()));
        QCOMPARE(mine.size(), theirs.size());
        for (int i = 0; i < mine.size(); ++i)
            QVERIFY2(mine[i] == theirs[i], qPrintable(QStringLiteral("seed %1, block %2:\n%3\n--- expected:\n%4")
                                                          .arg(seed).arg(i).arg(mine[i], theirs[i])));
    }
}

void tst_differential::scriptTraces()
{
    const int count = positions(150);
    SteppingClock clock;
    for (int k = 0; k < count; ++k) {
        const auto seed = static_cast<quint32>(8000000 + k);
        const int alg = k % 2 ? cCompute::CmdScriptB : cCompute::CmdScriptA;
        const auto mine = RandomPosition::deal(seed, 12);
        const auto theirs = RandomPosition::deal(seed, 12);
        cCompute comp;
        QStringList mineLog, theirLog;
        connect(&comp, &cCompute::Log, this, [&](const QString& text) { mineLog << text; });
        clock.reset();
        comp.Init(alg, mine.get());
        ReferenceEngine reference(*theirs);
        reference.log = [&](const QString& text) { theirLog << text; };
        clock.reset();
        if (alg == cCompute::CmdScriptA)
            reference.ScriptA();
        else
            reference.ScriptB();
        QVERIFY(stateOf(*mine) == stateOf(*theirs));
        QCOMPARE(mineLog, theirLog);
    }
}

QTEST_GUILESS_MAIN(tst_differential)
#include "tst_differential.moc"
