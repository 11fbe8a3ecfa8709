#include "BoardView.h"

#include "FieldCodes.h"
#include "RuntimeError.h"
#include "cField.h"

#include <algorithm>

namespace {
constexpr std::size_t MaxNgh = GridNeighbours::Slots;
// Multiplying by 2^32 / w rounded up and dropping 32 bits gives index / w exactly
// for every width up to 255 and every index below 2^16, which every board keeps to.
static_assert(cField::MaxXx <= 255 && cField::MaxXx * cField::MaxYy < (1 << 16));
}

void BoardView::setShape(int width, bool grid)
{
    m_grid = grid;
    m_width = width;
    m_height = grid ? m_count / width : 0;
    m_rowScale = grid ? ((std::uint64_t{1} << RowScaleBits) / static_cast<std::uint64_t>(width)) + 1 : 0;
    for (int k = 0; k < GridNeighbours::Slots; ++k)
        m_offset[static_cast<std::size_t>(k)] = GridNeighbours::neighbour(0, k, width);
}

void BoardView::bindGrid(const cField& field)
{
    // The field keeps every status and number as a byte already: copying them is
    // all there is to reading the board.
    m_status = field.statusBytes();
    m_nr = field.numberBytes();
    m_nghStart.clear();
    m_ngh.clear();
    int sum = 0;
    for (const std::int8_t status : m_status)
        sum += status;
    m_sum = sum;
    m_count = static_cast<int>(m_status.size());
    setShape(field.Xx(), true);
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

    const int w = field.Xx();
    setShape(w, w > 0 && m_count % w == 0);
    const int h = m_height;
    for (int i = 0; m_grid && i < m_count; ++i) {
        const int x = i % w, y = i / w;
        // Inside the border a grid cell's list is always the same eight offsets.
        if (x > 0 && x < w - 1 && y > 0 && y < h - 1) {
            const int* list = m_ngh.data() + m_nghStart[static_cast<std::size_t>(i)];
            m_grid = m_nghStart[static_cast<std::size_t>(i) + 1] - m_nghStart[static_cast<std::size_t>(i)] == 8
                && list[0] == i - w - 1 && list[1] == i - w && list[2] == i - w + 1 && list[3] == i - 1
                && list[4] == i + 1 && list[5] == i + w - 1 && list[6] == i + w && list[7] == i + w + 1;
        } else {
            m_grid = gridNeighbours(i, storedNgh(i));
        }
    }
    // A grid's lists are worked out whenever they are asked for.
    if (m_grid) {
        m_nghStart.clear();
        m_ngh.clear();
    } else {
        setShape(w, false);
    }
}

std::span<const int> BoardView::storedNgh(int index) const
{
    const auto begin = static_cast<std::size_t>(m_nghStart[static_cast<std::size_t>(index)]);
    const auto end = static_cast<std::size_t>(m_nghStart[static_cast<std::size_t>(index) + 1]);
    return {m_ngh.data() + begin, end - begin};
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
    const std::vector<std::int8_t>& statuses = field.statusBytes();
    for (int i = 0; i < m_count; ++i) {
        const int status = statuses[static_cast<std::size_t>(i)];
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
    setShape(0, false);
    m_sum = 0;
    m_rebound = false;
    m_status.clear();
    m_nr.clear();
    m_nghStart.clear();
    m_ngh.clear();
    m_changes.clear();
}
