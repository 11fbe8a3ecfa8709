#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A group of covered cells whose mines the numbers tie together, none of them
// decided by a single number: the unit that is counted in full. Cells are
// numbered 0..size-1 here, in ascending order of their board index; each number
// becomes a constraint on them: its cells (with the times its neighbour list
// names each, which is once on every board the game builds) must hold exactly
// its still missing mines.
struct OddsComponent {
    std::vector<int> cells;        // board index of each cell, ascending
    std::vector<int> need;         // per constraint: mines still missing
    std::vector<int> start;        // constraint c's cells are member[start[c] .. start[c + 1])
    std::vector<int> member;       // local cell, ascending within a constraint
    std::vector<int> weight;       // times the constraint counts that cell
    std::uint64_t key = 0;         // hash of the content, for finding it again

    int size() const { return static_cast<int>(cells.size()); }
    int constraints() const { return static_cast<int>(need.size()); }
    std::span<const int> membersOf(int c) const { return range(member, c); }
    std::span<const int> weightsOf(int c) const { return range(weight, c); }
    // Same cells and constraints: the counting of one serves the other.
    bool sameContent(const OddsComponent& other) const
    {
        return cells == other.cells && need == other.need && start == other.start && member == other.member
            && weight == other.weight;
    }

private:
    std::span<const int> range(const std::vector<int>& v, int c) const
    {
        const auto b = static_cast<std::size_t>(start[static_cast<std::size_t>(c)]);
        const auto e = static_cast<std::size_t>(start[static_cast<std::size_t>(c) + 1]);
        return {v.data() + b, e - b};
    }
};
