#pragma once

// Start-up of the main game beyond its window.
namespace mGlobal {
// False when another copy of the game is already running: the caller then ends
// at once, before showing its window and without saving anything. Otherwise the
// notification component shows its window for the game.
bool NotifyStart();
// The name the game's single-instance lock goes by.
inline constexpr char ProgramName[] = "gridwarden";
}
