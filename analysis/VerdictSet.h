#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The verdicts of one pass. A later verdict on the same cell replaces the earlier
// one. Kept sparse so that a pass that decides three cells of the largest board
// costs three entries, not forty thousand; the dense verdict array is built only
// for whoever asks for it.
class VerdictSet {
public:
    // Makes room for cells 0 to count - 1 and forgets every verdict.
    void reset(int count);
    void clear();
    void set(int index, int verdict);
    int at(int index) const { return m_verdict[static_cast<std::size_t>(index)]; }
    // The cells that received a verdict, in ascending order.
    const std::vector<int>& cells();
    // The verdict array: one entry per cell from 0 up to the highest cell that
    // received a verdict (a single 0 when none did).
    std::vector<int> toArray();

private:
    // A byte per cell: made afresh for every new board, so the first pass on the
    // largest one clears forty kilobytes, not a hundred and seventy.
    std::vector<std::int8_t> m_verdict;
    std::vector<int> m_cells;
    bool m_sorted = true;
};
