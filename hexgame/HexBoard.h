#pragma once

#include "HexCodes.h"

#include <QtGlobal>

#include <array>
#include <compare>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

// A cell's place: column x from the left, row y from the top.
struct HexCell {
    int x = 0;
    int y = 0;
    friend auto operator<=>(const HexCell&, const HexCell&) = default;
};

class HexBoard;

// One layer of the board (its values or what its cells show) indexed as
// grid[column][row]. It is a view: it follows the board through every deal,
// whatever size that gives, and a place off the board throws std::out_of_range.
class CellGrid {
public:
    using Layer = std::vector<qint16> HexBoard::*;

    class Column {
    public:
        qint16& operator[](std::size_t row) const;

    private:
        friend class CellGrid;
        Column(HexBoard* board, Layer layer, std::size_t column) : m_board(board), m_layer(layer), m_column(column) {}
        HexBoard* m_board;
        Layer m_layer;
        std::size_t m_column;
    };

    Column operator[](std::size_t column) const { return Column(m_board, m_layer, column); }

private:
    friend class HexBoard;
    CellGrid(HexBoard& board, Layer layer) : m_board(&board), m_layer(layer) {}
    HexBoard* m_board;
    Layer m_layer;
};

// The hex game's board and rules, without a window: the cells' values and what
// each shows, the deal, the neighbour rule, opening with its flood, flags, and
// the end of a game. Every change of what a cell shows goes to the drawing
// function in the order the rules make it; sprites overlap their neighbours, so
// that order is part of the picture.
class HexBoard {
public:
    using DrawSprite = std::function<void(int x, int y, int sprite)>;
    // A uniform draw in [0, 1).
    using Draw = std::function<float()>;

    explicit HexBoard(DrawSprite drawSprite = {}) : m_drawSprite(std::move(drawSprite)) {}

    bool Playing = false;
    qint16 SafeLeft = 0;    // cells without a mine still to open; 0 wins
    qint16 MinesLeft = 0;   // mines less flags, below 0 with more flags than mines

    int cols() const { return m_cols; }
    int rows() const { return m_rows; }
    bool contains(int x, int y) const { return x >= 0 && x < m_cols && y >= 0 && y < m_rows; }
    // The cell's value and sprite; (x, y) must be on the board.
    qint16 value(int x, int y) const { return m_value[index(x, y)]; }
    qint16 shown(int x, int y) const { return m_shown[index(x, y)]; }
    CellGrid values() { return CellGrid(*this, &HexBoard::m_value); }
    CellGrid shownSprites() { return CellGrid(*this, &HexBoard::m_shown); }

    // The places around (x, y), in the order the deal counts them and the flood
    // opens them; those off the board are among them.
    static std::array<HexCell, 6> neighbours(int x, int y);

    // A new game: every cell covered and redrawn, then the mines placed one by
    // one, each at the first free cell that a column draw and a row draw hit.
    // The sides are held within 0..Board::MaxSide, and the mines leave a cell free.
    void deal(int cols, int rows, int mines, const Draw& draw);
    // Counts one more mine beside (x, y), unless (x, y) is off the board or a mine itself.
    void bumpCount(int x, int y);
    // Opens a covered cell, and around an empty one the neighbours in turn.
    // True when a mine went off: the game is lost.
    bool open(int x, int y);
    // Covered and flagged swap; any other cell stays as it is.
    void toggleFlag(int x, int y);
    // Unflagged mines appear and flags on safe cells show a cross.
    void lose();
    // The covered mines take flags.
    void win();
    // The last safe cell of a game in play is open.
    bool allSafeOpen() const { return Playing && SafeLeft == 0; }
    // Records the sprite at (x, y) and draws it; a place off the board is passed over.
    void show(int x, int y, int sprite);

private:
    friend class CellGrid;
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(x) * static_cast<std::size_t>(m_rows) + static_cast<std::size_t>(y);
    }

    int m_cols = 0;
    int m_rows = 0;
    std::vector<qint16> m_value;   // [column * rows + row]: 0..6 neighbouring mines, or MineValue
    std::vector<qint16> m_shown;   // the same places: the sprite last drawn
    DrawSprite m_drawSprite;
};
