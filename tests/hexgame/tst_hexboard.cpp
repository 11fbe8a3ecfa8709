#include "HexBoard.h"
#include "HexCodes.h"

#include <QList>
#include <QTest>

#include <map>
#include <random>
#include <set>
#include <stdexcept>

using Cells = std::set<HexCell>;

namespace {
// The six neighbours of a cell on the staggered grid, off-board ones dropped:
// written out here on its own, so that a slip in the board's rule shows.
Cells neighbours(int x, int y, int cols, int rows)
{
    const int side = y % 2 == 0 ? x + 1 : x - 1;
    Cells out;
    for (const HexCell& c : {HexCell{x - 1, y}, HexCell{x + 1, y}, HexCell{x, y - 1}, HexCell{x, y + 1},
                             HexCell{side, y - 1}, HexCell{side, y + 1}}) {
        if (c.x >= 0 && c.x < cols && c.y >= 0 && c.y < rows)
            out.insert(c);
    }
    return out;
}

// A board whose drawings are kept, so that a test sees whether every change of
// a cell reached the picture.
struct DrawnBoard {
    std::map<HexCell, int> drawn;
    HexBoard board{[this](int x, int y, int sprite) { drawn[{x, y}] = sprite; }};

    bool pictureFollows() const
    {
        for (int x = 0; x < board.cols(); ++x)
            for (int y = 0; y < board.rows(); ++y)
                if (drawn.count({x, y}) == 0 || drawn.at({x, y}) != board.shown(x, y))
                    return false;
        return true;
    }
    Cells showing(int sprite) const
    {
        Cells out;
        for (int x = 0; x < board.cols(); ++x)
            for (int y = 0; y < board.rows(); ++y)
                if (board.shown(x, y) == sprite)
                    out.insert({x, y});
        return out;
    }
};

// Deals the given mines by handing the deal the draws that land on them.
void dealAt(HexBoard& board, int cols, int rows, const Cells& mines)
{
    QList<float> draws;
    for (const HexCell& m : mines)
        draws << (float(m.x) + 0.5f) / float(cols) << (float(m.y) + 0.5f) / float(rows);
    board.deal(cols, rows, int(mines.size()), [&draws] { return draws.takeFirst(); });
}
}

class HexBoardTest : public QObject {
    Q_OBJECT
private slots:
    void neighbours_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("top-left, even row") << 0 << 0;
        QTest::newRow("top-right, even row") << 7 << 0;
        QTest::newRow("left, odd row") << 0 << 1;
        QTest::newRow("right, odd row") << 7 << 1;
        QTest::newRow("inside, odd row") << 3 << 3;
        QTest::newRow("inside, even row") << 3 << 4;
        QTest::newRow("right, even row") << 7 << 4;
        QTest::newRow("bottom-left, odd row") << 0 << 7;
        QTest::newRow("bottom-right, odd row") << 7 << 7;
    }
    // An empty cell among numbers opens itself and exactly its neighbours.
    void neighbours()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        DrawnBoard b;
        b.board.deal(8, 8, 0, [] { return 0.0f; });
        for (int cx = 0; cx < 8; ++cx)
            for (int cy = 0; cy < 8; ++cy)
                b.board.values()[size_t(cx)][size_t(cy)] = (cx == x && cy == y) ? 0 : 1;
        QVERIFY(!b.board.open(x, y));
        Cells expected = ::neighbours(x, y, 8, 8);
        expected.insert({x, y});
        Cells opened;
        for (const HexCell& c : expected)
            if (b.board.shown(c.x, c.y) != Sprite::Covered)
                opened.insert(c);
        QCOMPARE(opened, expected);
        QCOMPARE(b.showing(Sprite::Covered).size(), size_t(64) - expected.size());
        QCOMPARE(int(b.board.SafeLeft), 64 - int(expected.size()));
        QVERIFY(b.pictureFollows());
    }

    // Dealt boards: the mine count, and every number counts its hex neighbours.
    void dealtBoards_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("beginner") << 0;
        QTest::newRow("intermediate") << 1;
        QTest::newRow("professional") << 2;
    }
    void dealtBoards()
    {
        QFETCH(int, level);
        const LevelSize size = Levels[size_t(level)];
        std::mt19937 engine(20261208u + unsigned(level));
        const auto draw = [&engine] { return float(engine() >> 8) / 16777216.0f; };
        DrawnBoard b;
        for (int round = 0; round < 20; ++round) {
            b.board.deal(size.cols, size.rows, size.mines, draw);
            QVERIFY(b.pictureFollows());
            QCOMPARE(b.showing(Sprite::Covered).size(), size_t(size.cols * size.rows));
            int mines = 0;
            for (int x = 0; x < size.cols; ++x) {
                for (int y = 0; y < size.rows; ++y) {
                    if (b.board.value(x, y) == MineValue) {
                        ++mines;
                        continue;
                    }
                    int around = 0;
                    for (const HexCell& n : ::neighbours(x, y, size.cols, size.rows))
                        around += b.board.value(n.x, n.y) == MineValue;
                    QCOMPARE(int(b.board.value(x, y)), around);
                }
            }
            QCOMPARE(mines, int(size.mines));
            QCOMPARE(int(b.board.SafeLeft), size.cols * size.rows - size.mines);
            QCOMPARE(int(b.board.MinesLeft), int(size.mines));
            QVERIFY(b.board.Playing);
        }
        // Past the last row a place must not reach into the next column.
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, b.board.values()[0][size_t(size.rows)]);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, b.board.shownSprites()[size_t(size.cols)][0]);
    }

    // A seed deals the board players know from it: per mine a column draw, then
    // a row draw, each rounded down, again while they hit a mine.
    void dealFollowsTheDraws()
    {
        QList<float> draws = {0.99f, 0.0f, 0.999f, 0.1f, 0.5f, 0.5f};
        HexBoard board;
        board.deal(8, 8, 2, [&draws] { return draws.takeFirst(); });
        QVERIFY(draws.isEmpty());
        Cells mines;
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                if (board.value(x, y) == MineValue)
                    mines.insert({x, y});
        QCOMPARE(mines, (Cells{{7, 0}, {4, 4}}));
    }

    // The flood opens the empty region and its rim and stops at flags; a flag
    // on a safe cell holds the win back until it is taken off; the win flags
    // every covered mine.
    void floodFlagsAndWin()
    {
        DrawnBoard b;
        HexBoard& board = b.board;
        dealAt(board, 8, 8, {{7, 0}, {7, 7}});
        board.toggleFlag(0, 5);   // a flag on a safe cell
        QCOMPARE(int(board.MinesLeft), 1);
        QVERIFY(!board.open(0, 5));
        QCOMPARE(board.shown(0, 5), Sprite::Flagged);
        QVERIFY(!board.open(0, 0));
        QCOMPARE(b.showing(Sprite::Flagged), (Cells{{0, 5}}));
        QCOMPARE(b.showing(Sprite::Covered), (Cells{{7, 0}, {7, 7}}));
        QCOMPARE(int(board.SafeLeft), 1);
        QVERIFY(!board.allSafeOpen());
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                if (board.shown(x, y) < Sprite::Covered)
                    QCOMPARE(int(board.shown(x, y)), int(board.value(x, y)));
        const qint16 opened = board.shown(2, 2);
        board.toggleFlag(2, 2);   // an opened cell takes no flag
        QCOMPARE(board.shown(2, 2), opened);
        board.toggleFlag(0, 5);
        QCOMPARE(int(board.MinesLeft), 2);
        QVERIFY(!board.open(0, 5));
        QVERIFY(board.allSafeOpen());
        board.win();
        QCOMPARE(b.showing(Sprite::Flagged), (Cells{{7, 0}, {7, 7}}));
        QCOMPARE(int(board.MinesLeft), 0);
        QVERIFY(!board.Playing && !board.allSafeOpen());
        QVERIFY(b.pictureFollows());
    }

    // Opening a mine loses: flags on mines stay, flags on safe cells show a
    // cross, the other mines appear, the one opened shows on red, covered safe
    // cells stay covered.
    void loss()
    {
        DrawnBoard b;
        HexBoard& board = b.board;
        dealAt(board, 8, 8, {{0, 0}, {4, 4}, {7, 7}});
        board.toggleFlag(0, 0);
        board.toggleFlag(2, 6);
        QVERIFY(board.open(4, 4));
        QVERIFY(!board.Playing);
        QCOMPARE(b.showing(Sprite::Exploded), (Cells{{4, 4}}));
        QCOMPARE(b.showing(Sprite::Flagged), (Cells{{0, 0}}));
        QCOMPARE(b.showing(Sprite::WrongFlag), (Cells{{2, 6}}));
        QCOMPARE(b.showing(Sprite::Mine), (Cells{{7, 7}}));
        QCOMPARE(b.showing(Sprite::Covered).size(), size_t(64 - 4));
        QVERIFY(b.pictureFollows());
    }
};

QTEST_GUILESS_MAIN(HexBoardTest)
#include "tst_hexboard.moc"
