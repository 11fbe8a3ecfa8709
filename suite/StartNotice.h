#pragma once

#include <QString>

// The last step of both games' start-up: the notification component, created by
// its name (ComponentNames::ProgId), is asked to show its window for the game, and let
// go at once. A copy installed with the games but not yet known to this player's
// registry is registered from the program's folder first. Every failure (no
// component, a broken one, a call that throws) is passed over without a word.
void NotifyStartComponent();

// The whole last step of a game's start-up: false when another copy of the
// program runs (the caller then ends before showing its window); otherwise the
// game goes on, and the component is notified as above once the game's first
// frame is on the screen.
bool NotifyStartAsOnlyCopy(const QString& programName);
