#pragma once

#include "CellBits.h"

class BoardView;

// Remembers, across the passes of one command, the first numbers all of whose
// pairs proved nothing. Whether a pair proves something depends only on the cells
// within three steps of its first number (its covered cells, the numbers beside
// those, and their covered cells and flags), so such a number need not be examined
// again until one of those cells changes. Passes then still stop at the same first
// productive pair, having skipped only pairs that could not be it.
class PairScanMemo {
public:
    // Forgets what the view's changes made stale.
    void update(const BoardView& view);
    // The first cell at or after from that may still hold a productive pair, or -1.
    int next(int from) const { return m_open.next(from); }
    void settle(int index) { m_open.reset(index); }

private:
    void reopenAround(const BoardView& view, int index);

    CellBits m_open;
};
