#pragma once

#include "ComponentCounter.h"
#include "OddsComponent.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

struct Odds;
struct OddsInput;

// The exact analysis with a memory: what it counted of each component is kept
// until the next analysis, keyed by the component's content (its cells and what
// the numbers still ask of them), so that a board that changed a little is
// counted again only where it changed. Everything that depends on the board as a
// whole (the numbers a single number settles, the mine total, how the components
// weigh against each other) is worked out afresh every time, so the result is
// exactly that of an engine without memory.
//
// One analysis at a time: an engine belongs to one thread while it works, and
// may move to another between analyses. Independent engines may run side by side.
class OddsEngine {
public:
    enum class Mode {
        Odds,        // chances and proofs
        ProofsOnly,  // only consistent, exact, safe and mined; mine is left empty. Cheaper:
                     // no weights are counted, and a component whose proofs do not depend on
                     // the rest of the board is not walked again while it stays as it is.
    };

    Odds analyse(const OddsInput& input, Mode mode, std::chrono::milliseconds budget,
                 const std::atomic<bool>* cancel = nullptr);
    // Forgets what was counted.
    void clear() { m_known.clear(); }

private:
    struct Known {
        OddsComponent component;
        std::unique_ptr<ComponentCounter> counter;
        // The proofs of its cells when the rest of the board allows every total it
        // can hold: they depend on the component alone then.
        std::vector<ComponentCounter::CellResult> alone;
    };
    using KnownMap = std::unordered_multimap<std::uint64_t, Known>;

    KnownMap m_known;
};
