#pragma once

#include "GridNeighbours.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class cField;

// The board as the player sees it, in flat arrays of a byte per cell, copied from
// the bytes the field keeps. Numbers and neighbour lists do not change while a
// command runs, so they are read once; on a grid the lists are not kept at all
// but worked out from a cell's place, so that the first command on a new board
// need not write a megabyte and a half of them. Statuses are
// either read again in full or only where the field recorded a change, whoever
// made it (the engine's own moves, a receiver of the field's events or of the
// trace), so after a pass the other forty thousand cells need not be read. The
// cells whose status moved are collected until the deductions built on the view
// have caught up with them.
class BoardView {
public:
    // Reads the whole board afresh.
    void bind(const cField& field);
    // Reads every status again, collecting the cells that changed; a board that
    // was rebuilt meanwhile (a new size) is bound again.
    void refresh(const cField& field);
    // Reads again the cells the field recorded as changed.
    void follow(const cField& field, const std::vector<int>& cells);

    bool bound() const { return m_count > 0; }
    int count() const { return m_count; }
    int status(int index) const { return m_status[static_cast<std::size_t>(index)]; }
    int nr(int index) const { return m_nr[static_cast<std::size_t>(index)]; }
    // Calls visit with each of a cell's neighbours, in the order of its list.
    template <typename Visit>
    void forEachNgh(int index, Visit&& visit) const
    {
        if (!m_grid) {
            const auto begin = static_cast<std::size_t>(m_nghStart[static_cast<std::size_t>(index)]);
            const auto end = static_cast<std::size_t>(m_nghStart[static_cast<std::size_t>(index) + 1]);
            for (std::size_t k = begin; k < end; ++k)
                visit(m_ngh[k]);
            return;
        }
        const int y = row(index), x = index - y * m_width;
        const unsigned onBoard = GridNeighbours::slotMask(x, y, m_width, m_height);
        // Most cells lie away from the border, where every slot is on the board.
        if (onBoard == GridNeighbours::AllSlots) {
            for (const int offset : m_offset)
                visit(index + offset);
            return;
        }
        for (int k = 0; k < GridNeighbours::Slots; ++k) {
            if (onBoard & (1u << k))
                visit(index + m_offset[static_cast<std::size_t>(k)]);
        }
    }
    int statusSum() const { return m_sum; }

    // Cells whose status changed since the last clearChanges().
    const std::vector<int>& changes() const { return m_changes; }
    // True when the board was read in full by bind() since the last clearChanges():
    // whatever was learnt about it before is void.
    bool rebound() const { return m_rebound; }
    void clearChanges();
    // Forgets the board but keeps the room it took.
    void unbind();

    // True when the neighbour lists are those of a rectangular grid of width()
    // columns, so that "near a cell" can be taken as a square around it. Boards
    // built by hand with other lists still work; they just learn nothing between
    // passes, and keep their lists.
    bool isGrid() const { return m_grid; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // A grid cell's row and column. The neighbours of every cell a pass looks at
    // are worked out from these, so they are found by multiplying with the width's
    // reciprocal instead of dividing by it.
    int row(int index) const
    {
        return static_cast<int>((static_cast<std::uint64_t>(index) * m_rowScale) >> RowScaleBits);
    }
    int column(int index) const { return index - row(index) * m_width; }
    // True for a cell of a grid that lies away from its border.
    bool inside(int index) const
    {
        const int y = row(index), x = index - y * m_width;
        return x > 0 && x < m_width - 1 && y > 0 && y < m_height - 1;
    }

private:
    static constexpr int RowScaleBits = 32;

    // Takes the board's shape as that of a grid of width columns, or of none.
    void setShape(int width, bool grid);
    void bindGrid(const cField& field);
    bool gridNeighbours(int index, std::span<const int> ngh) const;
    std::span<const int> storedNgh(int index) const;
    // Stores a status read from the field; true when it differs from the last one.
    bool note(int index, int status);

    int m_count = 0;
    int m_width = 0;
    int m_height = 0;
    std::uint64_t m_rowScale = 0;  // 2^32 / width, rounded up
    // On a grid, how far each slot of a cell's list lies from the cell.
    std::array<int, GridNeighbours::Slots> m_offset{};
    int m_sum = 0;
    bool m_grid = false;
    bool m_rebound = false;
    std::vector<std::int8_t> m_status;
    std::vector<std::int8_t> m_nr;
    // The lists of a board that is no grid; empty for a grid.
    std::vector<int> m_nghStart;
    std::vector<int> m_ngh;
    std::vector<int> m_changes;
};
