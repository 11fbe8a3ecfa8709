#pragma once

#include <QString>

// Whether another live process of the program with this name is running on this
// machine. The first call that finds no other copy takes the program's lock and
// keeps it for the rest of this process, so a copy started later sees this one;
// calls after that answer false. Only a live holder counts: the lock is the
// kernel's and goes with the process that held it, so nothing a dead copy left
// behind, nor anything else lying where the lock should be, stops a start.
bool AnotherCopyRunning(const QString& programName);

// Where the lock of that program lives: one file per program name in a folder
// only this user can write (the session's runtime folder, else one in the
// user's cache folder); empty when there is no such folder.
QString singleInstanceLockPath(const QString& programName);

// Where the copy holding that program's lock listens for later copies: beside the
// lock, so only this user can reach it; empty when there is no private folder.
QString singleInstanceSocketPath(const QString& programName);

// Whether this process holds that program's lock (an earlier AnotherCopyRunning
// took it).
bool holdsSingleInstanceLock(const QString& programName);
