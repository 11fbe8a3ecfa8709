#pragma once

#include "OddsInput.h"

#include <cstdint>
#include <span>
#include <vector>

// The mines of a board being dealt, kept in plain arrays with the numbers they
// give, on the field's own neighbour lists. A number counts a mine as often as
// its cell's list names it, as the field's own count does; so changing one mine
// changes the numbers of the cells whose lists name it, which are not always the
// cells its own list names.
class MineLayout {
public:
    // Takes the neighbour lists and the mine total of a board read from a field.
    explicit MineLayout(const OddsInput& board);

    int cellCount() const { return m_lists.cellCount(); }
    int mineTotal() const { return m_lists.mineTotal; }
    // The lists and the total, with every cell covered and no number shown.
    const OddsInput& lists() const { return m_lists; }
    std::span<const int> neighbours(int cell) const { return m_lists.neighbours(cell); }
    // The cells whose lists name this one.
    std::span<const int> listedBy(int cell) const
    {
        const auto begin = static_cast<std::size_t>(m_byStart[static_cast<std::size_t>(cell)]);
        const auto end = static_cast<std::size_t>(m_byStart[static_cast<std::size_t>(cell) + 1]);
        return {m_by.data() + begin, end - begin};
    }

    bool mine(int cell) const { return m_mine[static_cast<std::size_t>(cell)] != 0; }
    // Every cell's count of mines around it, a mined cell's too; only the numbers
    // of safe cells are ever shown.
    const std::vector<std::int8_t>& numbers() const { return m_number; }

    void clear();
    // Puts a mine on a cell or takes it away, keeping every number in step.
    void setMine(int cell, bool on);
    // Takes the mine from one cell to another that has none.
    void move(int from, int to);

private:
    OddsInput m_lists;
    std::vector<int> m_byStart, m_by;
    std::vector<char> m_mine;
    std::vector<std::int8_t> m_number;
};
