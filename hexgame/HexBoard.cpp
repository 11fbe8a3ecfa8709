#include "HexBoard.h"

#include <algorithm>
#include <stdexcept>

qint16& CellGrid::Column::operator[](std::size_t row) const
{
    HexBoard& board = *m_board;
    if (m_column >= static_cast<std::size_t>(board.cols()) || row >= static_cast<std::size_t>(board.rows()))
        throw std::out_of_range("cell off the board");
    return (board.*m_layer)[board.index(static_cast<int>(m_column), static_cast<int>(row))];
}

std::array<HexCell, 6> HexBoard::neighbours(int x, int y)
{
    // Even rows sit half a cell further right, so their diagonal neighbours
    // above and below lean right; an odd row's lean left.
    const int side = y % 2 == 0 ? x + 1 : x - 1;
    return {{{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}, {side, y - 1}, {side, y + 1}}};
}

void HexBoard::show(int x, int y, int sprite)
{
    if (!contains(x, y))
        return;
    m_shown[index(x, y)] = static_cast<qint16>(sprite);
    if (m_drawSprite)
        m_drawSprite(x, y, sprite);
}

void HexBoard::bumpCount(int x, int y)
{
    if (!contains(x, y))
        return;
    qint16& count = m_value[index(x, y)];
    if (count != MineValue)
        ++count;
}

void HexBoard::deal(int cols, int rows, int mines, const Draw& draw)
{
    m_cols = std::clamp(cols, 0, Board::MaxSide);
    m_rows = std::clamp(rows, 0, Board::MaxSide);
    const auto cells = static_cast<std::size_t>(m_cols) * static_cast<std::size_t>(m_rows);
    m_value.assign(cells, 0);
    m_shown.assign(cells, Sprite::Covered);
    for (int y = 0; y < m_rows; ++y)
        for (int x = 0; x < m_cols; ++x)
            show(x, y, Sprite::Covered);

    // A board full of mines would leave the retry below nowhere to go.
    const int placed = std::clamp(mines, 0, std::max(m_cols * m_rows - 1, 0));
    // A draw is below 1, so its product stays on the board; the clamp only
    // guards against a source that breaks that.
    auto pick = [&draw](int side) {
        return std::clamp(static_cast<int>(draw() * static_cast<float>(side)), 0, side - 1);
    };
    for (int m = 0; m < placed; ++m) {
        int x = 0;
        int y = 0;
        do {
            // Column first, then row: the same seed deals the same board.
            x = pick(m_cols);
            y = pick(m_rows);
        } while (value(x, y) == MineValue);
        m_value[index(x, y)] = MineValue;
        for (const HexCell& next : neighbours(x, y))
            bumpCount(next.x, next.y);
    }
    SafeLeft = static_cast<qint16>(m_cols * m_rows - placed);
    MinesLeft = static_cast<qint16>(placed);
    Playing = true;
}

bool HexBoard::open(int x, int y)
{
    if (!contains(x, y) || shown(x, y) != Sprite::Covered)
        return false;
    const qint16 count = value(x, y);
    if (count == MineValue) {
        lose();
        show(x, y, Sprite::Exploded);
        return true;
    }
    --SafeLeft;
    show(x, y, Sprite::Open + count);
    if (count != 0)
        return false;
    // Flags act as walls: a flagged cell is not covered, so the flood stops there.
    bool exploded = false;
    for (const HexCell& next : neighbours(x, y))
        exploded = open(next.x, next.y) || exploded;
    return exploded;
}

void HexBoard::toggleFlag(int x, int y)
{
    if (!contains(x, y))
        return;
    if (shown(x, y) == Sprite::Covered) {
        show(x, y, Sprite::Flagged);
        --MinesLeft;
    } else if (shown(x, y) == Sprite::Flagged) {
        show(x, y, Sprite::Covered);
        ++MinesLeft;
    }
}

void HexBoard::lose()
{
    for (int y = 0; y < m_rows; ++y) {
        for (int x = 0; x < m_cols; ++x) {
            const bool mine = value(x, y) == MineValue;
            const bool flagged = shown(x, y) == Sprite::Flagged;
            if (mine && !flagged)
                show(x, y, Sprite::Mine);
            else if (flagged && !mine)
                show(x, y, Sprite::WrongFlag);
        }
    }
    Playing = false;
}

void HexBoard::win()
{
    for (int y = 0; y < m_rows; ++y) {
        for (int x = 0; x < m_cols; ++x) {
            if (shown(x, y) == Sprite::Covered && value(x, y) == MineValue)
                show(x, y, Sprite::Flagged);
        }
    }
    MinesLeft = 0;
    Playing = false;
}
