#include "PlainFlood.h"
#include "ReferenceEngine.h"

#include "AppCodes.h"
#include "FieldCodes.h"
#include "GivenFileDialog.h"
#include "Odds.h"
#include "OddsDisplay.h"
#include "OddsFollower.h"
#include "PictureBox.h"
#include "cCompute.h"
#include "cField.h"
#include "cFile.h"
#include "fMines9.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <memory>

namespace {
constexpr quint32 BigSeed = 20240607;
constexpr int BigWidth = 255, BigHeight = 166, BigMines = 8466;

// The compute menu's items as the player chooses them.
constexpr int ItemBasic = 0;
constexpr int ItemScriptA = 4;
constexpr int ItemScriptB = 5;
// How long a run waits for the odds at most before it gives up on them.
constexpr qint64 OddsPatienceMs = 10000;

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

// Lets the window work until the odds belong to the board as it is; the time
// that took, in seconds, or a negative one when they never came.
double waitForOdds(const fMines9& window)
{
    QElapsedTimer waited;
    waited.start();
    const OddsFollower& odds = window.oddsDisplay->follower();
    while (!odds.current()) {
        if (waited.elapsed() > OddsPatienceMs)
            return -1.0;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return static_cast<double>(waited.nsecsElapsed()) / 1e9;
}

// A move on the largest board: the player opens a cell the odds show as safe.
// Timed as the window is busy with it (the move itself, then the window reading
// the board and drawing what it can show at once) and, with the odds shown,
// until they follow. Without the odds the same move is the baseline.
enum class MoveFigure { Plain, Busy, Followed };

template <MoveFigure Figure>
void runMove(benchmark::State& state)
{
    BigGame game;
    fMines9& window = game.window;
    window.mnuComp_Click(CompItem::Odds);
    for (auto _ : state) {
        game.deal();
        if (waitForOdds(window) < 0) {
            state.SkipWithError("the odds never came");
            break;
        }
        const Odds* odds = window.oddsDisplay->follower().odds();
        if (!odds || odds->safe.empty()) {
            state.SkipWithError("no cell proven safe");
            break;
        }
        const int cell = odds->safe[odds->safe.size() / 2];
        if (Figure == MoveFigure::Plain)
            window.mnuComp_Click(CompItem::Odds);
        cField& field = *window.Field;
        const float half = static_cast<float>(field.cDim()) / 2.0f;
        const float x = static_cast<float>(cell % field.Xx() * field.cDim()) + half;
        const float y = static_cast<float>(cell / field.Xx() * field.cDim()) + half;
        const auto start = std::chrono::steady_clock::now();
        field.Pic_MouseDown(PictureBox::LeftButton, 0, x, y);
        field.Pic_MouseUp(PictureBox::LeftButton, 0, x, y);
        // The follower reads the board at the next turn of the event loop, then
        // the board and the odds are painted.
        QApplication::processEvents();
        QApplication::processEvents();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (Figure == MoveFigure::Followed) {
            const double more = waitForOdds(window);
            if (more < 0) {
                state.SkipWithError("the odds never followed");
                break;
            }
            QApplication::processEvents();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        state.SetIterationTime(seconds);
        if (Figure == MoveFigure::Plain)
            window.mnuComp_Click(CompItem::Odds);
    }
}

void BM_MovePlain(benchmark::State& state)
{
    runMove<MoveFigure::Plain>(state);
    state.SetLabel("a move, 255 x 166, odds off");
}

void BM_MoveBusy(benchmark::State& state)
{
    runMove<MoveFigure::Busy>(state);
    state.SetLabel("the same, odds shown: the window busy; target < 200 ms");
}

void BM_MoveFollowed(benchmark::State& state)
{
    runMove<MoveFigure::Followed>(state);
    state.SetLabel("the same, until the odds follow; target < 500 ms");
}

// The engine behind the menu item against the reference engine driving the same
// window: the handler's time, from the click to the window's last update.
template <int Item>
void runWindow(benchmark::State& state, bool useReference, bool freshEngine = false)
{
    BigGame game;
    for (auto _ : state) {
        state.PauseTiming();
        game.deal();
        // Every run meets the same board, which an engine that remembers what it
        // counted would find again in full; a player's next board differs.
        if (freshEngine)
            game.window.Comp = std::make_unique<cCompute>();
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

// The largest board as minefield files, written once: dealt from the same seed,
// and without mines, so that opening one cell floods all of it.
QString boardFile(const QString& name, const QByteArray& bytes)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0)
        return QString();
    return path;
}

QString bigBoardFile()
{
    static const QString path = [] {
        cField field;
        field.Randomize(BigSeed);
        field.Setup(BigWidth, BigHeight, BigMines, ViewMode::Normal, ZoomSize::Tiny);
        return boardFile(QStringLiteral("big.fld"), cFile::FormatFld(field));
    }();
    return path;
}

QString emptyBoardFile()
{
    static const QString path = [] {
        QByteArray bytes;
        for (int y = 0; y < BigHeight; ++y)
            bytes += QByteArray(BigWidth, '0') + "\r\n";
        return boardFile(QStringLiteral("empty.fld"), bytes);
    }();
    return path;
}

enum class FirstCommand { PlainBasic, Basic, BasicAgain, PlainFlood, Flood };

// The first command on a board just imported into the window: every run imports
// the file again, so the field and all it keeps are new, while the engine is the
// window's own, as it is for a player. The flood opens the cell as a click
// does, drawing every cell it opens into the window's board.
void runImported(benchmark::State& state, FirstCommand command)
{
    BigGame game;
    fMines9& window = game.window;
    const bool flood = command == FirstCommand::PlainFlood || command == FirstCommand::Flood;
    const QString file = flood ? emptyBoardFile() : bigBoardFile();
    for (auto _ : state) {
        state.PauseTiming();
        window.CommonDialog1 = std::make_unique<GivenFileDialog>(file);
        window.mnuFile_Click(FileItem::Import);
        QApplication::processEvents();
        if (file.isEmpty() || !file.endsWith(window.Field->Tag)) {
            state.SkipWithError("the board was not imported");
            break;
        }
        if (command == FirstCommand::BasicAgain)
            window.mnuComp_Click(ItemBasic);
        // The board the import replaced gives its memory back to the system, so
        // that what the new one needs is as new as on the first import of a run.
        malloc_trim(0);
        state.ResumeTiming();
        switch (command) {
        case FirstCommand::PlainBasic:
            ReferenceEngine(*window.Field).ApplyComp(1);
            break;
        case FirstCommand::Basic:
        case FirstCommand::BasicAgain:
            window.mnuComp_Click(ItemBasic);
            break;
        case FirstCommand::PlainFlood:
            PlainFlood::open(*window.Field, 0);
            break;
        case FirstCommand::Flood:
            window.Field->ChkCell(0);
            break;
        }
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_ImportedBasic_baseline(benchmark::State& state)
{
    runImported(state, FirstCommand::PlainBasic);
    state.SetLabel("reference basic pass on a board just imported");
}

void BM_ImportedBasic_window(benchmark::State& state)
{
    runImported(state, FirstCommand::Basic);
    state.SetLabel("mnuComp_Click(0) on a board just imported; target < 1 ms");
}

void BM_ImportedBasic_again(benchmark::State& state)
{
    runImported(state, FirstCommand::BasicAgain);
    state.SetLabel("the same, the second time");
}

void BM_ImportedFlood_baseline(benchmark::State& state)
{
    runImported(state, FirstCommand::PlainFlood);
    state.SetLabel("plain recursive flood, drawn, on a board just imported");
}

void BM_ImportedFlood_window(benchmark::State& state)
{
    runImported(state, FirstCommand::Flood);
    state.SetLabel("first flood, drawn, of 42,330 cells just imported");
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

// The complete auto-completion against the advanced one, both from the menu.
void BM_WindowComplete_baseline(benchmark::State& state)
{
    runWindow<ItemScriptB>(state, false);
    state.SetLabel("mnuComp_Click(5), 255 x 166");
}

void BM_WindowComplete_window(benchmark::State& state)
{
    runWindow<CompItem::Complete>(state, false, true);
    state.SetLabel("mnuComp_Click(7), 255 x 166, first use; target < 150 ms");
}

void BM_WindowComplete_again(benchmark::State& state)
{
    runWindow<CompItem::Complete>(state, false);
    state.SetLabel("mnuComp_Click(7) again on the same board");
}
}

// Every run deals the board again (tens of milliseconds outside the timing), so
// the runs are counted rather than left to the minimum measuring time.
BENCHMARK(BM_WindowBasic_baseline)->Name("WindowItem0/baseline")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_WindowBasic_window)->Name("WindowItem0/window")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ImportedBasic_baseline)->Name("WindowItem0Cold/baseline")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ImportedBasic_window)->Name("WindowItem0Cold/window")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ImportedBasic_again)->Name("WindowItem0Cold/again")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ImportedFlood_baseline)->Name("WindowFloodCold/baseline")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ImportedFlood_window)->Name("WindowFloodCold/window")->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_WindowScriptA_baseline)->Name("WindowItem4/baseline")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WindowScriptA_window)->Name("WindowItem4/window")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowScriptB_baseline)->Name("WindowItem5/baseline")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WindowScriptB_window)->Name("WindowItem5/window")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowComplete_baseline)->Name("WindowItem7/baseline")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowComplete_window)->Name("WindowItem7/window")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowComplete_again)->Name("WindowItem7/again")->Unit(benchmark::kMillisecond)->Iterations(5);
// Timed by hand: only the move counts, not the deal and the odds of the deal before it.
BENCHMARK(BM_MovePlain)->Name("WindowMove/baseline")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_MoveBusy)->Name("WindowMove/odds-busy")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_MoveFollowed)->Name("WindowMove/odds-followed")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
