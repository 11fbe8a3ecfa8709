#pragma once

class QString;
class fMines9;

// Start-up of the main game beyond its window.
namespace mGlobal {
// False when another copy of the game is already running: the caller then ends
// at once, before showing its window and without saving anything. Otherwise the
// notification component shows its window for the game.
bool NotifyStart();
// The name the game's single-instance lock goes by.
inline constexpr char ProgramName[] = "gridwarden";

// A copy that ends at once asks the running one to come to the front and, given
// a minefield file (named as on the command line, relative to this process's
// working folder), to import it.
void handOver(const QString& file);
// The running copy answers those requests for the life of its window: it comes
// forward and imports the file as the File menu would.
void answerLaterCopies(fMines9& window);
}
