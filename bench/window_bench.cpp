#include "ReferenceEngine.h"

#include "AppCodes.h"
#include "FieldCodes.h"
#include "cField.h"
#include "fMines9.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr quint32 BigSeed = 20240607;

// The compute menu's items as the player chooses them.
constexpr int ItemBasic = 0;
constexpr int ItemScriptA = 4;
constexpr int ItemScriptB = 5;

// The game as a player has it: the main window shown, the largest level chosen
// from the Game menu, and every empty region opened. The board is dealt again
// from the same seed before every run, so all runs and both engines meet the
// same position.
class BigGame {
public:
    BigGame()
    {
        window.show();
        window.Field->Randomize(BigSeed);
        window.mnuGame_Click(GameItem::LastLevel);
        QApplication::processEvents();
    }

    void deal()
    {
        cField& field = *window.Field;
        field.Randomize(BigSeed);
        window.mnuGame_Click(GameItem::NewGame);
        for (int i = 0; cCell* cell = field.Cell(i); ++i) {
            if (!cell->Mine() && cell->Nr() == 0 && cell->Status() == CellStatus::Covered)
                field.ChkCell(i);
        }
        // What the deal drew is shown before the command starts, as it would be.
        QApplication::processEvents();
    }

    fMines9 window;
};

// The engine behind the menu item against the reference engine driving the same
// window: the handler's time, from the click to the window's last update.
template <int Item>
void runWindow(benchmark::State& state, bool useReference)
{
    BigGame game;
    for (auto _ : state) {
        state.PauseTiming();
        game.deal();
        state.ResumeTiming();
        if (useReference) {
            ReferenceEngine reference(*game.window.Field);
            if constexpr (Item == ItemBasic)
                reference.ApplyComp(1);
            else if constexpr (Item == ItemScriptA)
                reference.ScriptA();
            else
                reference.ScriptB();
        } else {
            game.window.mnuComp_Click(Item);
        }
        // The paint that shows the result is the same for both engines.
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_WindowBasic_baseline(benchmark::State& state)
{
    runWindow<ItemBasic>(state, true);
    state.SetLabel("reference basic pass in the window");
}

void BM_WindowBasic_window(benchmark::State& state)
{
    runWindow<ItemBasic>(state, false);
    state.SetLabel("mnuComp_Click(0), 255 x 166; target < 1 ms");
}

void BM_WindowScriptA_baseline(benchmark::State& state)
{
    runWindow<ItemScriptA>(state, true);
    state.SetLabel("reference ScriptA in the window");
}

void BM_WindowScriptA_window(benchmark::State& state)
{
    runWindow<ItemScriptA>(state, false);
    state.SetLabel("mnuComp_Click(4), 255 x 166; target < 30 ms");
}

void BM_WindowScriptB_baseline(benchmark::State& state)
{
    runWindow<ItemScriptB>(state, true);
    state.SetLabel("reference ScriptB in the window");
}

void BM_WindowScriptB_window(benchmark::State& state)
{
    runWindow<ItemScriptB>(state, false);
    state.SetLabel("mnuComp_Click(5), 255 x 166; target < 100 ms");
}
}

// Every run deals the board again (tens of milliseconds outside the timing), so
// the runs are counted rather than left to the minimum measuring time.
BENCHMARK(BM_WindowBasic_baseline)->Name("WindowItem0/baseline")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_WindowBasic_window)->Name("WindowItem0/window")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_WindowScriptA_baseline)->Name("WindowItem4/baseline")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WindowScriptA_window)->Name("WindowItem4/window")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowScriptB_baseline)->Name("WindowItem5/baseline")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WindowScriptB_window)->Name("WindowItem5/window")->Unit(benchmark::kMillisecond)->Iterations(5);
