#pragma once

#include <array>

// A cell's neighbours on a board of w x h, in the order its list holds them: the
// row above from left to right, left, right, then the row below. Everything that
// works a list out instead of reading it (the flood, the engine's view of the
// board) takes the order from here, the same place SetNgh takes it from.
namespace GridNeighbours {
constexpr int Slots = 8;
constexpr std::array<int, Slots> Dx = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr std::array<int, Slots> Dy = {-1, -1, -1, 0, 0, 1, 1, 1};
// Every slot on the board: a cell away from the border.
constexpr unsigned AllSlots = (1u << Slots) - 1;

// Bit k set when slot k of the cell at column x, row y lies on the board.
constexpr unsigned slotMask(int x, int y, int w, int h)
{
    const bool left = x > 0, right = x < w - 1, up = y > 0, down = y < h - 1;
    return (up && left ? 1u : 0u) | (up ? 2u : 0u) | (up && right ? 4u : 0u) | (left ? 8u : 0u)
        | (right ? 16u : 0u) | (down && left ? 32u : 0u) | (down ? 64u : 0u) | (down && right ? 128u : 0u);
}

// The index of slot k of cell index on a board w cells wide.
constexpr int neighbour(int index, int k, int w)
{
    return index + Dy[static_cast<unsigned>(k)] * w + Dx[static_cast<unsigned>(k)];
}
}
