#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One bit per cell, with a fast walk to the next set bit: a pass over the largest
// board then costs in proportion to the cells it has to look at, not to the board.
class CellBits {
public:
    void assign(int count, bool value);
    bool test(int index) const { return (m_words[word(index)] >> bit(index)) & 1u; }
    void set(int index) { m_words[word(index)] |= std::uint64_t{1} << bit(index); }
    void reset(int index) { m_words[word(index)] &= ~(std::uint64_t{1} << bit(index)); }
    // The first set bit at or after from, or -1 when there is none.
    int next(int from) const;

private:
    static std::size_t word(int index) { return static_cast<std::size_t>(index) >> 6; }
    static unsigned bit(int index) { return static_cast<unsigned>(index) & 63u; }

    int m_count = 0;
    std::vector<std::uint64_t> m_words;
};
