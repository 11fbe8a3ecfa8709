#include "BoardView.h"

#include "FieldCodes.h"
#include "RuntimeError.h"
#include "cField.h"

namespace {
constexpr std::size_t MaxNgh = 8;
}

void BoardView::bind(cField& field)
{
    m_status.clear();
    m_nr.clear();
    m_nghStart.assign(1, 0);
    m_ngh.clear();
    m_changes.clear();
    m_sum = 0;
    for (int i = 0;; ++i) {
        const cCell* cell = field.Cell(i);
        if (!cell)
            break;
        const auto& ngh = cell->Ngh();
        // The pair deduction numbers the cells around two numbers with the bits of
        // one integer; that only works because a cell has at most eight neighbours.
        if (ngh.size() > MaxNgh)
            throw subscriptOutOfRange();
        m_status.push_back(static_cast<std::int8_t>(cell->Status()));
        m_nr.push_back(static_cast<std::int8_t>(cell->Nr()));
        m_ngh.insert(m_ngh.end(), ngh.begin(), ngh.end());
        m_nghStart.push_back(static_cast<int>(m_ngh.size()));
        m_sum += cell->Status();
    }
    m_count = static_cast<int>(m_status.size());
    for (int n : m_ngh) {
        if (n < 0)
            throw subscriptOutOfRange();
        if (n >= m_count)
            throw RuntimeError(91, "Object variable or With block variable not set");
    }
    m_rebound = true;

    m_width = field.Xx();
    m_grid = m_width > 0 && m_count % m_width == 0;
    for (int i = 0; m_grid && i < m_count; ++i)
        m_grid = gridNeighbours(i, ngh(i));
}

bool BoardView::gridNeighbours(int index, std::span<const int> list) const
{
    const int w = m_width, h = m_count / m_width;
    const int x = index % w, y = index / w;
    int expected[MaxNgh];
    std::size_t n = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if ((dx || dy) && x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h)
                expected[n++] = index + dy * w + dx;
        }
    }
    if (list.size() != n)
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        if (list[k] != expected[k])
            return false;
    }
    return true;
}

bool BoardView::note(int index, int status)
{
    auto& seen = m_status[static_cast<std::size_t>(index)];
    if (seen == status)
        return false;
    m_sum += status - seen;
    seen = static_cast<std::int8_t>(status);
    m_changes.push_back(index);
    return true;
}

void BoardView::refresh(cField& field)
{
    // A board rebuilt under a running command (a new size) is read again from scratch.
    if (m_count == 0 || field.Cell(m_count) || !field.Cell(m_count - 1)) {
        bind(field);
        return;
    }
    for (int i = 0; i < m_count; ++i) {
        const int status = field.Cell(i)->Status();
        if (status != m_status[static_cast<std::size_t>(i)])
            note(i, status);
    }
}

void BoardView::follow(cField& field, const std::vector<int>& cells)
{
    // A cell may be recorded several times; only its status now matters.
    for (int index : cells) {
        if (index >= 0 && index < m_count)
            note(index, field.Cell(index)->Status());
    }
}

void BoardView::clearChanges()
{
    m_changes.clear();
    m_rebound = false;
}
