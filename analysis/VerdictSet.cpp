#include "VerdictSet.h"

#include "Verdicts.h"

#include <algorithm>

void VerdictSet::reset(int count)
{
    m_verdict.assign(static_cast<size_t>(count), Verdicts::None);
    m_cells.clear();
    m_sorted = true;
}

void VerdictSet::clear()
{
    for (int index : m_cells)
        m_verdict[static_cast<size_t>(index)] = Verdicts::None;
    m_cells.clear();
    m_sorted = true;
}

void VerdictSet::set(int index, int verdict)
{
    if (verdict == Verdicts::None)
        return;
    auto& slot = m_verdict[static_cast<size_t>(index)];
    if (slot == Verdicts::None) {
        m_sorted = m_sorted && (m_cells.empty() || m_cells.back() < index);
        m_cells.push_back(index);
    }
    slot = static_cast<std::int8_t>(verdict);
}

const std::vector<int>& VerdictSet::cells()
{
    if (!m_sorted) {
        // A pass that decides thousands of cells is put in order faster by reading
        // the whole verdict array once than by sorting them.
        if (m_cells.size() * 16 > m_verdict.size()) {
            m_cells.clear();
            for (std::size_t i = 0; i < m_verdict.size(); ++i) {
                if (m_verdict[i] != Verdicts::None)
                    m_cells.push_back(static_cast<int>(i));
            }
        } else {
            std::sort(m_cells.begin(), m_cells.end());
        }
        m_sorted = true;
    }
    return m_cells;
}

std::vector<int> VerdictSet::toArray()
{
    const std::vector<int>& decided = cells();
    std::vector<int> array(decided.empty() ? 1 : static_cast<size_t>(decided.back()) + 1, Verdicts::None);
    for (int index : decided)
        array[static_cast<size_t>(index)] = m_verdict[static_cast<size_t>(index)];
    return array;
}
