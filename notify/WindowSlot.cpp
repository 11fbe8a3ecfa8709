#include "WindowSlot.h"

#include "SingleInstance.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A window that finds this many shown already goes to the corner like the first.
constexpr int kMaxSlots = 32;

// The lock of one place, locked for this process; -1 when another holds it or
// something that is no lock file lies in its way.
int lockSlot(int number)
{
    const QString path = singleInstanceLockPath(QStringLiteral("tidingo-window-%1").arg(number));
    if (path.isEmpty())
        return -1;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                          0600);
    if (fd < 0)
        return -1;
    struct stat st {};
    int locked = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        do {
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
    }
    if (locked == 0)
        return fd;
    ::close(fd);
    return -1;
}
}

WindowSlot::~WindowSlot()
{
    release();
}

int WindowSlot::take()
{
    if (m_number >= 0)
        return m_number;
    for (int number = 0; number < kMaxSlots; ++number) {
        m_fd = lockSlot(number);
        if (m_fd >= 0) {
            m_number = number;
            return m_number;
        }
    }
    return 0;
}

void WindowSlot::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_number = -1;
}

int WindowSlot::number() const
{
    return m_number;
}
