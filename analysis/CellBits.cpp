#include "CellBits.h"

#include <bit>

void CellBits::assign(int count, bool value)
{
    m_count = count;
    m_words.assign((static_cast<std::size_t>(count) + 63) / 64, value ? ~std::uint64_t{0} : 0);
    // Bits past the last cell stay clear, so that next() never reports them.
    if (value && count % 64)
        m_words.back() = (std::uint64_t{1} << (count % 64)) - 1;
}

int CellBits::next(int from) const
{
    if (from >= m_count)
        return -1;
    std::size_t w = word(from);
    std::uint64_t bits = m_words[w] & (~std::uint64_t{0} << bit(from));
    while (!bits) {
        if (++w == m_words.size())
            return -1;
        bits = m_words[w];
    }
    return static_cast<int>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
}
