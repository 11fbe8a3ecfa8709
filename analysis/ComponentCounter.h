#pragma once

#include "BitRow.h"
#include "StateTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class OddsBudget;
struct OddsComponent;

// Counts the placements of one component by their number of mines, and then, once
// the rest of the board has said how much each mine count weighs, each cell's
// chance and whether it is proven.
//
// The cells are taken one by one in an order that keeps few numbers half done at
// a time (a greedy sweep from a cell at one end of the component). A state is the
// mines each half-done number has so far; a number leaves the state with its last
// cell, where its count must be complete. Per state and mines placed so far the
// count keeps the number of ways (a double, rescaled by powers of two) and,
// beside it, a bit saying whether there is any way at all: proofs rest on the
// bits, never on a weight that might have underflowed. The forward layers are
// kept; the backward pass walks them again from the end, seeded with the weight
// of each total, and meets the forward one at every cell.
class ComponentCounter {
public:
    enum class Result { Counted, Impossible, Cut };

    // weights: count the ways too, not only whether there are any. Cut when the
    // budget runs out or the component is beyond what the counting can hold.
    Result count(const OddsComponent& comp, bool weights, const OddsBudget& budget);

    bool weighted() const { return m_weights; }
    // The fewest and most mines a fitting placement has, and for each count in
    // between (bit k - low()) whether one has exactly that many.
    int low() const { return m_low; }
    int high() const { return m_high; }
    const std::vector<BitRow::Word>& totals() const { return m_totals; }
    // The natural log of the number of placements with k mines (weights only;
    // minus infinity for a count that none has).
    double logCount(int k) const { return m_logCount[static_cast<std::size_t>(k - m_low)]; }
    const std::vector<double>& logCounts() const { return m_logCount; }  // from low() on

    struct CellResult {
        bool canMine = true;    // some allowed placement has a mine here
        bool canBeSafe = true;  // some allowed placement has none here
        double chance = 0.5;    // share of the weight with a mine here (weights only)
    };
    // allowed: bits over low()..high(), the totals the rest of the board leaves
    // possible (not all zero); seed: the weight of each (weights only, else null).
    // Fills one result per cell of the component, in its own cell order. False
    // when the budget ran out first.
    bool resolve(const BitRow::Word* allowed, const double* seed, const OddsBudget& budget,
                 std::vector<CellResult>& out) const;

private:
    struct Layer {
        int states = 0;
        int low = 0;    // mines placed before this layer's cell, for offset 0
        int width = 0;  // offsets 0..width-1
        int words = 0;
        std::size_t stateAt = 0, valueAt = 0, bitAt = 0;
        int scale = 0;  // the values are the counts times 2^-scale
    };
    struct Touch {
        int shift;  // where the number's count sits in the key
        std::uint64_t mask;  // and its bits there, from shift on
        int weight;  // how much a mine here adds to it
        int need;
        int rest;    // weight of the number's cells after this one
    };

    bool plan(const OddsComponent& comp);
    void order(const OddsComponent& comp);
    bool step(std::uint64_t key, int position, int mine, std::uint64_t& next) const;
    bool forward(bool weights, const OddsBudget& budget, Result& result);

    bool m_weights = false;
    int m_size = 0;
    std::vector<int> m_order;  // position -> local cell
    std::vector<int> m_touchStart;
    std::vector<Touch> m_touch;
    std::vector<Layer> m_layers;
    std::vector<int> m_next[2];  // per state: the state it leads to with no mine / a mine, or -1
    std::vector<double> m_values;
    std::vector<BitRow::Word> m_bits;
    int m_low = 0, m_high = -1;
    std::vector<BitRow::Word> m_totals;
    std::vector<double> m_logCount;
    StateTable m_table;
};
