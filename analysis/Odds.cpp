#include "Odds.h"

#include "OddsEngine.h"
#include "OddsInput.h"

Odds computeOdds(const cField& field, std::chrono::milliseconds budget)
{
    return computeOdds(OddsInput::read(field), budget);
}

Odds computeOdds(const OddsInput& input, std::chrono::milliseconds budget, const std::atomic<bool>* cancel)
{
    OddsEngine engine;
    return engine.analyse(input, OddsEngine::Mode::Odds, budget, cancel);
}
