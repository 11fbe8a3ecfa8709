// Boards dealt without guessing, each played again by a solver of the test's own:
// it enumerates the placements of every group of covered cells along the opened
// region by backtracking and weighs the groups against the cells next to no
// number through the mine total, without any part of the analysis engine.

#include "NoGuessDeal.h"

#include "FieldCodes.h"
#include "Rnd.h"
#include "cField.h"

#include <QTest>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int SeedScale = 1;
#else
constexpr int SeedScale = 5;
#endif
constexpr std::chrono::milliseconds Ample{60000};

using Cells = std::vector<int>;
enum : char { Covered, Open, Flag };

// A group of frontier cells tied by numbers: for each total of mines its
// placements reach, which of its cells can hold a mine and which can be free.
struct Group {
    Cells cells;
    std::vector<std::pair<Cells, int>> rules;  // positions in cells, mines they need
    std::map<int, std::pair<std::vector<char>, std::vector<char>>> byTotal;

    void enumerate()
    {
        std::vector<char> value(cells.size());
        // Whether the cells before p, as valued, leave every rule still possible.
        const auto possible = [&](size_t p) {
            for (const auto& [members, need] : rules) {
                int mines = 0, open = 0;
                for (int m : members) {
                    const auto at = static_cast<size_t>(m);
                    mines += at < p && value[at];
                    open += at >= p;
                }
                if (mines > need || mines + open < need)
                    return false;
            }
            return true;
        };
        std::function<void(size_t, int)> walk = [&](size_t p, int k) {
            if (!possible(p))
                return;
            if (p == cells.size()) {
                auto& [canMine, canFree] = byTotal.try_emplace(k, std::vector<char>(p), std::vector<char>(p)).first->second;
                for (size_t i = 0; i < p; ++i)
                    (value[i] ? canMine : canFree)[i] = 1;
                return;
            }
            for (char v : {char{0}, char{1}}) {
                value[p] = v;
                walk(p + 1, k + v);
            }
        };
        walk(0, 0);
    }
};

struct Game {
    int w, h, mines;
    std::vector<char> mine, state;

    Cells around(int i) const
    {
        Cells out;
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
    char& at(int i) { return state[static_cast<size_t>(i)]; }
    void open(int c)
    {
        if (at(c) != Covered)
            return;
        if (mine[static_cast<size_t>(c)])
            throw std::logic_error("opened a mine");
        at(c) = Open;
        if (number(c) == 0) {
            for (int k : around(c))
                open(k);
        }
    }

    // Opens the first cell, then everything no fitting placement has a mine on
    // and flags everything every placement has one on, until the board is done
    // (true) or nothing is certain (false).
    bool play(int first)
    {
        state.assign(mine.size(), Covered);
        open(first);
        for (;;) {
            int left = mines, covered = 0;
            for (int c = 0; c < w * h; ++c) {
                left -= at(c) == Flag;
                covered += at(c) == Covered;
            }
            if (covered == left)
                return true;
            // Frontier cells joined through the numbers they share.
            std::vector<int> root(mine.size(), -1);
            const std::function<int(int)> find = [&](int c) {
                return root[static_cast<size_t>(c)] == c ? c : root[static_cast<size_t>(c)] = find(root[static_cast<size_t>(c)]);
            };
            std::vector<std::pair<Cells, int>> rules;
            for (int c = 0; c < w * h; ++c) {
                if (at(c) != Open)
                    continue;
                Cells members;
                int need = number(c);
                for (int k : around(c)) {
                    need -= at(k) == Flag;
                    if (at(k) == Covered) {
                        root[static_cast<size_t>(k)] = root[static_cast<size_t>(k)] < 0 ? k : root[static_cast<size_t>(k)];
                        members.push_back(k);
                    }
                }
                for (int k : members)
                    root[static_cast<size_t>(find(k))] = find(members[0]);
                if (!members.empty())
                    rules.push_back({members, need});
            }
            std::map<int, Group> byRoot;
            Cells interior;
            for (int c = 0; c < w * h; ++c) {
                if (at(c) == Covered)
                    (root[static_cast<size_t>(c)] < 0 ? interior : byRoot[find(c)].cells).push_back(c);
            }
            for (auto& [members, need] : rules) {
                Group& g = byRoot[find(members[0])];
                for (int& m : members)
                    m = static_cast<int>(std::find(g.cells.begin(), g.cells.end(), m) - g.cells.begin());
                g.rules.push_back({members, need});
            }
            std::vector<Group> groups;
            for (auto& entry : byRoot) {
                entry.second.enumerate();
                groups.push_back(std::move(entry.second));
            }
            // The totals the other groups reach together, with the one given left out.
            const auto others = [&](size_t skip) {
                std::vector<char> sums(static_cast<size_t>(left) + 1);
                sums[0] = 1;
                for (size_t j = 0; j < groups.size(); ++j) {
                    std::vector<char> next(sums.size());
                    for (size_t s = 0; j != skip && s < sums.size(); ++s) {
                        for (const auto& entry : groups[j].byTotal) {
                            if (sums[s] && s + static_cast<size_t>(entry.first) < sums.size())
                                next[s + static_cast<size_t>(entry.first)] = 1;
                        }
                    }
                    if (j != skip)
                        sums.swap(next);
                }
                return sums;
            };
            const auto fits = [&](int rest) { return rest >= 0 && rest <= static_cast<int>(interior.size()); };
            Cells safe, mined;
            const auto decide = [&](int cell, bool canMine, bool canFree) {
                if (!canMine)
                    safe.push_back(cell);
                else if (!canFree)
                    mined.push_back(cell);
            };
            for (size_t j = 0; j < groups.size(); ++j) {
                const std::vector<char> sums = others(j);
                std::vector<char> canMine(groups[j].cells.size()), canFree(canMine);
                for (const auto& [k, can] : groups[j].byTotal) {
                    for (size_t s = 0; s < sums.size(); ++s) {
                        if (!sums[s] || !fits(left - k - static_cast<int>(s)))
                            continue;
                        for (size_t p = 0; p < canMine.size(); ++p) {
                            canMine[p] |= can.first[p];
                            canFree[p] |= can.second[p];
                        }
                    }
                }
                for (size_t p = 0; p < canMine.size(); ++p)
                    decide(groups[j].cells[p], canMine[p], canFree[p]);
            }
            const std::vector<char> sums = others(groups.size());
            bool interiorMine = false, interiorFree = false;
            for (size_t s = 0; s < sums.size(); ++s) {
                const int rest = left - static_cast<int>(s);
                interiorMine |= sums[s] && fits(rest) && rest > 0;
                interiorFree |= sums[s] && fits(rest) && rest < static_cast<int>(interior.size());
            }
            for (int c : interior)
                decide(c, interiorMine, interiorFree);
            if (safe.empty() && mined.empty())
                return false;
            for (int c : mined) {
                if (!mine[static_cast<size_t>(c)])
                    throw std::logic_error("flagged a free cell");
                at(c) = Flag;
            }
            for (int c : safe)
                open(c);
        }
    }
};

Game gameOf(cField& field)
{
    Game g{field.Xx(), field.Yy(), field.MTot(), {}, {}};
    for (int i = 0; i < g.w * g.h; ++i)
        g.mine.push_back(field.Cell(i)->Mine());
    return g;
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
        Game game = gameOf(field);
        QCOMPARE(std::count(game.mine.begin(), game.mine.end(), 1), mines);
        QCOMPARE(field.Cell(first)->Nr() + field.Cell(first)->Mine(), 0);
        QCOMPARE(static_cast<int>(field.FreePool().size()), w * h - mines);
        QVERIFY2(game.play(first), qPrintable(QStringLiteral("seed %1").arg(seed)));
        if (seed == 1) {
            cField again;
            again.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
            DealWithoutGuess(again, first, Ample);
            QVERIFY(gameOf(again).mine == game.mine);
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
    const Game game = gameOf(field);
    QCOMPARE(std::count(game.mine.begin(), game.mine.end(), 1), mines);
    for (int i = 0; i < w * h; ++i) {
        if (!game.mine[static_cast<size_t>(i)])
            QCOMPARE(field.Cell(i)->Nr(), game.number(i));
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
