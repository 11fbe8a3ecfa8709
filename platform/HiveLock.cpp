#include "HiveLock.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A blocking flock() cannot be given a deadline without a signal, which a library
// has no business taking over. So a waiting writer asks again at a short, constant
// interval: each waiter is back within this time of any release and stands the
// same chance as a newcomer, where growing pauses left the longest waiter asleep
// while newcomers took the lock one after another.
constexpr std::chrono::milliseconds kPollInterval{2};
constexpr mode_t kLockFileMode = 0644;

QString systemText(int error)
{
    QString text = QString::fromLocal8Bit(std::strerror(error));
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}
}

HiveLock::HiveLock(const QString& hivePath) : m_path(hivePath + QStringLiteral(".lock")) {}

HiveLock::~HiveLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

HiveLock::Result HiveLock::unusable(int error)
{
    m_denied = error == EACCES || error == EPERM || error == EROFS;
    m_problem = error == ELOOP ? QStringLiteral("registry lock %1 is a symbolic link").arg(m_path)
                               : QStringLiteral("registry lock %1: %2").arg(m_path, systemText(error));
    return Result::Unusable;
}

HiveLock::Result HiveLock::lock(std::chrono::steady_clock::time_point deadline)
{
    if (m_fd >= 0)
        return Result::Locked;
    const QByteArray name = QFile::encodeName(m_path);
    // Never through a link, never the caller's terminal, never blocking on a pipe;
    // and not inherited by programs this one starts, or they would hold the lock.
    constexpr int flags = O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | flags, kLockFileMode);
    const int openError = errno;
    // flock() needs no write access: a lock file the player may only read serves.
    if (fd < 0)
        fd = ::open(name.constData(), O_RDONLY | flags);
    if (fd < 0)
        return unusable(openError);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        m_problem = folder ? QStringLiteral("registry lock %1 is a folder").arg(m_path)
                           : QStringLiteral("registry lock %1 is not a regular file").arg(m_path);
        return Result::Unusable;
    }
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return Result::Locked;
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            ::close(fd);
            return unusable(error);
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            ::close(fd);
            m_problem = QStringLiteral("registry lock %1 is held by another writer that did not finish in time")
                            .arg(m_path);
            return Result::TimedOut;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kPollInterval, deadline - now));
    }
}
