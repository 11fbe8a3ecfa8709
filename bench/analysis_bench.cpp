#include "BigPosition.h"
#include "ReferenceEngine.h"

#include "FieldCodes.h"
#include "cCompute.h"
#include "cField.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {
constexpr int BigW = BigPosition::Width, BigH = BigPosition::Height, BigMines = BigPosition::Mines;

// Two opened numbers two steps apart diagonally, everything else covered: they
// share one cell and between them see fifteen, so the reference pair deduction lists
// 2^15 placements. The 8 makes the pair decide at once, so it is the only one.
void dealPairOf15(cField& field)
{
    field.Setup(8, 7, 0, ViewMode::Normal, ZoomSize::Tiny);
    const int w = field.Xx();
    const int p1 = 2 * w + 2, p2 = 4 * w + 4;
    for (int n : field.Cell(p2)->Ngh())
        field.Cell(n)->setMine(true);
    field.CntNr();
    field.ChkCell(p1);
    field.ChkCell(p2);
}

void BM_Pair15_baseline(benchmark::State& state)
{
    cField field;
    dealPairOf15(field);
    ReferenceEngine reference(field);
    for (auto _ : state)
        benchmark::DoNotOptimize(reference.CompAdvanced());
    state.SetLabel("one pair, 15 covered cells, reference");
}

void BM_Pair15_engine(benchmark::State& state)
{
    cField field;
    dealPairOf15(field);
    cCompute comp;
    comp.setField(&field);
    for (auto _ : state)
        benchmark::DoNotOptimize(comp.CompAdvanced());
    state.SetLabel("one pair, 15 covered cells; target >= 20x");
}

template <int Alg>
void runScriptBaseline(benchmark::State& state)
{
    cField field;
    field.Setup(BigW, BigH, BigMines, ViewMode::Normal, ZoomSize::Tiny);
    for (auto _ : state) {
        state.PauseTiming();
        BigPosition::deal(field);
        ReferenceEngine reference(field);
        state.ResumeTiming();
        if constexpr (Alg == cCompute::CmdScriptA)
            reference.ScriptA();
        else
            reference.ScriptB();
    }
    state.SetLabel("reference, to the end");
}

template <int Alg>
void runScriptEngine(benchmark::State& state)
{
    cField field;
    field.Setup(BigW, BigH, BigMines, ViewMode::Normal, ZoomSize::Tiny);
    cCompute comp;
    for (auto _ : state) {
        state.PauseTiming();
        BigPosition::deal(field);
        state.ResumeTiming();
        comp.Init(Alg, &field);
    }
    state.SetLabel("255 x 166, 8,466 mines, empty regions open; target < 200 ms, >= 20x");
}

// The same run with a receiver of the field's events, as the window is in the
// game: the engine takes the same path, and every pass ends with the field's mine
// recount and win check, which the field answers from its running counts.
template <int Alg>
void runScriptWatched(benchmark::State& state)
{
    cField field;
    field.Setup(BigW, BigH, BigMines, ViewMode::Normal, ZoomSize::Tiny);
    int updates = 0;
    QObject::connect(&field, &cField::Update, [&updates](int) { ++updates; });
    cCompute comp;
    for (auto _ : state) {
        state.PauseTiming();
        BigPosition::deal(field);
        updates = 0;
        state.ResumeTiming();
        comp.Init(Alg, &field);
    }
    state.SetLabel(std::to_string(updates) + " passes, each settled by the field; target: as engine only");
}

void BM_ScriptA_baseline(benchmark::State& state) { runScriptBaseline<cCompute::CmdScriptA>(state); }
void BM_ScriptA_engine(benchmark::State& state) { runScriptEngine<cCompute::CmdScriptA>(state); }
void BM_ScriptB_baseline(benchmark::State& state) { runScriptBaseline<cCompute::CmdScriptB>(state); }
void BM_ScriptB_engine(benchmark::State& state) { runScriptEngine<cCompute::CmdScriptB>(state); }
void BM_ScriptA_watched(benchmark::State& state) { runScriptWatched<cCompute::CmdScriptA>(state); }
void BM_ScriptB_watched(benchmark::State& state) { runScriptWatched<cCompute::CmdScriptB>(state); }
}

BENCHMARK(BM_Pair15_baseline)->Name("Pair15/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pair15_engine)->Name("Pair15/engine")->Unit(benchmark::kMicrosecond);
// A single run of a reference script (seconds on this board) already exceeds the
// minimum measuring time, so each is run once; so are the watched ones.
BENCHMARK(BM_ScriptA_baseline)->Name("ScriptA/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptA_engine)->Name("ScriptA/engine")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptA_watched)->Name("ScriptA/watched")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptB_baseline)->Name("ScriptB/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptB_engine)->Name("ScriptB/engine")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptB_watched)->Name("ScriptB/watched")->Unit(benchmark::kMillisecond);
