#include "BoardView.h"

#include "FieldCodes.h"
#include "RuntimeError.h"
#include "cField.h"

#include <algorithm>

namespace {
constexpr std::size_t MaxNgh = 8;
}

void BoardView::bindGrid(const cField& field)
{
    const int w = field.Xx(), count = field.cellCount(), h = count / w;
    const auto room = static_cast<std::size_t>(count);
    m_status.resize(room);
    m_nr.resize(room);
    m_nghStart.resize(room + 1);
    m_ngh.resize(room * MaxNgh);
    // Only each cell's status and number are read; the cells lie wherever the
    // allocator put them, so they are asked for a few steps ahead.
    constexpr int Ahead = 16;
    for (int i = 0; i < count; ++i) {
        if (i + Ahead < count)
            __builtin_prefetch(field.Cell(i + Ahead));
        const cCell* cell = field.Cell(i);
        const int status = cell->Status();
        m_status[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(status);
        m_nr[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(cell->Nr());
        m_sum += status;
    }
    // The lists as SetNgh makes them, in its order.
    std::size_t used = 0;
    m_nghStart[0] = 0;
    int* out = m_ngh.data();
    for (int y = 0, i = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x, ++i) {
            if (x > 0 && x < w - 1 && y > 0 && y < h - 1) {
                int* list = out + used;
                list[0] = i - w - 1;
                list[1] = i - w;
                list[2] = i - w + 1;
                list[3] = i - 1;
                list[4] = i + 1;
                list[5] = i + w - 1;
                list[6] = i + w;
                list[7] = i + w + 1;
                used += MaxNgh;
            } else {
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        if ((dx || dy) && x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h)
                            out[used++] = i + dy * w + dx;
                    }
                }
            }
            m_nghStart[static_cast<std::size_t>(i) + 1] = static_cast<int>(used);
        }
    }
    m_ngh.resize(used);
    m_count = count;
    m_width = w;
    m_grid = true;
    m_rebound = true;
}

void BoardView::bind(const cField& field)
{
    m_changes.clear();
    m_sum = 0;
    // A board as a reset leaves it needs only its statuses and numbers read.
    if (field.standardNeighbours() && field.Xx() > 0 && field.cellCount() % field.Xx() == 0) {
        bindGrid(field);
        return;
    }
    // Sized once and written in place: the arrays keep their room from one
    // command to the next, so reading the largest board allocates nothing.
    const auto room = static_cast<std::size_t>(field.cellCount());
    m_status.resize(room);
    m_nr.resize(room);
    m_nghStart.resize(room + 1);
    m_ngh.resize(room * MaxNgh);
    m_nghStart[0] = 0;
    std::size_t count = 0, used = 0;
    // Cells and their neighbour lists lie wherever the allocator put them. Asking
    // for the cells a few steps ahead, and for the lists of those nearer, lets the
    // memory fetch them side by side instead of one after the other.
    constexpr int CellsAhead = 16, ListsAhead = 8;
    const int last = static_cast<int>(room) - 1;
    for (int i = 0; i < CellsAhead && i <= last; ++i)
        __builtin_prefetch(field.Cell(i));
    for (;; ++count) {
        const int ahead = static_cast<int>(count) + CellsAhead;
        if (ahead <= last)
            __builtin_prefetch(field.Cell(ahead));
        if (static_cast<int>(count) + ListsAhead <= last)
            __builtin_prefetch(field.Cell(static_cast<int>(count) + ListsAhead)->Ngh().data());
        const cCell* cell = field.Cell(static_cast<int>(count));
        if (!cell)
            break;
        const auto& ngh = cell->Ngh();
        // The pair deduction numbers the cells around two numbers with the bits of
        // one integer; that only works because a cell has at most eight neighbours.
        if (ngh.size() > MaxNgh)
            throw subscriptOutOfRange();
        const int status = cell->Status();
        m_status[count] = static_cast<std::int8_t>(status);
        m_nr[count] = static_cast<std::int8_t>(cell->Nr());
        std::copy(ngh.begin(), ngh.end(), m_ngh.begin() + static_cast<std::ptrdiff_t>(used));
        used += ngh.size();
        m_nghStart[count + 1] = static_cast<int>(used);
        m_sum += status;
    }
    m_status.resize(count);
    m_nr.resize(count);
    m_nghStart.resize(count + 1);
    m_ngh.resize(used);
    m_count = static_cast<int>(m_status.size());
    for (int n : m_ngh) {
        if (n < 0)
            throw subscriptOutOfRange();
        if (n >= m_count)
            throw objectNotSet();
    }
    m_rebound = true;

    m_width = field.Xx();
    m_grid = m_width > 0 && m_count % m_width == 0;
    const int w = m_width, h = m_grid ? m_count / w : 0;
    for (int i = 0; m_grid && i < m_count; ++i) {
        const int x = i % w, y = i / w;
        // Inside the border a grid cell's list is always the same eight offsets.
        if (x > 0 && x < w - 1 && y > 0 && y < h - 1) {
            const int* list = m_ngh.data() + m_nghStart[static_cast<std::size_t>(i)];
            m_grid = m_nghStart[static_cast<std::size_t>(i) + 1] - m_nghStart[static_cast<std::size_t>(i)] == 8
                && list[0] == i - w - 1 && list[1] == i - w && list[2] == i - w + 1 && list[3] == i - 1
                && list[4] == i + 1 && list[5] == i + w - 1 && list[6] == i + w && list[7] == i + w + 1;
        } else {
            m_grid = gridNeighbours(i, ngh(i));
        }
    }
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

void BoardView::refresh(const cField& field)
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

void BoardView::follow(const cField& field, const std::vector<int>& cells)
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

void BoardView::unbind()
{
    m_count = 0;
    m_width = 0;
    m_sum = 0;
    m_grid = false;
    m_rebound = false;
    m_status.clear();
    m_nr.clear();
    m_nghStart.clear();
    m_ngh.clear();
    m_changes.clear();
}
