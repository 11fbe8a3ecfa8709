#include "PlainFlood.h"

#include "FieldCodes.h"
#include "cField.h"
#include "cFile.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

namespace {
constexpr int BigW = 255, BigH = 166, BigMines = 8466;

template <bool Recursive>
void floodEmptyBoard(benchmark::State& state)
{
    cField field;
    field.Setup(BigW, BigH, 0, ViewMode::Normal, ZoomSize::Tiny);
    for (auto _ : state) {
        state.PauseTiming();
        field.Reset();
        state.ResumeTiming();
        if constexpr (Recursive)
            PlainFlood::open(field, 0);
        else
            field.ChkCell(0);
    }
    state.SetLabel("42,330 cells from cell 0; target < 5 ms");
}

void BM_Flood_baseline(benchmark::State& state) { floodEmptyBoard<true>(state); }
void BM_Flood_field(benchmark::State& state) { floodEmptyBoard<false>(state); }

// The largest board without mines as a file names it.
QByteArray emptyBoardFile()
{
    QByteArray bytes;
    for (int y = 0; y < BigH; ++y)
        bytes += QByteArray(BigW, '0') + "\r\n";
    return bytes;
}

// The first flood on a field just imported: every run builds a new field the way
// an import does, so nothing the field keeps has been used before.
template <bool Recursive>
void floodImportedBoard(benchmark::State& state)
{
    const QByteArray file = emptyBoardFile();
    std::unique_ptr<cField> field;
    for (auto _ : state) {
        state.PauseTiming();
        // What the last board took goes back to the system, so that the new one
        // meets memory this process has never touched, as the first board of a
        // run does, instead of the pages the last one left warm.
        field.reset();
        malloc_trim(0);
        field = cFile::ParseFld(file, QStringLiteral("empty.fld"));
        state.ResumeTiming();
        if constexpr (Recursive)
            PlainFlood::open(*field, 0);
        else
            field->ChkCell(0);
    }
    state.SetLabel("first flood on an imported 255 x 166; target < 2 ms");
}

void BM_FloodCold_baseline(benchmark::State& state) { floodImportedBoard<true>(state); }
void BM_FloodCold_field(benchmark::State& state) { floodImportedBoard<false>(state); }

void BM_Reset_field(benchmark::State& state)
{
    cField field;
    field.Randomize(1);
    field.Setup(BigW, BigH, BigMines, ViewMode::Normal, ZoomSize::Tiny);
    for (auto _ : state)
        field.Reset();
    state.SetLabel("255 x 166, 8,466 mines; target < 5 ms");
}

// A reset of the same board without mines: what placing the mines adds.
void BM_Reset_baseline(benchmark::State& state)
{
    cField field;
    field.Setup(BigW, BigH, 0, ViewMode::Normal, ZoomSize::Tiny);
    for (auto _ : state)
        field.Reset();
    state.SetLabel("255 x 166 without mines");
}
}

BENCHMARK(BM_Flood_baseline)->Name("Flood/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Flood_field)->Name("Flood/field")->Unit(benchmark::kMillisecond);
// Every run imports the board again, which takes longer than the flood, so the
// runs are counted rather than left to the minimum measuring time.
BENCHMARK(BM_FloodCold_baseline)->Name("FloodCold/baseline")->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_FloodCold_field)->Name("FloodCold/field")->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_Reset_baseline)->Name("Reset/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reset_field)->Name("Reset/field")->Unit(benchmark::kMillisecond);
