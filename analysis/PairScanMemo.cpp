#include "PairScanMemo.h"

#include "BoardView.h"

#include <algorithm>

namespace {
// A first number, the covered cell beside it, the second number beside that, and
// that number's own covered cells and flags.
constexpr int Reach = 3;
}

void PairScanMemo::reopenAround(const BoardView& view, int index)
{
    const int w = view.width(), h = view.height();
    const int x = view.column(index), y = view.row(index);
    const int x0 = std::max(0, x - Reach), x1 = std::min(w - 1, x + Reach);
    const int y0 = std::max(0, y - Reach), y1 = std::min(h - 1, y + Reach);
    for (int yy = y0; yy <= y1; ++yy) {
        for (int xx = x0; xx <= x1; ++xx)
            m_open.set(yy * w + xx);
    }
}

void PairScanMemo::update(const BoardView& view)
{
    // Without the shape of a grid there is no telling which numbers a change
    // concerns, so nothing is remembered from one pass to the next.
    if (view.rebound() || !view.isGrid()) {
        m_open.assign(view.count(), true);
        return;
    }
    for (int index : view.changes())
        reopenAround(view, index);
}
