#include "BigPosition.h"

#include "CompleteByOdds.h"
#include "FieldCodes.h"
#include "Odds.h"
#include "OddsEngine.h"
#include "OddsInput.h"
#include "cCompute.h"
#include "cField.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int ExpertW = 30, ExpertH = 16, ExpertMines = 99;
constexpr int ExpertPositions = 1000;

// Expert boards as the simple auto-completion leaves them: an empty region
// opened, then ScriptA until it stops. Boards it won are left out: nothing is
// covered there.
const std::vector<std::unique_ptr<cField>>& expertPositions()
{
    static const auto positions = [] {
        std::vector<std::unique_ptr<cField>> list;
        cCompute comp;
        for (quint32 seed = 1; static_cast<int>(list.size()) < ExpertPositions; ++seed) {
            auto field = std::make_unique<cField>();
            field->Randomize(seed);
            field->Setup(ExpertW, ExpertH, ExpertMines, ViewMode::Normal, ZoomSize::Tiny);
            int zero = -1;
            for (int i = 0; const cCell* cell = field->Cell(i); ++i) {
                if (!cell->Mine() && cell->Nr() == 0) {
                    zero = i;
                    break;
                }
            }
            if (zero < 0)
                continue;
            field->ChkCell(zero);
            comp.Init(cCompute::CmdScriptA, field.get());
            if (field->FldStatus() != FieldStatus::Won)
                list.push_back(std::move(field));
        }
        return list;
    }();
    return positions;
}

std::string spread(std::vector<double> ms, int exact)
{
    std::sort(ms.begin(), ms.end());
    const auto pick = [&](double q) { return ms[static_cast<size_t>(q * static_cast<double>(ms.size() - 1))]; };
    char text[160];
    std::snprintf(text, sizeof text, "per position: median %.3f ms, p99 %.3f ms, max %.3f ms; %d/%zu exact",
                  pick(0.5), pick(0.99), ms.back(), exact, ms.size());
    return text;
}

// Each run goes once over every position and reports the time per position.
void BM_Expert_baseline(benchmark::State& state)
{
    const auto& positions = expertPositions();
    cCompute comp;
    std::vector<double> ms;
    for (auto _ : state) {
        for (const auto& field : positions) {
            const auto start = std::chrono::steady_clock::now();
            comp.Init(cCompute::CmdScriptA, field.get());
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(positions.size()));
    state.SetLabel("ScriptA on the stopped position (one basic and one pair pass); "
                   + spread(ms, static_cast<int>(positions.size())));
}

void BM_Expert_odds(benchmark::State& state)
{
    const auto& positions = expertPositions();
    std::vector<double> ms;
    int exact = 0;
    for (auto _ : state) {
        for (const auto& field : positions) {
            const auto start = std::chrono::steady_clock::now();
            const Odds odds = computeOdds(*field);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            exact += odds.exact;
            benchmark::DoNotOptimize(odds.mine.data());
        }
    }
    state.SetLabel("computeOdds; target median < 0.5 ms, p99 < 10 ms; " + spread(ms, exact));
}

// The largest level's standard position, against ScriptA from the same position.
void BM_Largest_baseline(benchmark::State& state)
{
    cField field;
    field.Setup(BigPosition::Width, BigPosition::Height, BigPosition::Mines, ViewMode::Normal, ZoomSize::Tiny);
    cCompute comp;
    for (auto _ : state) {
        state.PauseTiming();
        BigPosition::deal(field);
        state.ResumeTiming();
        comp.Init(cCompute::CmdScriptA, &field);
    }
    state.SetLabel("ScriptA to its end");
}

void BM_Largest_odds(benchmark::State& state)
{
    cField field;
    field.Setup(BigPosition::Width, BigPosition::Height, BigPosition::Mines, ViewMode::Normal, ZoomSize::Tiny);
    BigPosition::deal(field);
    Odds odds;
    for (auto _ : state)
        benchmark::DoNotOptimize(odds = computeOdds(field));
    state.SetLabel(std::string("computeOdds; target < 30 ms; ") + (odds.exact ? "exact" : "NOT exact") + ", "
                   + std::to_string(odds.safe.size()) + " safe, " + std::to_string(odds.mined.size()) + " mined");
}

void BM_Largest_proofs(benchmark::State& state)
{
    cField field;
    field.Setup(BigPosition::Width, BigPosition::Height, BigPosition::Mines, ViewMode::Normal, ZoomSize::Tiny);
    BigPosition::deal(field);
    const OddsInput input = OddsInput::read(field);
    for (auto _ : state) {
        OddsEngine engine;
        benchmark::DoNotOptimize(engine.analyse(input, OddsEngine::Mode::ProofsOnly, std::chrono::milliseconds(200)));
    }
    state.SetLabel("a fresh engine, proofs only, from a snapshot");
}

void BM_Largest_snapshot(benchmark::State& state)
{
    cField field;
    field.Setup(BigPosition::Width, BigPosition::Height, BigPosition::Mines, ViewMode::Normal, ZoomSize::Tiny);
    BigPosition::deal(field);
    for (auto _ : state)
        benchmark::DoNotOptimize(OddsInput::read(field));
    state.SetLabel("OddsInput::read, on the field's thread");
}

void BM_Largest_complete(benchmark::State& state)
{
    cField field;
    field.Setup(BigPosition::Width, BigPosition::Height, BigPosition::Mines, ViewMode::Normal, ZoomSize::Tiny);
    CompleteRun run;
    for (auto _ : state) {
        state.PauseTiming();
        BigPosition::deal(field);
        state.ResumeTiming();
        run = completeByOdds(field);
    }
    state.SetLabel("complete auto-completion; target < 150 ms; " + std::to_string(run.rounds) + " rounds, "
                   + std::to_string(run.opened) + " opened, " + std::to_string(run.flagged) + " flagged"
                   + (run.exact ? "" : ", NOT exact"));
}
}

BENCHMARK(BM_Expert_baseline)->Name("OddsExpert/baseline")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Expert_odds)->Name("OddsExpert/odds")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Largest_baseline)->Name("OddsLargest/baseline")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Largest_odds)->Name("OddsLargest/odds")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Largest_proofs)->Name("OddsLargest/proofs")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Largest_snapshot)->Name("OddsLargest/snapshot")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Largest_complete)->Name("OddsLargest/complete")->Unit(benchmark::kMillisecond)->Iterations(3);
