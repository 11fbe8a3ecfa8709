#include "SafeFile.h"

#include "LineSplitter.h"
#include "LogCategories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Says why a file was refused or left unsaved. The callers pass these failures
// over without a word, and some of them read errno afterwards, so it is kept.
void tell(const QString& path, const QString& why)
{
    const int error = errno;
    qCDebug(lcFiles, "%s: %s", qUtf8Printable(path), qUtf8Printable(why));
    errno = error;
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes all of bytes at offset, going on after short writes and interrupted calls.
bool writeAllAt(int fd, const QByteArray& bytes, off_t offset)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, data, static_cast<size_t>(left), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
        offset += n;
    }
    return true;
}

// Reads up to limit bytes from the current position; false on a read error.
bool readUpTo(int fd, qint64 limit, QByteArray& out)
{
    out.clear();
    char buffer[16384];
    while (out.size() < limit) {
        const qint64 want = std::min<qint64>(sizeof buffer, limit - out.size());
        const ssize_t n = ::read(fd, buffer, static_cast<size_t>(want));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        out.append(buffer, n);
    }
    return true;
}

// Rewrites a file where it stands. The room for the new content
// is claimed before a byte changes, so a full disk refuses the save up front;
// should the write still fail, the old bytes go back where they were.
bool writeInPlace(const QString& path, const QByteArray& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    QByteArray old;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && readUpTo(fd, st.st_size, old)
              && old.size() == st.st_size;
    if (ok && bytes.size() > old.size()) {
        const int err = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        // A file system without preallocation is written without it: the restore
        // below still keeps the old content should the write fail.
        ok = err == 0 || err == EOPNOTSUPP || err == EINVAL;
    }
    if (ok) {
        ok = writeAllAt(fd, bytes, 0) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0
             && ::fsync(fd) == 0;
        if (!ok) {
            const bool restored = writeAllAt(fd, old, 0)
                                  && ::ftruncate(fd, static_cast<off_t>(old.size())) == 0;
            if (restored)
                ::fsync(fd);
        }
    }
    ::close(fd);
    return ok;
}

// Follows the chain of symbolic links from path to the file they name, trusting
// only links this user made: a link another user planted beside a game, in a
// folder both may write, would otherwise turn a save into an overwrite of any
// file the player can write. Empty when such a link is in the way.
QString ownLinkTarget(const QString& path)
{
    constexpr int MaxLinks = 40;
    QString current = path;
    for (int hop = 0; hop < MaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(QFile::encodeName(current).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        if (st.st_uid != ::geteuid())
            return {};
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(QFile::encodeName(current).constData(), buffer, sizeof buffer);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer)
            return {};
        // A relative link names its target from the folder it lies in.
        current = QDir(QFileInfo(current).absolutePath()).filePath(QFile::decodeName(QByteArray(buffer, n)));
    }
    return {};
}

// A rename is only as durable as the folder that records it: without this, a
// power loss can bring back the old file even though the new one was synced.
bool syncFolderOf(const QString& file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot sync a folder; what they hold is then as safe as they make it.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, InPlaceWrite inPlace)
{
    // The save goes to the file a link names, as the save file would on its own,
    // but only through links this user made.
    const QString target = ownLinkTarget(path);
    if (target.isEmpty()) {
        tell(path, QStringLiteral("not saved: a link another user made is in the way"));
        return false;
    }
    const QByteArray name = QFile::encodeName(target);
    struct stat old {};
    const bool exists = ::stat(name.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        tell(target, QStringLiteral("not saved: not a regular file"));
        return false;
    }
    const auto rewrite = [&] {
        const bool written = writeInPlace(target, bytes);
        if (!written)
            tell(target, QStringLiteral("not rewritten, its old content stays: ") + systemText(errno));
        return written;
    };

    // A file with more than one name is one file to the player: replacing it would
    // leave the other names on the old board, so it is rewritten where it stands.
    if (exists && old.st_nlink > 1 && inPlace == InPlaceWrite::Allowed)
        return rewrite();

    // Unbuffered, so that a full disk shows in write() itself: a buffered save
    // file only flushes at commit, and a failure there went unnoticed.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // The folder takes no temporary file; a file that is itself writable is
        // still the player's to overwrite.
        if (exists && inPlace == InPlaceWrite::Allowed && ::access(name.constData(), W_OK) == 0)
            return rewrite();
        tell(target, QStringLiteral("not saved: ") + file.errorString());
        return false;
    }
    bool ok = file.write(bytes) == bytes.size();
    // The replacement keeps the mode bits of the file it replaces exactly: the
    // save file's own copy of them adds write permission for whoever saves.
    if (ok && exists)
        ok = ::fchmod(file.handle(), old.st_mode & 07777) == 0;
    // An administrator saving over a player's file hands it back to the player.
    // A file system without owners keeps the saver's: the content is what counts.
    if (ok && exists && ::geteuid() == 0 && (old.st_uid != 0 || old.st_gid != 0)) {
        [[maybe_unused]] const int owned = ::fchown(file.handle(), old.st_uid, old.st_gid);
    }
    ok = ok && ::fsync(file.handle()) == 0;
    if (!ok) {
        tell(target, QStringLiteral("not saved, the old file stays: ") + systemText(errno));
        file.cancelWriting();
        file.commit();   // removes the temporary file
        return false;
    }
    if (!file.commit()) {
        tell(target, QStringLiteral("not saved, the old file stays: ") + file.errorString());
        return false;
    }
    if (!syncFolderOf(target)) {
        tell(target, QStringLiteral("saved, but its folder could not be synced: ") + systemText(errno));
        return false;
    }
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    if (path.isEmpty() || maxBytes < 0)
        return std::nullopt;
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that opening a pipe nobody writes to returns at once; the
    // kind of file is then checked on what was opened, not on the name, which
    // could have been swapped in between.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // A file that is not there yet is no failure.
        if (errno != ENOENT)
            tell(path, QStringLiteral("not read: ") + systemText(errno));
        return std::nullopt;
    }
    struct stat st {};
    QByteArray bytes;
    QString refusal;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        refusal = QStringLiteral("not read: not a regular file");
    else if (st.st_size > maxBytes || !readUpTo(fd, maxBytes + 1, bytes) || bytes.size() > maxBytes)
        refusal = bytes.size() > maxBytes || st.st_size > maxBytes
                      ? QStringLiteral("not read: larger than %1 bytes").arg(maxBytes)
                      : QStringLiteral("not read: ") + systemText(errno);
    const int error = errno;
    ::close(fd);
    errno = error;
    if (!refusal.isEmpty()) {
        tell(path, refusal);
        return std::nullopt;
    }
    return bytes;
}

namespace {
// Large enough that the reads, not the splitting, set the pace.
constexpr qint64 LineChunkBytes = 64 * 1024;
}

std::optional<QList<QByteArray>> readRegularFileLines(const QString& path, int maxLines, qint64 maxLineBytes,
                                                      qint64 maxScanBytes)
{
    if (path.isEmpty() || maxLines < 0 || maxLineBytes < 0 || maxScanBytes < 0)
        return std::nullopt;
    const QByteArray name = QFile::encodeName(path);
    // Opened and checked as readRegularFile does: a pipe cannot hold the reader,
    // and the kind of file is that of what was opened.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT)
            tell(path, QStringLiteral("not read: ") + systemText(errno));
        return std::nullopt;
    }
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!regular)
        tell(path, QStringLiteral("not read: not a regular file"));
    bool ok = regular;
    LineSplitter splitter(maxLines, maxLineBytes);
    qint64 scanned = 0;
    QByteArray chunk;
    while (ok && !splitter.full()) {
        // One byte past the bound tells a file that ends right there from one that
        // goes on, whose line under way is cut off.
        const qint64 want = std::min(LineChunkBytes, maxScanBytes - scanned + 1);
        ok = readUpTo(fd, want, chunk);
        if (!ok)
            break;
        const qint64 within = std::min<qint64>(chunk.size(), maxScanBytes - scanned);
        splitter.feed(QByteArrayView(chunk).first(static_cast<qsizetype>(within)));
        scanned += within;
        if (chunk.size() > within)
            break;
        if (chunk.size() < want) {
            splitter.endOfInput();
            break;
        }
    }
    if (regular && !ok)
        tell(path, QStringLiteral("not read: ") + systemText(errno));
    ::close(fd);
    if (!ok)
        return std::nullopt;
    return splitter.lines();
}
