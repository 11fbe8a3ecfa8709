#include "MineLayout.h"

#include "FieldCodes.h"

#include <algorithm>

namespace {
std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}
}

MineLayout::MineLayout(const OddsInput& board) : m_lists(board)
{
    const int count = cellCount();
    std::fill(m_lists.status.begin(), m_lists.status.end(), static_cast<std::int8_t>(CellStatus::Covered));
    std::fill(m_lists.number.begin(), m_lists.number.end(), std::int8_t{0});
    m_byStart.assign(at(count) + 1, 0);
    for (int n : m_lists.ngh)
        ++m_byStart[at(n) + 1];
    for (int i = 0; i < count; ++i)
        m_byStart[at(i) + 1] += m_byStart[at(i)];
    m_by.resize(m_lists.ngh.size());
    std::vector<int> fill(m_byStart.begin(), m_byStart.end() - 1);
    for (int i = 0; i < count; ++i) {
        for (int n : neighbours(i))
            m_by[at(fill[at(n)]++)] = i;
    }
    m_mine.assign(at(count), 0);
    m_number.assign(at(count), 0);
}

void MineLayout::clear()
{
    std::fill(m_mine.begin(), m_mine.end(), char{0});
    std::fill(m_number.begin(), m_number.end(), std::int8_t{0});
}

void MineLayout::setMine(int cell, bool on)
{
    if (mine(cell) == on)
        return;
    m_mine[at(cell)] = on ? 1 : 0;
    const int delta = on ? 1 : -1;
    for (int n : listedBy(cell))
        m_number[at(n)] = static_cast<std::int8_t>(m_number[at(n)] + delta);
}

void MineLayout::move(int from, int to)
{
    setMine(from, false);
    setMine(to, true);
}
