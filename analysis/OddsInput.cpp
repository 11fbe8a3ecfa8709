#include "OddsInput.h"

#include "FieldCodes.h"
#include "cField.h"

namespace {
constexpr int PrefetchAhead = 16;

std::int8_t shownNumber(const cCell& cell)
{
    return static_cast<std::int8_t>(cell.Status() == CellStatus::Opened ? cell.Nr() : 0);
}
}

OddsInput OddsInput::read(const cField& field)
{
    OddsInput input;
    const int count = field.cellCount();
    const auto size = static_cast<std::size_t>(count);
    input.mineTotal = field.MTot();
    input.status.resize(size);
    input.number.resize(size);
    input.nghStart.resize(size + 1);
    input.ngh.reserve(size * 8);
    input.nghStart[0] = 0;
    if (field.standardNeighbours() && field.Xx() > 0 && count % field.Xx() == 0) {
        // The lists a reset builds need not be read: they are the grid's, in the
        // order SetNgh appends them.
        const int w = field.Xx(), h = count / w;
        for (int y = 0, i = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x, ++i) {
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        if ((dx || dy) && x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h)
                            input.ngh.push_back(i + dy * w + dx);
                    }
                }
                input.nghStart[static_cast<std::size_t>(i) + 1] = static_cast<int>(input.ngh.size());
            }
        }
    } else {
        for (int i = 0; i < count; ++i) {
            for (int n : field.Cell(i)->Ngh()) {
                if (n >= 0 && n < count)
                    input.ngh.push_back(n);
            }
            input.nghStart[static_cast<std::size_t>(i) + 1] = static_cast<int>(input.ngh.size());
        }
    }
    input.refresh(field);
    return input;
}

void OddsInput::refresh(const cField& field)
{
    const int count = cellCount();
    if (count != field.cellCount()) {
        *this = read(field);
        return;
    }
    mineTotal = field.MTot();
    // The cells lie wherever the allocator put them; asking for them a few steps
    // ahead lets the memory fetch them side by side.
    for (int i = 0; i < count; ++i) {
        if (i + PrefetchAhead < count)
            __builtin_prefetch(field.Cell(i + PrefetchAhead));
        const cCell& cell = *field.Cell(i);
        status[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(cell.Status());
        number[static_cast<std::size_t>(i)] = shownNumber(cell);
    }
}
