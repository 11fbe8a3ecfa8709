#pragma once

#include <QString>

// Whether another live process of the program with this name is running. The
// first call that finds no other copy takes the program's lock and keeps it for
// the rest of this process, so a copy started later sees this one; calls after
// that answer false. A lock left behind by a process that has died does not count.
bool AnotherCopyRunning(const QString& programName);

// Where the lock of that program lives: one file per program name in the
// session's runtime folder.
QString singleInstanceLockPath(const QString& programName);
