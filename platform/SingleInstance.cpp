#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The lock files this process holds, by program name: each stays open, and so
// locked, until the process ends, when the kernel lets go of it whatever the way
// the process ended. A dead copy therefore never keeps the next one out.
std::map<QString, int>& heldLocks()
{
    static std::map<QString, int> locks;
    return locks;
}

QString safeName(const QString& programName)
{
    QString name;
    for (const QChar c : programName)
        name += c.isLetterOrNumber() || c == u'-' || c == u'_' ? c : QChar(u'_');
    return name.isEmpty() ? QStringLiteral("program") : name;
}

// A folder nobody else can put files in: owned by this user and closed to the
// group and to others. Anyone who could write there could plant a lock that
// keeps the player's game from starting.
bool isPrivateFolder(const QString& folder)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString privateFolder()
{
    // The session's runtime folder is private by definition (the toolkit checks
    // its owner and mode and gives nothing otherwise).
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    // Without one, the shared temporary folder will not do: another user could
    // have made the lock there first. The player's own cache folder will.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    const QString folder = QDir(cache).filePath(QStringLiteral("dorvik-locks"));
    ::mkdir(QFile::encodeName(cache).constData(), 0700);
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return isPrivateFolder(folder) ? folder : QString();
}

// Opens the lock file, making it if need be. What stands in its way is cleared
// when it can only be a leftover of this user's: an empty folder, a link, a pipe,
// a file this user owns but cannot open.
int openLockFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        struct stat st {};
        if (fd >= 0) {
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
                return fd;
            ::close(fd);
        }
        if (::lstat(name.constData(), &st) != 0 || st.st_uid != ::geteuid())
            return -1;
        const bool cleared = S_ISDIR(st.st_mode) ? ::rmdir(name.constData()) == 0 : ::unlink(name.constData()) == 0;
        if (!cleared)
            return -1;
    }
    return -1;
}

QByteArray readAll(int fd)
{
    QByteArray bytes;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || bytes.size() > 4096)
            return bytes;
        bytes.append(buffer, n);
    }
}

// The holder's process id and host, for people and programs that look at the
// file; the lock itself is the kernel's.
void describeHolder(int fd)
{
    const QByteArray text = QByteArray::number(::getpid()) + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.constData(), static_cast<size_t>(text.size()), 0);
    }
}

// A lock held by a copy on another machine (a home folder shared over the
// network) says nothing about this one.
bool heldOnThisMachine(int fd)
{
    const QList<QByteArray> lines = readAll(fd).split('\n');
    return lines.size() < 2 || lines[1].isEmpty() || lines[1] == QSysInfo::machineHostName().toUtf8();
}
}

QString singleInstanceLockPath(const QString& programName)
{
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(safeName(programName) + QStringLiteral(".lock"));
}

QString singleInstanceSocketPath(const QString& programName)
{
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(safeName(programName) + QStringLiteral(".socket"));
}

bool holdsSingleInstanceLock(const QString& programName)
{
    return heldLocks().count(programName) != 0;
}

bool AnotherCopyRunning(const QString& programName)
{
    auto& locks = heldLocks();
    if (locks.count(programName))
        return false;
    // A lock that cannot be made at all (no private folder, a folder full of
    // someone's files in its place) says nothing about other copies; the program
    // then runs rather than refusing to.
    const QString path = singleInstanceLockPath(programName);
    if (path.isEmpty())
        return false;
    const int fd = openLockFile(path);
    if (fd < 0)
        return false;
    int locked = -1;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        describeHolder(fd);
        locks.emplace(programName, fd);
        return false;
    }
    const bool running = errno == EWOULDBLOCK && heldOnThisMachine(fd);
    ::close(fd);
    return running;
}
