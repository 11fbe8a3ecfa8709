#pragma once

#include "HexLimits.h"

#include <QtGlobal>

#include <array>

// The numbers the hex game's behaviour fixes: cell values, sprite indices, the
// board geometry in pixels and the level table; the size limits are in HexLimits.h.

// Cell values: 0..6 neighbouring mines, or a mine.
constexpr qint16 MineValue = 7;

namespace Sprite {
constexpr int Open = 0;          // 1..6: Open + the count
constexpr int Mine = 7;          // mine shown after a loss
constexpr int Exploded = 8;      // the mine whose opening lost the game
constexpr int Covered = 9;
constexpr int Flagged = 10;      // also every covered mine after a win
constexpr int Question = 11;     // on the sheet only
constexpr int WrongFlag = 12;    // flag on a safe cell, shown after a loss
constexpr int Mask = 13;
constexpr int Width = 19;
constexpr int Height = 24;
}

namespace Board {
constexpr int MaxSide = Limits::MaxSide;   // no board is wider or taller
constexpr int PitchX = 18;
constexpr int PitchY = 17;
constexpr int EvenRowShift = 9;   // even rows sit half a cell further right
constexpr int PressTop = 3;       // a press maps to rows from 3 pixels down
// The board box around the cells, border included, and its border.
constexpr int ExtraWidth = 14;
constexpr int ExtraHeight = 12;
constexpr int Border = 2;
}

namespace Level {
constexpr qint16 Beginner = 0;
constexpr qint16 Intermediate = 1;
constexpr qint16 Professional = 2;
constexpr qint16 Custom = 3;
}

struct LevelSize {
    qint16 cols;
    qint16 rows;
    qint16 mines;
};

// Levels 0 to 2; the custom level takes the custom dialog's boxes.
constexpr std::array<LevelSize, 3> Levels = {{{8, 8, 8}, {16, 16, 35}, {30, 16, 80}}};

// Colours as the window sets them.
namespace FaceColour {
constexpr unsigned Playing = 0xC0C0C0;
constexpr unsigned Lost = 0xFF0000;
constexpr unsigned Won = 0x00FF00;
}
namespace CounterColour {
constexpr unsigned MinesLeft = 0xFF0000;
constexpr unsigned SafeLeft = 0x00FF00;
}

// The face button's captions: in a symbol font these letters are the faces.
namespace Face {
constexpr char Playing[] = "K";
constexpr char Won[] = "J";
constexpr char Lost[] = "L";
}

constexpr int ClockCap = 999;

// A level's score before any record: the clock's cap and "anonymous".
namespace ScoreDefault {
constexpr char Time[] = "999";
constexpr char Name[] = "匿名";
}
