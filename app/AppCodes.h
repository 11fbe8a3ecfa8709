#pragma once

#include "PictureCodes.h"

#include <array>

// The numbers that the main window's behaviour fixes: menu item indices, the
// level table and the layout in twips.

namespace EditItem {
constexpr int EditMode = 0;
constexpr int Clear = 2;
constexpr int AddMine = 3;
}

namespace FileItem {
constexpr int Import = 0;
constexpr int Save = 1;
constexpr int Exit = 3;
}

namespace ViewItem {
constexpr int FirstSize = 0;  // items 0..3 are the zoom sizes, by size code
constexpr int LastSize = 3;
constexpr int FirstView = 5;  // items 5..7 are the view modes, view code + 5
constexpr int LastView = 7;
}

namespace GameItem {
constexpr int NewGame = 0;
constexpr int FirstLevel = 2;
constexpr int Expert = 4;
constexpr int FirstCornerLevel = 6;  // from here on the window starts in the screen's corner
constexpr int LastLevel = 9;
constexpr int Custom = 11;
constexpr int NoGuess = 13;  // boards won without a guess, on or off
}

namespace CompItem {
constexpr int Complete = 7;  // the complete auto-completion
constexpr int Odds = 8;      // the odds over the board, on or off
constexpr int Hint = 9;
}

struct Level {
    int width;
    int height;
    int mines;
};

// Game menu items 2 to 9, in menu order.
constexpr std::array<Level, 8> Levels = {{
    {9, 9, 10},
    {16, 16, 40},
    {30, 16, 99},
    {30, 30, 180},
    {45, 30, 270},
    {68, 44, 600},
    {128, 83, 2124},
    {255, 166, 8466},
}};

// Positions and sizes of the main window's controls, in twips.
namespace Layout {
constexpr int StripHeight = 405;
constexpr int LabelTop = 15;
constexpr int LabelWidth = 735;
constexpr int LabelHeight = 375;
constexpr int SmileTop = 45;
constexpr int SmileSide = 315;
// The window was laid out for a border of 45 twips on each side: the smile and
// the time are placed from that outer width, which puts the smile in the middle
// and the time's right edge on the board's right edge.
constexpr int FrameWidth = 90;
constexpr int SmileOffset = 180;
constexpr int TimeOffset = 825;
}
