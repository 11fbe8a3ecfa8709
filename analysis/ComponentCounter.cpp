#include "ComponentCounter.h"

#include "OddsBudget.h"
#include "OddsComponent.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <queue>
#include <tuple>

namespace {
std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

// A number's count in a state takes four bits: it never exceeds its need, at most eight.
constexpr int SlotBits = 4;
constexpr std::uint64_t SlotMask = (1u << SlotBits) - 1;
constexpr int Slots = 64 / SlotBits;
// Beyond these a component is left uncounted rather than take the machine's memory.
constexpr int MaxStates = 1 << 18;
constexpr std::size_t MaxStored = std::size_t{1} << 22;
// Counts up to 2^Rescale are kept as they are; above it a layer is scaled down by
// that much, far from both ends of a double's range.
constexpr int Rescale = 600;
// Within a large layer the clock is read this often.
constexpr int ClockEvery = 4096;
}

ComponentCounter::Result ComponentCounter::count(const OddsComponent& comp, bool weights, const OddsBudget& budget)
{
    m_weights = weights;
    m_size = comp.size();
    Result result = Result::Cut;
    if (!plan(comp) || !forward(weights, budget, result)) {
        // Nothing of a count that did not finish is kept.
        m_layers.clear();
        m_values = {};
        m_bits = {};
        m_next[0] = {};
        m_next[1] = {};
        return result;
    }
    return Result::Counted;
}

void ComponentCounter::order(const OddsComponent& comp)
{
    const int n = comp.size(), numbers = comp.constraints();
    // Each cell's numbers.
    std::vector<std::vector<int>> numbersOf(at(n));
    for (int c = 0; c < numbers; ++c) {
        for (int cell : comp.membersOf(c))
            numbersOf[at(cell)].push_back(c);
    }
    // Start at one end: the cell farthest from cell 0 is at the end of a chain
    // and on the rim of a blob, and the sweep goes outward from it by distance.
    std::vector<int> dist(at(n));
    const auto spread = [&](int from) {
        std::fill(dist.begin(), dist.end(), -1);
        std::vector<int> queue{from};
        dist[at(from)] = 0;
        int last = from;
        for (std::size_t q = 0; q < queue.size(); ++q) {
            const int cell = queue[q];
            last = cell;
            for (int c : numbersOf[at(cell)]) {
                for (int m : comp.membersOf(c)) {
                    if (dist[at(m)] < 0) {
                        dist[at(m)] = dist[at(cell)] + 1;
                        queue.push_back(m);
                    }
                }
            }
        }
        return last;
    };
    const int start = spread(spread(0));
    spread(start);

    // Greedy: next the cell that opens the fewest numbers not yet begun and
    // finishes the most, among the cells of numbers already begun; nearer the
    // start first on a tie.
    std::vector<char> begun(at(numbers), 0), placed(at(n), 0);
    std::vector<int> left(at(numbers));
    for (int c = 0; c < numbers; ++c)
        left[at(c)] = static_cast<int>(comp.membersOf(c).size());
    std::vector<int> version(at(n), 0);
    using Entry = std::tuple<int, int, int, int>;  // score, distance, cell, version
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    const auto score = [&](int cell) {
        int s = 0;
        for (int c : numbersOf[at(cell)])
            s += (begun[at(c)] ? 0 : 1) - (left[at(c)] == 1 ? 1 : 0);
        return s;
    };
    const auto offer = [&](int cell) {
        queue.emplace(score(cell), dist[at(cell)], cell, ++version[at(cell)]);
    };
    m_order.clear();
    offer(start);
    while (static_cast<int>(m_order.size()) < n) {
        if (queue.empty()) {
            // Not reached on a connected component; kept so that any component ends ordered.
            for (int cell = 0; cell < n; ++cell) {
                if (!placed[at(cell)]) {
                    offer(cell);
                    break;
                }
            }
        }
        const auto [s, d, cell, v] = queue.top();
        queue.pop();
        if (placed[at(cell)] || v != version[at(cell)])
            continue;
        placed[at(cell)] = 1;
        m_order.push_back(cell);
        for (int c : numbersOf[at(cell)]) {
            begun[at(c)] = 1;
            --left[at(c)];
        }
        for (int c : numbersOf[at(cell)]) {
            for (int m : comp.membersOf(c)) {
                if (!placed[at(m)])
                    offer(m);
            }
        }
    }
}

bool ComponentCounter::plan(const OddsComponent& comp)
{
    order(comp);
    const int n = comp.size(), numbers = comp.constraints();
    std::vector<int> position(at(n));
    for (int p = 0; p < n; ++p)
        position[at(m_order[at(p)])] = p;
    // Each number's first and last position, and the weight of its cells after each.
    std::vector<int> first(at(numbers), n), last(at(numbers), -1);
    std::vector<std::vector<std::pair<int, int>>> touchesAt(at(n));  // position -> (number, weight)
    for (int c = 0; c < numbers; ++c) {
        const auto members = comp.membersOf(c);
        const auto weights = comp.weightsOf(c);
        for (std::size_t k = 0; k < members.size(); ++k) {
            const int p = position[at(members[k])];
            first[at(c)] = std::min(first[at(c)], p);
            last[at(c)] = std::max(last[at(c)], p);
            touchesAt[at(p)].emplace_back(c, weights[k]);
        }
    }
    std::vector<int> rest(at(numbers), 0);
    for (int c = 0; c < numbers; ++c) {
        for (int w : comp.weightsOf(c))
            rest[at(c)] += w;
    }
    std::vector<int> slotOf(at(numbers), -1);
    std::vector<int> freeSlots;
    for (int s = Slots - 1; s >= 0; --s)
        freeSlots.push_back(s);
    m_touchStart.assign(1, 0);
    m_touch.clear();
    for (int p = 0; p < n; ++p) {
        for (const auto& [c, w] : touchesAt[at(p)]) {
            if (first[at(c)] == p) {
                // More numbers half done than a key holds: beyond what this counts.
                if (freeSlots.empty())
                    return false;
                slotOf[at(c)] = freeSlots.back();
                freeSlots.pop_back();
            }
            rest[at(c)] -= w;
            m_touch.push_back({slotOf[at(c)] * SlotBits, w, comp.need[at(c)], rest[at(c)]});
        }
        for (const auto& [c, w] : touchesAt[at(p)]) {
            if (last[at(c)] == p)
                freeSlots.push_back(slotOf[at(c)]);
        }
        m_touchStart.push_back(static_cast<int>(m_touch.size()));
    }
    return true;
}

bool ComponentCounter::step(std::uint64_t key, int position, int mine, std::uint64_t& next) const
{
    for (int t = m_touchStart[at(position)]; t < m_touchStart[at(position) + 1]; ++t) {
        const Touch& touch = m_touch[at(t)];
        const int count = static_cast<int>((key >> touch.shift) & SlotMask) + mine * touch.weight;
        if (count > touch.need || count + touch.rest < touch.need)
            return false;
        // A finished number leaves the key, so that states differing only in it meet.
        const auto kept = static_cast<std::uint64_t>(touch.rest == 0 ? 0 : count);
        key = (key & ~(SlotMask << touch.shift)) | (kept << touch.shift);
    }
    next = key;
    return true;
}

bool ComponentCounter::forward(bool weights, const OddsBudget& budget, Result& result)
{
    const int n = m_size;
    m_layers.assign(1, Layer{1, 0, 1, 1, 0, 0, 0, 0});
    m_next[0].clear();
    m_next[1].clear();
    m_bits.assign(1, 1);
    m_values.clear();
    if (weights)
        m_values.assign(1, 1.0);
    std::vector<std::uint64_t> keys{0}, nextKeys;
    int low = 0, high = 0;  // the mines placed so far, over all states of the current layer
    for (int p = 0; p < n; ++p) {
        const Layer cur = m_layers.back();
        Layer nxt;
        nxt.low = low;
        nxt.width = high + 2 - low;
        nxt.words = BitRow::words(nxt.width);
        nxt.stateAt = cur.stateAt + at(cur.states);
        nxt.bitAt = m_bits.size();
        m_next[0].resize(nxt.stateAt);
        m_next[1].resize(nxt.stateAt);
        // Room for every state this layer can make, so the rows do not move under the loop.
        m_bits.reserve(m_bits.size() + 2 * at(cur.states) * at(nxt.words));
        m_table.clear(at(cur.states));
        nextKeys.clear();
        for (int s = 0; s < cur.states; ++s) {
            if (s % ClockEvery == ClockEvery - 1 && budget.spent())
                return false;
            for (int mine = 0; mine < 2; ++mine) {
                std::uint64_t key = 0;
                int& target = m_next[at(mine)][cur.stateAt + at(s)];
                if (!step(keys[at(s)], p, mine, key)) {
                    target = -1;
                    continue;
                }
                target = m_table.find(key, static_cast<int>(nextKeys.size()));
                if (target == static_cast<int>(nextKeys.size())) {
                    nextKeys.push_back(key);
                    m_bits.resize(m_bits.size() + at(nxt.words), 0);
                }
                BitRow::orShifted(m_bits.data() + nxt.bitAt + at(target) * at(nxt.words), nxt.width,
                                  m_bits.data() + cur.bitAt + at(s) * at(cur.words), cur.width,
                                  cur.low + mine - nxt.low);
            }
        }
        nxt.states = static_cast<int>(nextKeys.size());
        if (nxt.states == 0) {
            result = Result::Impossible;
            return false;
        }
        if (nxt.states > MaxStates)
            return false;
        // The mines placed so far over the new layer, for the next layer's window.
        low = std::numeric_limits<int>::max();
        high = -1;
        for (int s = 0; s < nxt.states; ++s) {
            const BitRow::Word* row = m_bits.data() + nxt.bitAt + at(s) * at(nxt.words);
            low = std::min(low, BitRow::lowest(row, nxt.width));
            high = std::max(high, BitRow::highest(row, nxt.width));
        }
        low += nxt.low;
        high += nxt.low;
        if (weights) {
            nxt.valueAt = m_values.size();
            nxt.scale = cur.scale;
            m_values.resize(m_values.size() + at(nxt.states) * at(nxt.width), 0.0);
            double largest = 0;
            for (int s = 0; s < cur.states; ++s) {
                const double* from = m_values.data() + cur.valueAt + at(s) * at(cur.width);
                for (int mine = 0; mine < 2; ++mine) {
                    const int target = m_next[at(mine)][cur.stateAt + at(s)];
                    if (target < 0)
                        continue;
                    double* to = m_values.data() + nxt.valueAt + at(target) * at(nxt.width);
                    // A layer's window may run a place or two past the counts it
                    // holds; those places are empty and stay out of the next one.
                    const int offset = cur.low + mine - nxt.low;
                    const int first = std::max(0, -offset), end = std::min(cur.width, nxt.width - offset);
                    for (int i = first; i < end; ++i)
                        to[i + offset] += from[i];
                }
            }
            for (std::size_t v = nxt.valueAt; v < m_values.size(); ++v)
                largest = std::max(largest, m_values[v]);
            if (largest > std::ldexp(1.0, Rescale)) {
                for (std::size_t v = nxt.valueAt; v < m_values.size(); ++v)
                    m_values[v] = std::ldexp(m_values[v], -Rescale);
                nxt.scale += Rescale;
            }
        }
        m_layers.push_back(nxt);
        keys.swap(nextKeys);
        if (m_bits.size() + m_values.size() > MaxStored || budget.spent())
            return false;
    }
    m_next[0].resize(m_layers.back().stateAt + at(m_layers.back().states), -1);
    m_next[1].resize(m_next[0].size(), -1);
    // Every number has had its last cell: one state remains, with the totals.
    const Layer& end = m_layers.back();
    m_low = low;
    m_high = high;
    const int width = m_high - m_low + 1;
    m_totals.assign(at(BitRow::words(width)), 0);
    BitRow::orShifted(m_totals.data(), width, m_bits.data() + end.bitAt, end.width, end.low - m_low);
    m_logCount.assign(at(width), -std::numeric_limits<double>::infinity());
    if (weights) {
        for (int k = m_low; k <= m_high; ++k) {
            const double v = m_values[end.valueAt + at(k - end.low)];
            if (v > 0)
                m_logCount[at(k - m_low)] = std::log(v) + end.scale * std::numbers::ln2;
        }
    }
    return true;
}

bool ComponentCounter::resolve(const BitRow::Word* allowed, const double* seed, const OddsBudget& budget,
                               std::vector<CellResult>& out) const
{
    const bool weights = seed && m_weights;
    out.assign(at(m_size), CellResult{});
    // The backward rows of the layer after the current cell, and of the current one.
    std::vector<BitRow::Word> laterBits, bits;
    std::vector<double> laterValues, values;
    const Layer& end = m_layers.back();
    laterBits.assign(at(end.words), 0);
    BitRow::orShifted(laterBits.data(), end.width, allowed, m_high - m_low + 1, m_low - end.low);
    if (weights) {
        laterValues.assign(at(end.width), 0.0);
        for (int k = m_low; k <= m_high; ++k)
            laterValues[at(k - end.low)] = seed[k - m_low];
    }
    for (int p = m_size - 1; p >= 0; --p) {
        if (budget.spent())
            return false;
        const Layer& cur = m_layers[at(p)];
        const Layer& later = m_layers[at(p) + 1];
        bits.assign(at(cur.states) * at(cur.words), 0);
        if (weights)
            values.assign(at(cur.states) * at(cur.width), 0.0);
        bool can[2] = {false, false};
        double share[2] = {0, 0};
        for (int s = 0; s < cur.states; ++s) {
            const BitRow::Word* forwardRow = m_bits.data() + cur.bitAt + at(s) * at(cur.words);
            BitRow::Word* row = bits.data() + at(s) * at(cur.words);
            for (int mine = 0; mine < 2; ++mine) {
                const int target = m_next[at(mine)][cur.stateAt + at(s)];
                if (target < 0)
                    continue;
                const int shift = later.low - cur.low - mine;
                const BitRow::Word* laterRow = laterBits.data() + at(target) * at(later.words);
                if (!can[mine])
                    can[mine] = BitRow::meetsShifted(forwardRow, cur.width, laterRow, later.width, shift);
                BitRow::orShifted(row, cur.width, laterRow, later.width, shift);
                if (!weights)
                    continue;
                const double* forwardValues = m_values.data() + cur.valueAt + at(s) * at(cur.width);
                const double* laterRowValues = laterValues.data() + at(target) * at(later.width);
                double* rowValues = values.data() + at(s) * at(cur.width);
                const int from = std::max(0, shift), to = std::min(cur.width, later.width + shift);
                double sum = 0;
                for (int i = from; i < to; ++i) {
                    const double b = laterRowValues[i - shift];
                    rowValues[i] += b;
                    sum += forwardValues[i] * b;
                }
                share[mine] += sum;
            }
        }
        CellResult& r = out[at(m_order[at(p)])];
        r.canBeSafe = can[0];
        r.canMine = can[1];
        if (weights && share[0] + share[1] > 0)
            r.chance = share[1] / (share[0] + share[1]);
        if (weights) {
            double largest = 0;
            for (double v : values)
                largest = std::max(largest, v);
            if (largest > std::ldexp(1.0, Rescale)) {
                for (double& v : values)
                    v = std::ldexp(v, -Rescale);
            }
        }
        laterBits.swap(bits);
        laterValues.swap(values);
    }
    return true;
}
