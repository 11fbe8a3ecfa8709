#pragma once

// The numbers of the pictures in the bitmap resources (":/bitmaps/<number>.bmp").
// tools/draw_bitmaps.py reads this file to number the pictures it draws and the
// resource list it writes, so each code stays written as `constexpr int Name = number;`.

// Base codes of the board's cells; the zoom size adds its offset (cAdd) to them.
namespace PicCode {
constexpr int Empty = 100;      // opened without a number, also the pressed look; 101..108 show 1..8
constexpr int Flag = 109;
constexpr int Mine = 110;
constexpr int Covered = 111;
constexpr int Exploded = 112;
constexpr int WrongFlag = 113;
}

// What each zoom size adds to the base codes: cells of 4, 8, 15 and 31 pixels.
namespace PicOffset {
constexpr int Tiny = 0;
constexpr int Small = 20;
constexpr int Normal = 40;
constexpr int Large = 60;
}

// The smile button's faces.
namespace SmilePic {
constexpr int Won = 200;        // grinning face wearing sunglasses
constexpr int Ready = 201;      // plain smiling face, also while a game runs
constexpr int Pressed = 202;    // surprised face, while a button is down on the board
constexpr int Resetting = 203;  // wide-eyed face, while a new board is dealt
constexpr int Lost = 204;       // blue crying face
}
