// Boards dealt without guessing, each played again by a solver of the test's own:
// it enumerates the placements of every group of covered cells along the opened
// region by backtracking and weighs the groups against the cells next to no
// number through the mine total, without any part of the analysis engine.

#include "NoGuessDeal.h"

#include "FieldCodes.h"
#include "Rnd.h"
#include "cField.h"

#include <QTest>

#include <functional>
#include <numeric>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int SeedScale = 1;
#else
constexpr int SeedScale = 5;
#endif
constexpr std::chrono::milliseconds Ample{60000};

struct Board {
    int w = 0, h = 0, mines = 0;
    std::vector<char> mine;

    int cells() const { return w * h; }
    std::vector<int> around(int i) const
    {
        std::vector<int> out;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = i % w + dx, y = i / w + dy;
                if ((dx || dy) && x >= 0 && x < w && y >= 0 && y < h)
                    out.push_back(y * w + x);
            }
        }
        return out;
    }
    int number(int i) const
    {
        int n = 0;
        for (int k : around(i))
            n += mine[static_cast<size_t>(k)];
        return n;
    }
};

enum State : char { Covered, Open, Flag };

// One group of frontier cells: which totals its placements reach, and for each
// total whether a cell can hold a mine and whether it can be free.
struct Group {
    std::vector<int> cells;
    std::vector<std::vector<int>> rules;  // positions in cells; each rule with its need below
    std::vector<int> need;
    std::vector<char> total;              // by mines placed
    std::vector<std::vector<char>> canMine, canFree;  // [total][position]
};

void enumerate(Group& g)
{
    const size_t n = g.cells.size();
    g.total.assign(n + 1, 0);
    g.canMine.assign(n + 1, std::vector<char>(n, 0));
    g.canFree = g.canMine;
    std::vector<std::vector<int>> rulesOf(n);
    for (size_t r = 0; r < g.rules.size(); ++r) {
        for (int p : g.rules[r])
            rulesOf[static_cast<size_t>(p)].push_back(static_cast<int>(r));
    }
    std::vector<int> placed(g.rules.size(), 0), open(g.rules.size());
    for (size_t r = 0; r < g.rules.size(); ++r)
        open[r] = static_cast<int>(g.rules[r].size());
    std::vector<char> value(n, 0);
    std::function<void(size_t, int)> walk = [&](size_t p, int k) {
        if (p == n) {
            g.total[static_cast<size_t>(k)] = 1;
            for (size_t i = 0; i < n; ++i)
                (value[i] ? g.canMine : g.canFree)[static_cast<size_t>(k)][i] = 1;
            return;
        }
        for (char v : {char{0}, char{1}}) {
            bool fits = true;
            for (int r : rulesOf[p]) {
                placed[static_cast<size_t>(r)] += v;
                --open[static_cast<size_t>(r)];
                const int m = placed[static_cast<size_t>(r)], need = g.need[static_cast<size_t>(r)];
                fits = fits && m <= need && m + open[static_cast<size_t>(r)] >= need;
            }
            value[p] = v;
            if (fits)
                walk(p + 1, k + v);
            for (int r : rulesOf[p]) {
                placed[static_cast<size_t>(r)] -= v;
                ++open[static_cast<size_t>(r)];
            }
        }
    };
    walk(0, 0);
}

// Opens the first cell, then everything no fitting placement has a mine on and
// flags everything every placement has one on, until the board is done (true)
// or nothing is certain (false).
bool wonWithoutGuess(const Board& b, int first)
{
    std::vector<char> state(static_cast<size_t>(b.cells()), Covered);
    int opened = 0;
    std::function<void(int)> open = [&](int c) {
        if (state[static_cast<size_t>(c)] != Covered)
            return;
        if (b.mine[static_cast<size_t>(c)])
            throw std::logic_error("opened a mine");
        state[static_cast<size_t>(c)] = Open;
        ++opened;
        if (b.number(c) == 0) {
            for (int k : b.around(c))
                open(k);
        }
    };
    open(first);
    while (opened < b.cells() - b.mines) {
        int left = b.mines;
        std::vector<int> groupOf(static_cast<size_t>(b.cells()), -1);
        std::vector<Group> groups;
        std::vector<int> interior;
        // Frontier cells joined through the numbers they share.
        std::vector<int> parent(static_cast<size_t>(b.cells()));
        std::iota(parent.begin(), parent.end(), 0);
        std::function<int(int)> root = [&](int x) {
            return parent[static_cast<size_t>(x)] == x ? x : parent[static_cast<size_t>(x)] = root(parent[static_cast<size_t>(x)]);
        };
        std::vector<char> frontier(static_cast<size_t>(b.cells()), 0);
        for (int c = 0; c < b.cells(); ++c) {
            left -= state[static_cast<size_t>(c)] == Flag;
            if (state[static_cast<size_t>(c)] != Open)
                continue;
            int firstCovered = -1;
            for (int k : b.around(c)) {
                if (state[static_cast<size_t>(k)] != Covered)
                    continue;
                frontier[static_cast<size_t>(k)] = 1;
                if (firstCovered < 0)
                    firstCovered = k;
                parent[static_cast<size_t>(root(k))] = root(firstCovered);
            }
        }
        for (int c = 0; c < b.cells(); ++c) {
            if (state[static_cast<size_t>(c)] != Covered)
                continue;
            if (!frontier[static_cast<size_t>(c)]) {
                interior.push_back(c);
                continue;
            }
            int& g = groupOf[static_cast<size_t>(root(c))];
            if (g < 0) {
                g = static_cast<int>(groups.size());
                groups.emplace_back();
            }
            groupOf[static_cast<size_t>(c)] = g;
            groups[static_cast<size_t>(g)].cells.push_back(c);
        }
        for (int c = 0; c < b.cells(); ++c) {
            if (state[static_cast<size_t>(c)] != Open)
                continue;
            std::vector<int> rule;
            int need = b.number(c);
            int g = -1;
            for (int k : b.around(c)) {
                need -= state[static_cast<size_t>(k)] == Flag;
                if (state[static_cast<size_t>(k)] != Covered)
                    continue;
                g = groupOf[static_cast<size_t>(k)];
                const auto& cells = groups[static_cast<size_t>(g)].cells;
                rule.push_back(static_cast<int>(std::find(cells.begin(), cells.end(), k) - cells.begin()));
            }
            if (g >= 0) {
                groups[static_cast<size_t>(g)].rules.push_back(rule);
                groups[static_cast<size_t>(g)].need.push_back(need);
            }
        }
        for (Group& g : groups)
            enumerate(g);

        // Totals the other groups can reach together, each group left out in turn.
        const auto reach = [&](size_t skip) {
            std::vector<char> sums(static_cast<size_t>(left) + 1, 0);
            sums[0] = 1;
            for (size_t j = 0; j < groups.size(); ++j) {
                if (j == skip)
                    continue;
                std::vector<char> next(sums.size(), 0);
                for (size_t s = 0; s < sums.size(); ++s) {
                    for (size_t k = 0; sums[s] && k < groups[j].total.size() && s + k < sums.size(); ++k)
                        next[s + k] = next[s + k] || groups[j].total[k];
                }
                sums.swap(next);
            }
            return sums;
        };
        const auto fitsInterior = [&](int rest) { return rest >= 0 && rest <= static_cast<int>(interior.size()); };
        std::vector<int> safe, mined;
        for (size_t j = 0; j < groups.size(); ++j) {
            const std::vector<char> others = reach(j);
            const Group& g = groups[j];
            for (size_t p = 0; p < g.cells.size(); ++p) {
                bool canMine = false, canFree = false;
                for (size_t k = 0; k < g.total.size(); ++k) {
                    for (size_t s = 0; g.total[k] && s < others.size(); ++s) {
                        if (others[s] && fitsInterior(left - static_cast<int>(k + s))) {
                            canMine = canMine || g.canMine[k][p];
                            canFree = canFree || g.canFree[k][p];
                        }
                    }
                }
                if (!canMine)
                    safe.push_back(g.cells[p]);
                else if (!canFree)
                    mined.push_back(g.cells[p]);
            }
        }
        const std::vector<char> all = reach(groups.size());
        bool interiorMine = false, interiorFree = false;
        for (size_t s = 0; s < all.size(); ++s) {
            const int rest = left - static_cast<int>(s);
            if (all[s] && fitsInterior(rest)) {
                interiorMine = interiorMine || rest > 0;
                interiorFree = interiorFree || rest < static_cast<int>(interior.size());
            }
        }
        for (int c : interior) {
            if (!interiorMine)
                safe.push_back(c);
            else if (!interiorFree)
                mined.push_back(c);
        }
        if (safe.empty() && mined.empty())
            return false;
        for (int c : mined) {
            if (!b.mine[static_cast<size_t>(c)])
                throw std::logic_error("flagged a free cell");
            state[static_cast<size_t>(c)] = Flag;
        }
        for (int c : safe)
            open(c);
    }
    return true;
}

Board boardOf(cField& field)
{
    Board b{field.Xx(), field.Yy(), field.MTot(), {}};
    for (int i = 0; i < b.cells(); ++i)
        b.mine.push_back(field.Cell(i)->Mine());
    return b;
}

int mineCount(const Board& b)
{
    return static_cast<int>(std::count(b.mine.begin(), b.mine.end(), 1));
}

}

class tst_NoGuess : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Rnd::setSeedSource(nullptr); }
    void wonWithoutAGuess_data();
    void wonWithoutAGuess();
    void failures_data();
    void failures();
};

void tst_NoGuess::wonWithoutAGuess_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("mines");
    QTest::addColumn<int>("seeds");
    QTest::newRow("9x9") << 9 << 9 << 10 << 60 * SeedScale;
    QTest::newRow("16x16") << 16 << 16 << 40 << 30 * SeedScale;
    QTest::newRow("30x16") << 30 << 16 << 99 << 10 * SeedScale;
    QTest::newRow("dense 9x9") << 9 << 9 << 35 << 10 * SeedScale;
    QTest::newRow("one row") << 30 << 1 << 8 << 10 * SeedScale;
}

// A board that needs a guess after all, a mine total off by the mines the repairs
// moved, a first cell that is not a 0, or a deal a seed does not reproduce.
void tst_NoGuess::wonWithoutAGuess()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, mines);
    QFETCH(int, seeds);
    for (int seed = 1; seed <= seeds; ++seed) {
        Rnd::setSeedSource([seed] { return static_cast<quint32>(seed); });
        cField field;
        field.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
        const int first = (seed * 7919) % (w * h);
        QVERIFY(DealWithoutGuess(field, first, Ample));
        const Board b = boardOf(field);
        QCOMPARE(mineCount(b), mines);
        QVERIFY(!b.mine[static_cast<size_t>(first)]);
        QCOMPARE(field.Cell(first)->Nr(), 0);
        QCOMPARE(static_cast<int>(field.FreePool().size()), w * h - mines);
        QVERIFY2(wonWithoutGuess(b, first), qPrintable(QStringLiteral("seed %1").arg(seed)));
        if (seed == 1) {
            cField again;
            again.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
            DealWithoutGuess(again, first, Ample);
            QVERIFY(boardOf(again).mine == b.mine);
        }
    }
}

void tst_NoGuess::failures_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("mines");
    QTest::addColumn<int>("budget");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("zero");
    QTest::newRow("cancelled") << 255 << 166 << 8466 << 60000 << true << true;
    QTest::newRow("no time") << 30 << 16 << 99 << 0 << false << true;
    QTest::newRow("no room for a 0") << 9 << 9 << 75 << 60000 << false << false;
}

// A failed deal that leaves a broken board: mines missing or too many, no free
// first cell, numbers or pool left from before, or a cancel not heeded.
void tst_NoGuess::failures()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, mines);
    QFETCH(int, budget);
    QFETCH(bool, cancel);
    QFETCH(bool, zero);
    cField field;
    field.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
    const int first = h / 2 * w + w / 2;
    int asked = 0;
    bool inRange = true;
    const bool dealt = DealWithoutGuess(field, first, std::chrono::milliseconds(budget), [&](int percent) {
        ++asked;
        inRange = inRange && percent >= 0 && percent < 100;
        return !cancel;
    });
    QVERIFY(!dealt);
    QCOMPARE(asked > 0, cancel);
    QVERIFY(inRange);
    const Board b = boardOf(field);
    QCOMPARE(mineCount(b), mines);
    for (int i = 0; i < b.cells(); ++i) {
        if (!b.mine[static_cast<size_t>(i)])
            QCOMPARE(field.Cell(i)->Nr(), b.number(i));
    }
    QCOMPARE(static_cast<int>(field.FreePool().size()), w * h - mines);
    QCOMPARE(field.Cell(first)->Nr() == 0, zero);
    field.ChkCell(first);
    field.ChkWin();
    QCOMPARE(field.Cell(first)->Status(), CellStatus::Opened);
    QCOMPARE(field.FldStatus(), FieldStatus::Ready);
}

QTEST_GUILESS_MAIN(tst_NoGuess)
#include "tst_noguess.moc"
