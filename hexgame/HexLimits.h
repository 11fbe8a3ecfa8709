#pragma once

#include <algorithm>
#include <cmath>

// The sizes a board may have. The fixed levels keep to them by their table; a
// custom size, whether typed into the dialog or read from the settings file,
// goes through clampCustom.
namespace Limits {
constexpr int MinSide = 8;
constexpr int MaxSide = 30;
constexpr int MinMines = 8;

// A custom board as it was asked for. Fractions are kept: the dialog corrects
// only the boxes that break a rule, and leaves a typed "8.5" as it is.
struct CustomSize {
    double cols = 0;
    double rows = 0;
    double mines = 0;
};

// Columns and rows 8..30, mines from 8 up to a third of the cells, rounded
// down. The order matters: the mines are held to the corrected sizes. At most a
// third of the cells holding mines is what lets the deal always find a free cell.
inline CustomSize clampCustom(CustomSize size)
{
    size.cols = std::clamp<double>(size.cols, MinSide, MaxSide);
    size.rows = std::clamp<double>(size.rows, MinSide, MaxSide);
    size.mines = std::max<double>(size.mines, MinMines);
    const double third = size.cols * size.rows / 3.0;
    if (third < size.mines)
        size.mines = std::floor(third);
    return size;
}
}
