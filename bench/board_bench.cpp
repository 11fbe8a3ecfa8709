#include "FieldCodes.h"
#include "cField.h"

#include "LoadResPicture.h"
#include "PictureBox.h"

#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// A board in the middle of a game: mines, opened regions with numbers, flags.
void playSome(cField& field, int width, int height, int mines, int size)
{
    field.Randomize(7);
    field.Setup(width, height, mines, ViewMode::Normal, size);
    const int count = width * height;
    for (int i = 0; i < count; i += 97) {
        cCell* cell = field.Cell(i);
        if (cell->Mine())
            cell->Check(CellAction::ToggleFlag, field);
        else
            field.ChkCell(i);
    }
}

struct PlayedBoard {
    PictureBox box;
    cField field;

    PlayedBoard(int width, int height, int mines, int size)
    {
        field.setPic(&box);
        playSome(field, width, height, mines, size);
        box.show();
    }
};

// Every cell drawn the way a picture box without a kept painter draws it: a new
// painter on the canvas for each picture.
void BM_Repaint_baseline(benchmark::State& state, int width, int height, int mines, int size)
{
    PlayedBoard board(width, height, mines, size);
    cField& field = board.field;
    QImage canvas(board.box.canvas().size(), QImage::Format_RGB32);
    const int px = field.cDim() / PictureBox::TwipsPerPixel;
    for (auto _ : state) {
        for (int i = 0; field.Cell(i); ++i) {
            cCell* cell = field.Cell(i);
            QPainter painter(&canvas);
            painter.drawImage(QPoint(cell->X() * px, cell->Y() * px),
                              LoadResPicture(cell->PicBase(field) + field.cAdd()));
        }
        benchmark::DoNotOptimize(canvas.constBits());
    }
    state.SetLabel("one painter per cell");
}

// A refresh as the window asks for it: the Paint event redraws every cell, then
// the box shows its canvas.
void BM_Repaint_field(benchmark::State& state, int width, int height, int mines, int size)
{
    PlayedBoard board(width, height, mines, size);
    for (auto _ : state) {
        board.box.Refresh();
        benchmark::DoNotOptimize(board.box.canvas().constBits());
    }
    state.SetLabel(std::to_string(width * height) + " cells; target < 5 ms");
}
}

BENCHMARK_CAPTURE(BM_Repaint_baseline, tiny, 255, 166, 8000, ZoomSize::Tiny)
    ->Name("Repaint/baseline/255x166_tiny")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Repaint_field, tiny, 255, 166, 8000, ZoomSize::Tiny)
    ->Name("Repaint/field/255x166_tiny")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Repaint_baseline, normal, 68, 44, 500, ZoomSize::Normal)
    ->Name("Repaint/baseline/68x44_normal")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Repaint_field, normal, 68, 44, 500, ZoomSize::Normal)
    ->Name("Repaint/field/68x44_normal")
    ->Unit(benchmark::kMillisecond);
