#pragma once

#include <QString>

#include <functional>

class QWidget;

// A game started while a copy of it already runs does not run itself: it hands
// over to the running copy, which comes to the front instead.
namespace LaterCopies {
// The later copy's side: asks the running copy of the program to come forward
// and, given a file (an absolute name), to open it. Waits for the running copy's
// answer, trying again while it is still starting up, but never longer than a
// couple of seconds; true when the running copy answered.
bool handOver(const QString& programName, const QString& file);

// The running copy's side, for the rest of the window's life: each later copy's
// request brings the window forward; a file it names is handed to openFile,
// unless a modal dialog is open, which then comes forward instead and is left to
// finish undisturbed (the file is not opened). False when the window cannot
// listen (this process does not hold the program's lock, no socket can be made).
bool answer(QWidget* window, const QString& programName, std::function<void(const QString&)> openFile = {});

// Shows the window again if it is minimised, then raises and activates it, or
// the modal dialog open over the program if there is one; returns the one it
// brought forward.
QWidget* bringForward(QWidget* window);
}
