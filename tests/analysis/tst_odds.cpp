// The exact analysis against a plain enumeration: every placement of the mines
// left over the cells next to numbers, each weighed by the ways the cells away
// from every number can take the rest. It shares nothing with the engine (no
// settling by single numbers, no components, no counting by states, no tilt).

#include "PictureBoard.h"
#include "RandomPosition.h"

#include "CompleteByOdds.h"
#include "FieldCodes.h"
#include "Odds.h"
#include "OddsEngine.h"
#include "OddsInput.h"
#include "cField.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <optional>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int Scale = 4;
#else
constexpr int Scale = 1;
#endif

constexpr int MaxEnumerated = 20;
constexpr double Tolerance = 1e-9;

struct Truth {
    bool consistent = false;
    std::vector<double> mine;
    std::vector<int> safe, mined;
};

bool isCovered(int status)
{
    return status == CellStatus::Covered || status == CellStatus::Pressed;
}

bool isKnownMine(int status)
{
    return status == CellStatus::Flagged || status == CellStatus::Exploded;
}

// Nothing when more than MaxEnumerated cells lie next to numbers.
std::optional<Truth> enumerate(const cField& field)
{
    const int count = field.cellCount();
    std::vector<int> frontier, interior, bitOf(static_cast<size_t>(count), -1);
    int remaining = field.MTot();
    for (int i = 0; i < count; ++i)
        remaining -= isKnownMine(field.Cell(i)->Status());
    for (int i = 0; i < count; ++i) {
        if (field.Cell(i)->Status() != CellStatus::Opened)
            continue;
        for (int n : field.Cell(i)->Ngh()) {
            if (isCovered(field.Cell(n)->Status()) && bitOf[static_cast<size_t>(n)] < 0) {
                bitOf[static_cast<size_t>(n)] = static_cast<int>(frontier.size());
                frontier.push_back(n);
            }
        }
    }
    if (frontier.size() > MaxEnumerated)
        return std::nullopt;
    for (int i = 0; i < count; ++i) {
        if (isCovered(field.Cell(i)->Status()) && bitOf[static_cast<size_t>(i)] < 0)
            interior.push_back(i);
    }
    // Each number as masks: a list naming a cell twice puts it in two masks.
    struct Number {
        int need = 0;
        std::vector<quint32> masks;
    };
    std::vector<Number> numbers;
    for (int i = 0; i < count; ++i) {
        if (field.Cell(i)->Status() != CellStatus::Opened)
            continue;
        Number number{field.Cell(i)->Nr(), {}};
        for (int n : field.Cell(i)->Ngh()) {
            const int status = field.Cell(n)->Status();
            number.need -= isKnownMine(status);
            if (!isCovered(status))
                continue;
            const quint32 bit = 1u << bitOf[static_cast<size_t>(n)];
            auto free = std::find_if(number.masks.begin(), number.masks.end(), [&](quint32 m) { return !(m & bit); });
            if (free == number.masks.end())
                number.masks.push_back(bit);
            else
                *free |= bit;
        }
        numbers.push_back(number);
    }
    const int u = static_cast<int>(interior.size());
    const auto ways = [&](int m) {
        return std::exp(std::lgamma(u + 1.0) - std::lgamma(m + 1.0) - std::lgamma(u - m + 1.0));
    };
    Truth truth;
    double total = 0, interiorMines = 0;
    std::vector<double> frontierMines(frontier.size(), 0.0);
    quint32 anyMine = 0, alwaysMine = ~0u;
    int fewest = u + 1, most = -1;
    for (quint32 mask = 0; mask < (1u << frontier.size()); ++mask) {
        const int m = remaining - std::popcount(mask);
        if (m < 0 || m > u)
            continue;
        const auto fits = [mask](const Number& number) {
            int mines = 0;
            for (quint32 part : number.masks)
                mines += std::popcount(mask & part);
            return mines == number.need;
        };
        if (!std::all_of(numbers.begin(), numbers.end(), fits))
            continue;
        truth.consistent = true;
        const double w = ways(m);
        total += w;
        interiorMines += w * m;
        for (size_t b = 0; b < frontier.size(); ++b)
            frontierMines[b] += (mask >> b) & 1u ? w : 0.0;
        anyMine |= mask;
        alwaysMine &= mask;
        fewest = std::min(fewest, m);
        most = std::max(most, m);
    }
    truth.mine.assign(static_cast<size_t>(count), -1.0);
    if (!truth.consistent)
        return truth;
    for (size_t b = 0; b < frontier.size(); ++b)
        truth.mine[static_cast<size_t>(frontier[b])] = frontierMines[b] / total;
    for (int i : interior)
        truth.mine[static_cast<size_t>(i)] = interiorMines / total / u;
    for (int i = 0; i < count; ++i) {
        if (!isCovered(field.Cell(i)->Status()))
            continue;
        const int b = bitOf[static_cast<size_t>(i)];
        if (b >= 0 ? !((anyMine >> b) & 1u) : most == 0)
            truth.safe.push_back(i);
        else if (b >= 0 ? ((alwaysMine >> b) & 1u) != 0 : fewest == u)
            truth.mined.push_back(i);
    }
    return truth;
}

bool subsetOf(const std::vector<int>& part, const std::vector<int>& whole)
{
    return std::includes(whole.begin(), whole.end(), part.begin(), part.end());
}

QString where(quint32 seed, const cField& field)
{
    return QStringLiteral("seed %1, %2 mines\n%3").arg(seed).arg(field.MTot()).arg(PictureBoard::picture(field).join('\n'));
}

// Extra links in some neighbour lists, a repeated one among them, with the
// numbers counted again over them: boards no reset builds.
void tangle(cField& field, quint32 seed)
{
    const int count = field.cellCount();
    for (int k = 0; k < 3; ++k) {
        const int cell = static_cast<int>((seed * 7919u + 104729u * static_cast<quint32>(k)) % static_cast<quint32>(count));
        const auto& ngh = field.Cell(cell)->Ngh();
        field.Cell(cell)->addNgh(ngh.empty() ? (cell + 1) % count : ngh.front());
        field.Cell(cell)->addNgh(static_cast<int>((static_cast<quint32>(cell) + seed) % static_cast<quint32>(count)));
    }
    field.CntNr();
}

}

class tst_odds : public QObject {
    Q_OBJECT
private slots:
    void againstEnumeration();
    void totalDecides_data();
    void totalDecides();
    void completion();
    void alongAGame();
    void tooWideToCount();
};

// Any wrong chance, proof or verdict of consistency on boards as play leaves them
// (wrong flags, exploded mines, pressed cells, no numbers, cells far from all
// numbers, odd neighbour lists); a snapshot that reads more or less than the
// player sees; an analysis that changes the board; and, with the budget spent
// from the start or the work cancelled, a claim that is not proven.
void tst_odds::againstEnumeration()
{
    const int wanted = 400 / Scale;
    int checked = 0, cut = 0;
    OddsEngine engine;
    for (quint32 seed = 1; checked < wanted; ++seed) {
        const auto field = RandomPosition::deal(seed, 10);
        if (seed % 4 == 0)
            tangle(*field, seed);
        const auto truth = enumerate(*field);
        if (!truth)
            continue;
        ++checked;
        const QStringList before = PictureBoard::picture(*field);
        const Odds odds = computeOdds(*field);
        QCOMPARE(PictureBoard::picture(*field), before);
        const QString at = where(seed, *field);
        QVERIFY2(odds.exact, qPrintable(at));
        QVERIFY2(odds.consistent == truth->consistent, qPrintable(at));
        QVERIFY2(odds.safe == truth->safe, qPrintable(at));
        QVERIFY2(odds.mined == truth->mined, qPrintable(at));
        for (int i = 0; i < field->cellCount(); ++i) {
            const double expected = truth->mine[static_cast<size_t>(i)];
            QVERIFY2(std::abs(odds.mine[static_cast<size_t>(i)] - expected) < Tolerance,
                     qPrintable(QStringLiteral("cell %1: %2, not %3\n%4")
                                    .arg(i).arg(odds.mine[static_cast<size_t>(i)]).arg(expected).arg(at)));
        }
        // The same board through an engine that remembers the last one.
        const Odds again = engine.analyse(OddsInput::read(*field), OddsEngine::Mode::ProofsOnly,
                                          std::chrono::milliseconds(200));
        QVERIFY2(again.safe == truth->safe && again.mined == truth->mined, qPrintable(at));

        std::atomic<bool> stop{seed % 2 == 1};
        const Odds hurried = computeOdds(OddsInput::read(*field), std::chrono::milliseconds(0), &stop);
        cut += !hurried.exact;
        QVERIFY2(hurried.consistent || !truth->consistent, qPrintable(at));
        // Without a fitting placement every claim holds, vacuously.
        if (truth->consistent)
            QVERIFY2(subsetOf(hurried.safe, truth->safe) && subsetOf(hurried.mined, truth->mined), qPrintable(at));
        if (hurried.exact)
            QVERIFY2(hurried.safe == truth->safe && hurried.mined == truth->mined, qPrintable(at));
    }
    QVERIFY(cut > 0);
}

void tst_odds::totalDecides_data()
{
    // Two 1s that share a cell: either the shared cell holds the mine (one mine) or
    // the two outer cells do (two); three cells lie away from both numbers.
    const QStringList board{".1.1...."};
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("mines");
    QTest::addColumn<QString>("verdicts");
    QTest::addColumn<QList<double>>("chances");
    // One mine: the pair cannot be used, and nothing is left for the far cells.
    QTest::newRow("one mine") << board << 1 << "S.M.SSSS" << QList<double>{0, -1, 1, -1, 0, 0, 0, 0};
    // Two: the shared cell with one far mine (3 ways) against the pair (1 way).
    QTest::newRow("two mines") << board << 2 << "........"
                               << QList<double>{0.25, -1, 0.75, -1, 0.25, 0.25, 0.25, 0.25};
    // Five: four cannot fit with the shared cell, so the pair and all far cells hold them.
    QTest::newRow("five mines") << board << 5 << "M.S.MMMM" << QList<double>{1, -1, 0, -1, 1, 1, 1, 1};
}

// The mine total left out, or weighed wrongly against the cells away from numbers.
void tst_odds::totalDecides()
{
    QFETCH(QStringList, rows);
    QFETCH(int, mines);
    QFETCH(QString, verdicts);
    QFETCH(QList<double>, chances);
    const auto field = PictureBoard::build(rows);
    field->setMTot(mines);
    const Odds odds = computeOdds(*field);
    QVERIFY(odds.consistent && odds.exact);
    for (int i = 0; i < chances.size(); ++i)
        QVERIFY2(std::abs(odds.mine[static_cast<size_t>(i)] - chances[i]) < Tolerance, qPrintable(QString::number(i)));
    QString shown(verdicts.size(), '.');
    for (int i : odds.safe)
        shown[i] = 'S';
    for (int i : odds.mined)
        shown[i] = 'M';
    QCOMPARE(shown, verdicts);
}

// A complete auto-completion that acts on a stale or wrong proof (a mine opened,
// a safe cell flagged) or stops while an analysis would still prove something.
void tst_odds::completion()
{
    for (quint32 seed = 1; seed <= 40 / static_cast<quint32>(Scale); ++seed) {
        cField field;
        field.Randomize(seed);
        field.Setup(16 + static_cast<int>(seed % 15), 16, 40, ViewMode::Normal, ZoomSize::Tiny);
        for (int i = 0; const cCell* cell = field.Cell(i); ++i) {
            if (!cell->Mine() && cell->Nr() == 0) {
                field.ChkCell(i);
                break;
            }
        }
        const CompleteRun run = completeByOdds(field);
        const QString at = where(seed, field);
        QVERIFY2(run.exact, qPrintable(at));
        QVERIFY2(field.FldStatus() != FieldStatus::Lost, qPrintable(at));
        for (int i = 0; const cCell* cell = field.Cell(i); ++i)
            QVERIFY2(cell->Status() != CellStatus::Flagged || cell->Mine(), qPrintable(at));
        if (field.FldStatus() != FieldStatus::Won) {
            const Odds after = computeOdds(field);
            QVERIFY2(after.safe.empty() && after.mined.empty(), qPrintable(at));
        }
    }
}

// Faults that only boards too large to enumerate show: many components weighed
// against a large interior, long components with many states, and an engine that
// remembers components between moves giving other results than a fresh one.
// The true mines are one fitting placement, so every proof must agree with them,
// and the chances of all covered cells must add up to the mines left.
void tst_odds::alongAGame()
{
    for (quint32 seed = 1; seed <= 6; ++seed) {
        cField field;
        field.Randomize(seed);
        field.Setup(60 + 10 * static_cast<int>(seed), 40, 500 + 40 * static_cast<int>(seed), ViewMode::Normal,
                    ZoomSize::Tiny);
        for (int i = 0; const cCell* cell = field.Cell(i); ++i) {
            if (!cell->Mine() && cell->Nr() == 0) {
                field.ChkCell(i);
                break;
            }
        }
        OddsEngine engine;
        // Each move opens the covered cell least likely to hold a mine, as a player would.
        for (int move = 0; move < 12 / Scale && field.FldStatus() != FieldStatus::Lost; ++move) {
            const Odds odds = engine.analyse(OddsInput::read(field), OddsEngine::Mode::Odds,
                                             std::chrono::milliseconds(2000));
            const Odds fresh = computeOdds(field, std::chrono::milliseconds(2000));
            const QString at = QStringLiteral("seed %1, move %2").arg(seed).arg(move);
            QVERIFY2(odds.exact && odds.consistent, qPrintable(at));
            QVERIFY2(odds.safe == fresh.safe && odds.mined == fresh.mined, qPrintable(at));
            double expected = 0;
            int left = field.MTot(), best = -1;
            for (int i = 0; const cCell* cell = field.Cell(i); ++i) {
                const double p = odds.mine[static_cast<size_t>(i)];
                QVERIFY2(std::abs(p - fresh.mine[static_cast<size_t>(i)]) < Tolerance, qPrintable(at));
                left -= cell->Status() == CellStatus::Flagged;
                if (p < 0)
                    continue;
                expected += p;
                if (best < 0 || p < odds.mine[static_cast<size_t>(best)])
                    best = i;
            }
            QVERIFY2(std::abs(expected - left) < 1e-6 * left, qPrintable(at));
            for (int i : odds.safe)
                QVERIFY2(!field.Cell(i)->Mine(), qPrintable(at));
            for (int i : odds.mined)
                QVERIFY2(field.Cell(i)->Mine(), qPrintable(at));
            for (int i : odds.mined)
                field.Cell(i)->Check(CellAction::ToggleFlag, field);
            for (int i : odds.safe)
                field.ChkCell(i);
            if (odds.safe.empty() && best >= 0)
                field.ChkCell(best);
            field.CntM();
            field.ChkWin();
        }
    }
}

// A component too wide to count (numbers scattered all over a covered area) must
// leave the analysis inexact but sound: no false proof, no false verdict of no
// placement, chances still chances.
void tst_odds::tooWideToCount()
{
    cField field;
    field.Randomize(7);
    field.Setup(40, 40, 300, ViewMode::Normal, ZoomSize::Tiny);
    for (int i = 0; cCell* cell = field.Cell(i); ++i) {
        if (cell->X() % 2 == 0 && cell->Y() % 2 == 0 && !cell->Mine())
            cell->Check(CellAction::Open, field);
    }
    const Odds odds = computeOdds(field, std::chrono::milliseconds(300));
    QVERIFY(odds.consistent);
    QVERIFY(!odds.exact);
    for (int i : odds.safe)
        QVERIFY(!field.Cell(i)->Mine());
    for (int i : odds.mined)
        QVERIFY(field.Cell(i)->Mine());
    for (int i = 0; const cCell* cell = field.Cell(i); ++i) {
        const double p = odds.mine[static_cast<size_t>(i)];
        const bool proven = std::binary_search(odds.safe.begin(), odds.safe.end(), i)
            || std::binary_search(odds.mined.begin(), odds.mined.end(), i);
        if (cell->Status() != CellStatus::Covered)
            QCOMPARE(p, -1.0);
        else if (!proven)
            QVERIFY(p > 0 && p < 1);
    }
}

QTEST_GUILESS_MAIN(tst_odds)
#include "tst_odds.moc"
