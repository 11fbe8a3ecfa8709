#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class cField;

// What the player sees of a board, copied into plain arrays: the snapshot the
// exact analysis works on. It is taken on the field's thread, cheaply, and owns
// everything it holds, so the analysis can run on any other thread while the
// game goes on. The numbers of covered cells are never copied: the analysis must
// not see more than the player.
struct OddsInput {
    int mineTotal = 0;                 // the field's MTot
    std::vector<std::int8_t> status;   // per cell, a CellStatus code
    std::vector<std::int8_t> number;   // per cell: the number an opened cell shows, 0 for any other
    std::vector<int> nghStart;         // cell i's neighbours are ngh[nghStart[i] .. nghStart[i + 1])
    std::vector<int> ngh;              // neighbour indices, each list in the field's own order

    int cellCount() const { return static_cast<int>(status.size()); }
    std::span<const int> neighbours(int cell) const
    {
        const auto begin = static_cast<std::size_t>(nghStart[static_cast<std::size_t>(cell)]);
        const auto end = static_cast<std::size_t>(nghStart[static_cast<std::size_t>(cell) + 1]);
        return {ngh.data() + begin, end - begin};
    }

    // Takes the whole board. A neighbour index outside the board is left out:
    // the player sees no cell there.
    static OddsInput read(const cField& field);
    // Takes the statuses, numbers and mine total again, for a board whose size and
    // neighbour lists have not changed since it was read (a command making its
    // moves); any other board is read in full.
    void refresh(const cField& field);
};
