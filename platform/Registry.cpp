#include "Registry.h"

#include "RegistryHive.h"
#include "SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <functional>
#include <map>
#include <mutex>
#include <unistd.h>

namespace {
// A hive beyond this size is not one this suite wrote; it reads as empty.
constexpr qint64 kMaxHiveBytes = 16 * 1024 * 1024;
// A writer waits this long for another process to finish its write.
constexpr int kLockWaitMs = 10000;
// Rights that change a key or its values.
constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x10000 /*DELETE*/
                                | 0x40000 /*WRITE_DAC*/ | 0x80000 /*WRITE_OWNER*/;

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

RegistryHive loadHive(const QString& path)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaxHiveBytes);
    return bytes ? RegistryHive::parse(*bytes) : RegistryHive();
}

// Whether this process could replace the hive file: the file itself, or where it
// does not exist yet, the nearest folder above it that does.
bool hiveWritable(const QString& path)
{
    QString probe = path;
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
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return ERROR_CANTWRITE;
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return ERROR_CANTWRITE;
    RegistryHive hive = loadHive(path);
    const LONG result = change(hive);
    if (result != ERROR_SUCCESS)
        return result;
    return writeFileAtomically(path, hive.serialize()) ? ERROR_SUCCESS : ERROR_CANTWRITE;
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
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/dorvik-registry/") + name + QStringLiteral(".hive");
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
    const RegistryHive hive = loadHive(hivePath);
    const RegistryHive::Key* key = hive.key(path);
    // The root key is there before anything is stored under it.
    if (!key && !path.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    if ((samDesired & kWriteRights) && ((key && key->readOnly) || !hiveWritable(hivePath)))
        return ERROR_ACCESS_DENIED;
    *result = newHandle(OpenKey{base.root, path, samDesired});
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, const QString& subKey, DWORD /*reserved*/, const QString& /*klass*/,
                     DWORD options, REGSAM samDesired, void* /*security*/, HKEY* result, DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    // A key that is there is only opened: the hive file is rewritten only for a new key.
    const LONG opened = RegOpenKeyExA(hKey, subKey, options, samDesired, result);
    if (opened != ERROR_FILE_NOT_FOUND) {
        if (opened == ERROR_SUCCESS && disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        return opened;
    }
    OpenKey base;
    if (!resolve(hKey, base))
        return ERROR_INVALID_HANDLE;
    const QString path = joinPath(base.path, subKey);
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
    const RegistryHive hive = loadHive(registryHivePath(open.root));
    const RegistryHive::Key* key = hive.key(open.path);
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
