#pragma once

#include <QString>

#include <chrono>

// The lock that lets one writer at a time change a registry hive: an flock(2) on
// a file beside the hive. The kernel drops it when its holder ends, however it
// ends, so a lock is never taken from a live writer however slow it is, and never
// outlives a dead one; the lock file itself stays and serves the next writer.
// Readers take no lock: hives are only ever replaced whole.
class HiveLock {
public:
    enum class Result { Locked, TimedOut, Unusable };

    explicit HiveLock(const QString& hivePath);
    ~HiveLock();
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

    // Takes the lock, waiting for another writer until deadline at the latest.
    // Unusable: the lock file cannot serve at all (a folder stands there, it may
    // not be opened, the file system takes no locks), so waiting would not help.
    Result lock(std::chrono::steady_clock::time_point deadline);
    // What stood in the way, for the player: "registry lock <path> is a folder".
    QString problem() const { return m_problem; }
    // Whether the lock file was refused for want of permission.
    bool denied() const { return m_denied; }
    QString path() const { return m_path; }

private:
    Result unusable(int error);

    QString m_path;
    int m_fd = -1;
    QString m_problem;
    bool m_denied = false;
};
