#pragma once

#include "BitRow.h"

#include <vector>

// Puts the components and the interior together under the mine total: which
// totals of each component can occur with the rest of the board (bits), and how
// much each weighs given the rest (weights), and the same for the interior.
//
// Counts here run to numbers like C(8900, 4000), so the weights are taken in a
// tilted frame: every mine, in a component or in the interior, is given a factor
// t, with t chosen so that the expected total of the tilted product equals the
// mines left. All fitting placements have that same total, so t changes no
// ratio between them, while every vector becomes a well-centred distribution that
// can be kept normalised. The bits beside them decide what is possible at all.
class TotalCombiner {
public:
    struct Part {
        int low = 0, high = -1;
        const BitRow::Word* totals = nullptr;  // bit k - low: the part can hold k mines
        const double* logCount = nullptr;      // ln of its placements with k mines (weights only)
    };

    // False when no choice of the parts' totals leaves the interior's cells
    // room for the rest of remaining.
    bool combine(const std::vector<Part>& parts, int interior, int remaining, bool weights);

    // Bit k - low of the part: its total k goes with some fitting placement of the rest.
    const BitRow::Word* allowed(int part) const { return m_allowed[static_cast<std::size_t>(part)].data(); }
    // The weight of the rest of the board for each total k of the part, to be
    // multiplied by the part's own count of placements with k mines; relative only.
    const double* seed(int part) const { return m_seed[static_cast<std::size_t>(part)].data(); }
    // The interior (when it has cells): proven free of mines, proven full of them,
    // and the chance of a mine in each of its cells.
    bool interiorSafe() const { return m_interiorSafe; }
    bool interiorMined() const { return m_interiorMined; }
    double interiorChance() const { return m_interiorChance; }

private:
    // What the parts from one on, with the interior, make of each running total
    // before it: whether they can complete it, and their tilted weight.
    struct Row {
        std::vector<BitRow::Word> reach;
        std::vector<double> rest;
    };

    double tilt(const std::vector<Part>& parts, int interior, int remaining) const;
    // The row before part c from the row after it.
    void stepBack(const Part& part, int c, const Row& later, Row& row, bool weights) const;

    std::vector<int> m_low, m_width;  // window of the running total before each part
    std::vector<std::vector<double>> m_tilted;  // each part's tilted weight per total
    std::vector<std::vector<BitRow::Word>> m_allowed;
    std::vector<std::vector<double>> m_seed;
    bool m_interiorSafe = false, m_interiorMined = false;
    double m_interiorChance = 0;
};
