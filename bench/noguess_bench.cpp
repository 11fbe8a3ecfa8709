// Dealing boards won without a guess: the dealer that repairs one random board,
// against dealing at random until a board happens to be won without a guess.

#include "DeductionRun.h"
#include "NoGuessDeal.h"
#include "NoGuessDealer.h"
#include "OddsInput.h"

#include "FieldCodes.h"
#include "Rnd.h"
#include "cField.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

constexpr int SmallSeeds = 200;
constexpr int LargeSeeds = 10;
constexpr int BaselineTries = 1000;
constexpr std::chrono::milliseconds Budget{60000};

struct Level {
    int w, h, mines;
};
constexpr Level Beginner{9, 9, 10}, Intermediate{16, 16, 40}, Expert{30, 16, 99};
constexpr Level Hundred{100, 100, 2000}, Largest{255, 166, 8466};

enum class Method { Baseline, Dealer };

struct Spread {
    double median = 0, p99 = 0, max = 0;
    int dealt = 0, seeds = 0;
    long tries = 0;  // random boards the baseline dealt
};

// The first opening of a seed's game: anywhere on the board.
int firstCellOf(quint32 seed, int cells)
{
    Rnd pick;
    pick.Randomize(seed ^ 0x5eedu);
    return std::min(cells - 1, static_cast<int>(static_cast<double>(pick()) * cells));
}

// Deals at random, first cell and neighbours free, until a player who never
// guesses wins the board or the tries run out; the board goes onto the field as
// the dealer's does.
bool dealUntilWon(cField& field, int first, long& tries)
{
    Rnd rnd;
    NoGuessDealer dealer(OddsInput::read(field), rnd);
    bool won = false;
    for (int t = 0; t < BaselineTries && !won; ++t) {
        ++tries;
        dealer.dealAtRandom(first);
        DeductionRun run(dealer.layout());
        run.start(first);
        DeductionRun::Step step = DeductionRun::Step::Proven;
        while (step == DeductionRun::Step::Proven)
            step = run.step(Budget);
        won = step == DeductionRun::Step::Done;
    }
    for (int i = 0; i < field.cellCount(); ++i)
        field.Cell(i)->setMine(dealer.layout().mine(i));
    field.CntNr();
    field.CntO();
    field.CntM();
    return won;
}

const Spread& measure(Method method, const Level& level, int seeds)
{
    static std::map<std::string, Spread> done;
    const std::string key = std::to_string(static_cast<int>(method)) + ":" + std::to_string(level.w) + "x"
                            + std::to_string(level.h) + "/" + std::to_string(level.mines);
    if (auto found = done.find(key); found != done.end())
        return found->second;
    Spread spread;
    spread.seeds = seeds;
    std::vector<double> ms;
    cField field;
    field.Setup(level.w, level.h, level.mines, ViewMode::Normal, ZoomSize::Tiny);
    for (int s = 1; s <= seeds; ++s) {
        const auto seed = static_cast<quint32>(s);
        Rnd::setSeedSource([seed] { return seed; });
        const int first = firstCellOf(seed, level.w * level.h);
        const auto start = Clock::now();
        const bool won = method == Method::Dealer ? DealWithoutGuess(field, first, Budget)
                                                  : dealUntilWon(field, first, spread.tries);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        spread.dealt += won;
    }
    Rnd::setSeedSource(nullptr);
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[static_cast<size_t>(q * static_cast<double>(ms.size() - 1))]; };
    spread.median = at(0.5);
    spread.p99 = at(0.99);
    spread.max = ms.back();
    return done[key] = spread;
}

std::string label(const Spread& s, Method method, const char* target)
{
    char text[200];
    if (method == Method::Baseline)
        std::snprintf(text, sizeof text, "random deals until one is won, <= %d tries: %d/%d found, %.1f tries each",
                      BaselineTries, s.dealt, s.seeds, static_cast<double>(s.tries) / s.seeds);
    else
        std::snprintf(text, sizeof text, "DealWithoutGuess: %d/%d dealt, max %.1f ms; target %s", s.dealt, s.seeds,
                      s.max, target);
    return text;
}

void BM_Figure(benchmark::State& state, Method method, Level level, int seeds, bool p99, const char* target)
{
    const Spread& spread = measure(method, level, seeds);
    const double ms = p99 ? spread.p99 : spread.median;
    for (auto _ : state)
        state.SetIterationTime(ms / 1e3);
    state.SetLabel(label(spread, method, target));
}

void registerLevel(const char* group, Level level, int seeds, const char* medianTarget, const char* p99Target,
                   bool baseline)
{
    const auto add = [&](Method method, const char* variant, bool p99, const char* target) {
        const std::string name = std::string(group) + "/" + variant + (p99 ? "/p99" : "/median");
        benchmark::RegisterBenchmark(name.c_str(), BM_Figure, method, level, seeds, p99, target)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    for (const bool p99 : {false, true}) {
        if (p99 && !p99Target)
            continue;
        if (baseline)
            add(Method::Baseline, "baseline", p99, "");
        add(Method::Dealer, "dealer", p99, p99 ? p99Target : medianTarget);
    }
}

const bool registered = [] {
    registerLevel("NoGuess9x9", Beginner, SmallSeeds, "median < 5 ms", "-", true);
    registerLevel("NoGuess16x16", Intermediate, SmallSeeds, "median < 5 ms", "-", true);
    registerLevel("NoGuess30x16", Expert, SmallSeeds, "median < 20 ms", "p99 < 100 ms", true);
    registerLevel("NoGuess100x100", Hundred, LargeSeeds, "< 1 s", nullptr, false);
    registerLevel("NoGuess255x166", Largest, LargeSeeds, "< 5 s", nullptr, false);
    return true;
}();
}
