#include "SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <map>
#include <memory>

namespace {
// The locks this process holds, by program name; released only when it ends.
std::map<QString, std::unique_ptr<QLockFile>>& heldLocks()
{
    static std::map<QString, std::unique_ptr<QLockFile>> locks;
    return locks;
}

QString safeName(const QString& programName)
{
    QString name;
    for (const QChar c : programName)
        name += c.isLetterOrNumber() || c == u'-' || c == u'_' ? c : QChar(u'_');
    return name.isEmpty() ? QStringLiteral("program") : name;
}
}

QString singleInstanceLockPath(const QString& programName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(safeName(programName) + QStringLiteral(".lock"));
}

bool AnotherCopyRunning(const QString& programName)
{
    auto& locks = heldLocks();
    if (locks.count(programName))
        return false;
    auto lock = std::make_unique<QLockFile>(singleInstanceLockPath(programName));
    // A copy may run for days: only a dead holder makes a lock stale, never its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        locks.emplace(programName, std::move(lock));
        return false;
    }
    // A lock that cannot be made at all (no runtime folder, no permission) says
    // nothing about other copies; the program then runs rather than refusing to.
    return lock->error() == QLockFile::LockFailedError;
}
