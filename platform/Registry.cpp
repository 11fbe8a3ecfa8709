#include "Registry.h"

#include "HiveLock.h"
#include "LogCategories.h"
#include "RegistryHive.h"
#include "SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// A hive beyond this size is not one this suite wrote; it reads as empty, and no
// write may make one.
constexpr qint64 kMaxHiveBytes = 16 * 1024 * 1024;
// A writer waits this long for another process to finish its write.
constexpr std::chrono::milliseconds kLockWait{10000};
// Moves the registry's folder; see Registry.h.
constexpr char kFolderVariable[] = "DORVIK_REGISTRY_DIR";
// Rights that change a key or its values.
constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x10000 /*DELETE*/
                                | 0x40000 /*WRITE_DAC*/ | 0x80000 /*WRITE_OWNER*/;

// The per-thread failure text and wait limit live on the thread's QThread object
// rather than in thread_local variables: the component library carries a copy of
// this code of its own, and a program must see what stopped the component's
// writes, as the component must keep to the program's wait limit.
constexpr char kFailureProperty[] = "registryLastFailure";
constexpr char kDeadlineProperty[] = "registryLockDeadline";

LONG failure(LONG code, const QString& text)
{
    qCDebug(lcRegistry, "error %d: %s", static_cast<int>(code), qUtf8Printable(text));
    QThread::currentThread()->setProperty(kFailureProperty, text);
    return code;
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::chrono::steady_clock::time_point lockDeadline()
{
    const auto byDefault = std::chrono::steady_clock::now() + kLockWait;
    const qint64 limit = QThread::currentThread()->property(kDeadlineProperty).toLongLong();
    if (limit == 0)
        return byDefault;
    return std::min(byDefault, std::chrono::steady_clock::time_point(std::chrono::nanoseconds(limit)));
}

struct OpenKey {
    HKEY root = nullptr;
    QString path;
    REGSAM access = 0;
};

struct HandleTable {
    std::mutex mutex;
    std::map<HKEY, OpenKey> keys;
    std::uintptr_t next = 0x1000;
};

HandleTable& handles()
{
    static HandleTable table;
    return table;
}

QString rootName(HKEY root)
{
    if (root == HKEY_CLASSES_ROOT)
        return QStringLiteral("HKEY_CLASSES_ROOT");
    if (root == HKEY_CURRENT_USER)
        return QStringLiteral("HKEY_CURRENT_USER");
    if (root == HKEY_LOCAL_MACHINE)
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    if (root == HKEY_USERS)
        return QStringLiteral("HKEY_USERS");
    return {};
}

bool resolve(HKEY hKey, OpenKey& key)
{
    if (!rootName(hKey).isEmpty()) {
        key = OpenKey{hKey, QString(), KEY_ALL_ACCESS};
        return true;
    }
    std::lock_guard guard(handles().mutex);
    const auto it = handles().keys.find(hKey);
    if (it == handles().keys.end())
        return false;
    key = it->second;
    return true;
}

HKEY newHandle(const OpenKey& key)
{
    std::lock_guard guard(handles().mutex);
    HandleTable& table = handles();
    const HKEY handle = reinterpret_cast<HKEY>(table.next);
    table.next += 4;
    table.keys.emplace(handle, key);
    return handle;
}

QString joinPath(const QString& base, const QString& subKey)
{
    return RegistryHive::normalPath(base + u'\\' + subKey);
}

// One key as the hive on disk has it now, for a reader: no lock, since hives are
// only ever replaced whole.
std::optional<RegistryHive::Key> readKey(HKEY root, const QString& path)
{
    const QString hivePath = registryHivePath(root);
    errno = 0;
    const std::optional<QByteArray> bytes = readRegularFile(hivePath, kMaxHiveBytes);
    // A missing hive is only an empty one; any other that cannot be read makes
    // every key in it look missing, which is worth a word.
    if (!bytes && errno != ENOENT)
        qCDebug(lcRegistry, "hive %s cannot be read, its keys read as missing", qUtf8Printable(hivePath));
    return bytes ? RegistryHive::findKey(*bytes, path) : std::nullopt;
}

// The whole hive, for a writer, which may only replace what it has read in full.
// A missing hive is an empty one; anything else that cannot be read, or was not
// read in full, is left for its owner to look at, and the write fails.
LONG readWholeHive(const QString& path, RegistryHive& hive)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT)
            return ERROR_SUCCESS;
        return failure(ERROR_CANTREAD, QStringLiteral("hive %1 cannot be read: %2").arg(path, systemText(errno)));
    }
    const QString kept = QStringLiteral("; it is left as it is");
    if (!S_ISREG(st.st_mode))
        return failure(ERROR_BADDB, QStringLiteral("hive %1 is not a regular file").arg(path) + kept);
    if (st.st_size > kMaxHiveBytes)
        return failure(ERROR_BADDB,
                       QStringLiteral("hive %1 is larger than %2 bytes").arg(path).arg(kMaxHiveBytes) + kept);
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaxHiveBytes);
    if (!bytes) {
        const int error = errno;
        return failure(error == EACCES ? ERROR_ACCESS_DENIED : ERROR_CANTREAD,
                       QStringLiteral("hive %1 cannot be read: %2").arg(path, systemText(error)) + kept);
    }
    bool complete = false;
    hive = RegistryHive::parse(*bytes, &complete);
    if (!complete)
        return failure(ERROR_BADDB, QStringLiteral("hive %1 is damaged or not a hive").arg(path) + kept);
    return ERROR_SUCCESS;
}

// Whether this process could replace the hive file: hives are replaced, never
// rewritten, which takes their folder, or where that does not exist yet, the
// nearest folder above it that does. A hive file the player may not write keeps
// its root key read-only all the same.
bool hiveWritable(const QString& path)
{
    if (QFileInfo::exists(path) && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return false;
    QString probe = QFileInfo(path).absolutePath();
    while (!QFileInfo::exists(probe)) {
        const QString up = QFileInfo(probe).absolutePath();
        if (up == probe)
            return false;
        probe = up;
    }
    return ::access(QFile::encodeName(probe).constData(), W_OK) == 0;
}

// Runs one change on the hive under its lock, on the hive as it is on disk now,
// and stores the result; the change's own error leaves the file untouched.
LONG changeHive(HKEY root, const std::function<LONG(RegistryHive&)>& change)
{
    const QString path = registryHivePath(root);
    if (path.isEmpty())
        return ERROR_INVALID_HANDLE;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return failure(ERROR_CANTWRITE, QStringLiteral("registry folder %1 cannot be made").arg(folder));
    HiveLock lock(path);
    switch (lock.lock(lockDeadline())) {
    case HiveLock::Result::Locked:
        break;
    case HiveLock::Result::TimedOut:
        return failure(ERROR_TIMEOUT, lock.problem());
    case HiveLock::Result::Unusable:
        return failure(lock.denied() ? ERROR_ACCESS_DENIED : ERROR_CANTWRITE, lock.problem());
    }
    RegistryHive hive;
    if (const LONG read = readWholeHive(path, hive); read != ERROR_SUCCESS)
        return read;
    const LONG result = change(hive);
    if (result != ERROR_SUCCESS)
        return result;
    // A hive the reader would refuse reads as empty, and the next write would
    // replace it with next to nothing: every key would be lost.
    const QByteArray bytes = hive.serialize();
    if (bytes.size() > kMaxHiveBytes)
        return failure(ERROR_FILE_TOO_LARGE,
                       QStringLiteral("hive %1 would grow beyond %2 bytes").arg(path).arg(kMaxHiveBytes));
    errno = 0;
    if (!writeFileAtomically(path, bytes, InPlaceWrite::Never)) {
        const int error = errno;
        return failure(ERROR_CANTWRITE, QStringLiteral("hive %1 cannot be replaced in its folder").arg(path)
                                            + (error != 0 ? QStringLiteral(": ") + systemText(error) : QString()));
    }
    return ERROR_SUCCESS;
}

// The key itself, or the nearest key above it that exists.
const RegistryHive::Key* nearestKey(const RegistryHive& hive, QString path)
{
    for (;;) {
        if (const RegistryHive::Key* key = hive.key(path))
            return key;
        if (path.isEmpty())
            return nullptr;
        const qsizetype cut = path.lastIndexOf(u'\\');
        path = cut < 0 ? QString() : path.left(cut);
    }
}
}

QString registryHivePath(HKEY root)
{
    const QString name = rootName(root);
    if (name.isEmpty())
        return {};
    const QByteArray moved = qgetenv(kFolderVariable);
    // Tests keep to their own folder whatever the developer's shell has set.
    const QString folder = !moved.isEmpty() && !QStandardPaths::isTestModeEnabled()
                               ? QDir(QFile::decodeName(moved)).absolutePath()
                               : QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                     + QStringLiteral("/dorvik-registry");
    return folder + u'/' + name + QStringLiteral(".hive");
}

QString registryLastFailure()
{
    return QThread::currentThread()->property(kFailureProperty).toString();
}

RegistryWaitLimit::RegistryWaitLimit(std::chrono::milliseconds wait)
    : m_previous(QThread::currentThread()->property(kDeadlineProperty).toLongLong())
{
    const qint64 deadline = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                (std::chrono::steady_clock::now() + wait).time_since_epoch())
                                .count();
    // A scope inside another never waits beyond the outer one's limit.
    QThread::currentThread()->setProperty(kDeadlineProperty,
                                          m_previous == 0 ? deadline : std::min(deadline, m_previous));
}

RegistryWaitLimit::~RegistryWaitLimit()
{
    QThread::currentThread()->setProperty(kDeadlineProperty, m_previous);
}

LONG RegOpenKeyExA(HKEY hKey, const QString& subKey, DWORD /*options*/, REGSAM samDesired, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey base;
    if (!resolve(hKey, base))
        return ERROR_INVALID_HANDLE;
    const QString path = joinPath(base.path, subKey);
    const QString hivePath = registryHivePath(base.root);
    const std::optional<RegistryHive::Key> key = readKey(base.root, path);
    // The root key is there before anything is stored under it.
    if (!key && !path.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    if ((samDesired & kWriteRights) && key && key->readOnly)
        return ERROR_ACCESS_DENIED;
    if ((samDesired & kWriteRights) && !hiveWritable(hivePath))
        return failure(ERROR_ACCESS_DENIED, QStringLiteral("hive %1 may not be replaced by this user").arg(hivePath));
    *result = newHandle(OpenKey{base.root, path, samDesired});
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, const QString& subKey, DWORD /*reserved*/, const QString& /*klass*/,
                     DWORD options, REGSAM samDesired, void* /*security*/, HKEY* result, DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    OpenKey base;
    if (!resolve(hKey, base))
        return ERROR_INVALID_HANDLE;
    const QString path = joinPath(base.path, subKey);
    if (!RegistryHive::keyPathFits(path))
        return failure(ERROR_INVALID_PARAMETER,
                       QStringLiteral("key is deeper than %1 keys or has a name longer than %2 characters")
                           .arg(RegistryHive::MaxKeyDepth)
                           .arg(RegistryHive::MaxKeyNameLength));
    // A key that is there is only opened: the hive file is rewritten only for a new key.
    const LONG opened = RegOpenKeyExA(hKey, subKey, options, samDesired, result);
    if (opened != ERROR_FILE_NOT_FOUND) {
        if (opened == ERROR_SUCCESS && disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        return opened;
    }
    bool created = false;
    const LONG status = changeHive(base.root, [&](RegistryHive& hive) {
        if (hive.key(path))
            return ERROR_SUCCESS;   // another process made it meanwhile
        // A new key needs the right to add keys to the one above it.
        const RegistryHive::Key* above = nearestKey(hive, path);
        if (above && above->readOnly)
            return ERROR_ACCESS_DENIED;
        hive.createKey(path);
        created = true;
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = newHandle(OpenKey{base.root, path, samDesired});
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, const QString& valueName, DWORD* /*reserved*/, DWORD* type, QByteArray* data,
                      DWORD* dataSize)
{
    OpenKey open;
    if (!resolve(hKey, open))
        return ERROR_INVALID_HANDLE;
    if (!(open.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    const std::optional<RegistryHive::Key> key = readKey(open.root, open.path);
    if (!key)
        return open.path.isEmpty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const auto it = key->values.constFind(valueName.toCaseFolded());
    if (it == key->values.constEnd())
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = it->type;
    const DWORD size = static_cast<DWORD>(it->data.size());
    if (data) {
        if (size > *dataSize) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        *data = it->data;
    }
    if (dataSize)
        *dataSize = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, const QString& valueName, DWORD /*reserved*/, DWORD type, const QByteArray& data)
{
    OpenKey open;
    if (!resolve(hKey, open))
        return ERROR_INVALID_HANDLE;
    if (!(open.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!RegistryHive::valueNameFits(valueName))
        return failure(ERROR_INVALID_PARAMETER, QStringLiteral("value name is longer than %1 characters")
                                                    .arg(RegistryHive::MaxValueNameLength));
    return changeHive(open.root, [&](RegistryHive& hive) {
        RegistryHive::Key* key = hive.key(open.path);
        if (!key && !open.path.isEmpty())
            return ERROR_KEY_DELETED;
        if (key && key->readOnly)
            return ERROR_ACCESS_DENIED;
        hive.setValue(open.path, valueName, type, data);
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey)
{
    if (!rootName(hKey).isEmpty())
        return ERROR_SUCCESS;
    std::lock_guard guard(handles().mutex);
    return handles().keys.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyA(HKEY hKey, const QString& subKey)
{
    OpenKey base;
    if (!resolve(hKey, base))
        return ERROR_INVALID_HANDLE;
    const QString path = joinPath(base.path, subKey);
    if (path.isEmpty())
        return ERROR_ACCESS_DENIED;
    return changeHive(base.root, [&](RegistryHive& hive) {
        const RegistryHive::Key* key = hive.key(path);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (key->readOnly || hive.hasSubKeys(path))
            return ERROR_ACCESS_DENIED;
        hive.removeKey(path);
        return ERROR_SUCCESS;
    });
}
