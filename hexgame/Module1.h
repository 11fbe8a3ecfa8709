#pragma once

class Form1;
class QApplication;

// Start-up of the hex game beyond its window.
namespace Module1 {
// False when another copy of the game is already running: the caller then ends
// at once, before showing its window and without saving anything. Otherwise the
// notification component shows its window for the game.
bool NotifyStart();
// The name the game's single-instance lock goes by.
inline constexpr char ProgramName[] = "patternsweep";

// The program's life around its window, in this order, shared with the tests that
// run the game as a process of its own: prepareApplication before the
// application exists, setUpApplication right after it, then the window, then
// runWindow, whose result is the program's exit code.
void prepareApplication();
void setUpApplication(QApplication& app);
// Shows the window and runs until it closes. A second copy ends at once, after
// asking the running one to come to the front. A termination signal closes the
// window as the player would, so the settings are saved, and ends the program
// normally.
int runWindow(Form1& window);
}
