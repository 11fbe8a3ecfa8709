#pragma once

#include "PictureCodes.h"

// The numbers below are fixed by the game's rules; every part of the program
// tests them through these names.

namespace CellStatus {
constexpr int Exploded = -1;  // a mine that was opened
constexpr int Covered = 0;
constexpr int Opened = 1;
constexpr int Flagged = 2;
constexpr int Pressed = 3;    // covered, drawn sunk in while a button is held over it
}

namespace CellAction {
constexpr int Open = 0;
constexpr int ToggleFlag = 1;
constexpr int TogglePressed = 2;
}

namespace FieldStatus {
constexpr int Lost = -1;
constexpr int Ready = 0;
constexpr int Won = 1;
constexpr int Running = 2;
constexpr int Resetting = 3;
}

namespace ViewMode {
constexpr int Normal = 0;
constexpr int Numbers = 1;
constexpr int Mines = 2;
}

namespace ZoomSize {
constexpr int Tiny = 0;
constexpr int Small = 1;
constexpr int Normal = 2;
constexpr int Large = 3;
}
