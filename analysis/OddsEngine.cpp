#include "OddsEngine.h"

#include "ConstraintSystem.h"
#include "Odds.h"
#include "OddsBudget.h"
#include "OddsInput.h"
#include "TotalCombiner.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
// Percent of the budget that counting may use.
constexpr int CountShare = 60;

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

// A cell that is not proven keeps a chance strictly between 0 and 1, however
// small the rounding made it: 0 and 1 mean proven.
double unproven(double chance)
{
    return std::clamp(chance, std::numeric_limits<double>::min(), std::nextafter(1.0, 0.0));
}

Odds noPlacement(int cells, bool exact)
{
    Odds odds;
    odds.consistent = false;
    odds.exact = exact;
    odds.mine.assign(at(cells), -1.0);
    return odds;
}

// What one component contributes to an analysis.
struct Share {
    const OddsComponent* component = nullptr;
    ComponentCounter* counter = nullptr;  // null when it was not counted in full
    std::vector<ComponentCounter::CellResult>* alone = nullptr;
    // Stand-ins for a component that was not counted: every total from none to all
    // of its cells, weighed as if the numbers did not bind them.
    std::vector<BitRow::Word> anyTotal;
    std::vector<double> freeLogCount;
};
}

Odds OddsEngine::analyse(const OddsInput& input, Mode mode, std::chrono::milliseconds budget,
                         const std::atomic<bool>* cancel)
{
    const OddsBudget limit(budget, cancel);
    // Counting may take most of the budget but not all: what was counted still has
    // to be walked back for its chances and proofs.
    const OddsBudget countLimit(budget * CountShare / 100, cancel);
    const bool weights = mode == Mode::Odds;
    const int cells = input.cellCount();
    ConstraintSystem system;
    if (!system.build(input))
        return noPlacement(cells, true);

    // Count each component, or find it counted by an earlier analysis. What this
    // analysis uses is all that is kept for the next.
    KnownMap used;
    std::vector<Share> shares(system.components().size());
    bool exact = true;
    // Small components first, so that one too large to count in time does not
    // leave all the others uncounted.
    std::vector<std::size_t> bySize(shares.size());
    std::iota(bySize.begin(), bySize.end(), std::size_t{0});
    std::stable_sort(bySize.begin(), bySize.end(), [&](std::size_t a, std::size_t b) {
        return system.components()[a].size() < system.components()[b].size();
    });
    for (std::size_t c : bySize) {
        const OddsComponent& comp = system.components()[c];
        Share& share = shares[c];
        share.component = &comp;
        auto range = m_known.equal_range(comp.key);
        auto found = std::find_if(range.first, range.second, [&](const auto& entry) {
            return entry.second.component.sameContent(comp) && (entry.second.counter->weighted() || !weights);
        });
        KnownMap::iterator entry;
        if (found != range.second) {
            entry = used.insert(m_known.extract(found));
        } else {
            auto counter = std::make_unique<ComponentCounter>();
            const auto result = countLimit.spent() ? ComponentCounter::Result::Cut
                                                   : counter->count(comp, weights, countLimit);
            if (result == ComponentCounter::Result::Impossible)
                return noPlacement(cells, true);
            if (result == ComponentCounter::Result::Cut) {
                exact = false;
                share.anyTotal.assign(at(BitRow::words(comp.size() + 1)), 0);
                for (int k = 0; k <= comp.size(); ++k)
                    BitRow::set(share.anyTotal.data(), k);
                if (weights) {
                    share.freeLogCount.resize(at(comp.size()) + 1);
                    for (int k = 0; k <= comp.size(); ++k)
                        share.freeLogCount[at(k)] = std::lgamma(comp.size() + 1.0) - std::lgamma(k + 1.0)
                            - std::lgamma(comp.size() - k + 1.0);
                }
                continue;
            }
            entry = used.emplace(comp.key, Known{comp, std::move(counter), {}});
        }
        share.counter = entry->second.counter.get();
        share.alone = &entry->second.alone;
    }

    std::vector<TotalCombiner::Part> parts;
    parts.reserve(shares.size());
    for (const Share& share : shares) {
        if (share.counter) {
            const ComponentCounter& counter = *share.counter;
            parts.push_back({counter.low(), counter.high(), counter.totals().data(),
                             weights ? counter.logCounts().data() : nullptr});
        } else {
            parts.push_back({0, share.component->size(), share.anyTotal.data(),
                             weights ? share.freeLogCount.data() : nullptr});
        }
    }
    const int interior = static_cast<int>(system.interior().size());
    TotalCombiner combiner;
    if (!combiner.combine(parts, interior, system.remaining(), weights)) {
        m_known.swap(used);
        return noPlacement(cells, true);
    }

    Odds odds;
    odds.consistent = true;
    if (weights)
        odds.mine.assign(at(cells), -1.0);
    std::vector<char> verdict(at(cells), 0);  // 1 safe, 2 mined
    for (int i = 0; i < cells; ++i) {
        if (!system.covered(i))
            continue;
        const auto v = system.value(i);
        verdict[at(i)] = v == ConstraintSystem::Safe ? 1 : v == ConstraintSystem::Mine ? 2 : 0;
        if (weights && v != ConstraintSystem::Undecided)
            odds.mine[at(i)] = v == ConstraintSystem::Mine ? 1.0 : 0.0;
    }
    for (int i : system.interior()) {
        verdict[at(i)] = combiner.interiorSafe() ? 1 : combiner.interiorMined() ? 2 : 0;
        if (weights)
            odds.mine[at(i)] = verdict[at(i)] ? verdict[at(i)] - 1.0 : unproven(combiner.interiorChance());
    }

    std::vector<ComponentCounter::CellResult> results;
    for (std::size_t c = 0; c < shares.size(); ++c) {
        const Share& share = shares[c];
        const OddsComponent& comp = *share.component;
        const TotalCombiner::Part& part = parts[c];
        const int width = part.high - part.low + 1;
        const BitRow::Word* allowed = combiner.allowed(static_cast<int>(c));
        bool resolved = false;
        const std::vector<ComponentCounter::CellResult>* cellResults = &results;
        if (share.counter) {
            const auto& totals = share.counter->totals();
            const bool unbound = std::equal(totals.begin(), totals.end(), allowed);
            if (!weights && unbound && !share.alone->empty()) {
                cellResults = share.alone;
                resolved = true;
            } else {
                resolved = share.counter->resolve(allowed, weights ? combiner.seed(static_cast<int>(c)) : nullptr,
                                                  limit, results);
                if (resolved && !weights && unbound)
                    *share.alone = results;
            }
        }
        if (!resolved)
            exact = false;
        // Without a full count the component's cells get the expected share of
        // its mines, from its (possibly stand-in) weight of each total.
        double expectedShare = 0;
        if (weights && !resolved) {
            const double* seed = combiner.seed(static_cast<int>(c));
            std::vector<double> logs(at(width), -std::numeric_limits<double>::infinity());
            double largest = -std::numeric_limits<double>::infinity();
            for (int k = 0; k < width; ++k) {
                if (BitRow::test(allowed, k) && seed[k] > 0)
                    largest = std::max(largest, logs[at(k)] = std::log(seed[k]) + part.logCount[k]);
            }
            double sum = 0, weighted = 0;
            for (int k = 0; k < width && std::isfinite(largest); ++k) {
                const double w = std::isfinite(logs[at(k)]) ? std::exp(logs[at(k)] - largest) : 0.0;
                sum += w;
                weighted += w * (part.low + k);
            }
            expectedShare = sum > 0 ? weighted / sum / comp.size() : 0.5;
        }
        for (int j = 0; j < comp.size(); ++j) {
            const int cell = comp.cells[at(j)];
            if (!resolved) {
                if (weights)
                    odds.mine[at(cell)] = unproven(expectedShare);
                continue;
            }
            const auto& r = (*cellResults)[at(j)];
            verdict[at(cell)] = !r.canMine ? 1 : !r.canBeSafe ? 2 : 0;
            if (weights)
                odds.mine[at(cell)] = verdict[at(cell)] ? verdict[at(cell)] - 1.0 : unproven(r.chance);
        }
    }
    for (int i = 0; i < cells; ++i) {
        if (verdict[at(i)] == 1)
            odds.safe.push_back(i);
        else if (verdict[at(i)] == 2)
            odds.mined.push_back(i);
    }
    odds.exact = exact;
    m_known.swap(used);
    return odds;
}
