#pragma once

#include <QString>

// The folder of the running program: the programs, the component, the help text
// and the local page ship side by side in it.
QString AppPath();

// Tests point the programs at a folder of their own; an empty string restores the real one.
void setAppPath(const QString& folder);
