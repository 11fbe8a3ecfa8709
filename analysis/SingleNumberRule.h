#pragma once

#include "CellBits.h"

#include <cstdint>
#include <vector>

class BoardView;
class VerdictSet;

// The two facts one number proves alone: flags that already account for all its
// mines clear its other covered neighbours, and covered plus flagged neighbours
// that together equal the number are all mines. What each number proves is kept
// between passes and worked out again only around the cells that changed.
class SingleNumberRule {
public:
    // Brings every number's finding up to date with the view's changes.
    void update(const BoardView& view);
    // Adds the findings to a pass's verdicts, numbers in ascending order so that of
    // two numbers that disagree about a cell the later one has the last word.
    void verdicts(const BoardView& view, VerdictSet& out) const;

private:
    // inside: the cell lies on a grid away from its border, where its neighbours
    // are the eight squares around it.
    int evaluate(const BoardView& view, int index, bool inside) const;
    void reevaluate(const BoardView& view, int index);
    void store(int index, int finding);
    void reevaluateAround(const BoardView& view, int index);

    std::vector<std::int8_t> m_finding;
    CellBits m_proving;  // the numbers whose finding is not None
};
