#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>

// The registry the suite keeps its few settings in, with Windows' names, types and
// error codes. Each root key is one hive file under the player's configuration
// folder, so HKEY_LOCAL_MACHINE here belongs to the player and needs no rights.
// Every call sees the hive as it is on disk at that moment: a value another
// process wrote, or a hive removed, shows at once. Writers take the hive's lock,
// read it afresh, change it and replace it in one step, so two processes never
// lose each other's values. A hive is never rewritten where it stands, so readers
// need no lock and never see half of one. A write fails, and leaves the file for
// its owner to look at, rather than replace a hive it could not read in full.
//
// The hives live in the folder named by the environment variable
// DORVIK_REGISTRY_DIR when it is set (a registry of one's own, as `make run`
// keeps under build/), else in dorvik-registry/ in the configuration folder;
// in Qt's test mode always in the test's own configuration folder.

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using REGSAM = std::uint32_t;
using HKEY = struct HKEY__*;

namespace RegistryDetail {
inline HKEY rootKey(std::uintptr_t code) { return reinterpret_cast<HKEY>(code); }
}
inline const HKEY HKEY_CLASSES_ROOT = RegistryDetail::rootKey(0x80000000u);
inline const HKEY HKEY_CURRENT_USER = RegistryDetail::rootKey(0x80000001u);
inline const HKEY HKEY_LOCAL_MACHINE = RegistryDetail::rootKey(0x80000002u);
inline const HKEY HKEY_USERS = RegistryDetail::rootKey(0x80000003u);

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_FILE_TOO_LARGE = 223;      // the hive would outgrow what a reader takes
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_BADDB = 1009;              // the hive is damaged, foreign or too large
constexpr LONG ERROR_CANTREAD = 1012;
constexpr LONG ERROR_CANTWRITE = 1013;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_TIMEOUT = 1460;            // another writer held the hive too long

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// A key opened without KEY_SET_VALUE cannot store values; asking for write access
// to a key the player may only read (a read-only key, or a hive file or folder the
// player cannot write) is refused with ERROR_ACCESS_DENIED. Keys go at most 512
// deep, key names hold at most 255 characters and value names 16,383; beyond
// that RegCreateKeyExA and RegSetValueExA answer ERROR_INVALID_PARAMETER.
LONG RegOpenKeyExA(HKEY hKey, const QString& subKey, DWORD options, REGSAM samDesired, HKEY* result);
LONG RegCreateKeyExA(HKEY hKey, const QString& subKey, DWORD reserved, const QString& klass, DWORD options,
                     REGSAM samDesired, void* security, HKEY* result, DWORD* disposition);
// *dataSize in: the buffer's size; out: the value's size. ERROR_MORE_DATA when the
// buffer is too small. A null data asks for the size and type only.
LONG RegQueryValueExA(HKEY hKey, const QString& valueName, DWORD* reserved, DWORD* type, QByteArray* data,
                      DWORD* dataSize);
LONG RegSetValueExA(HKEY hKey, const QString& valueName, DWORD reserved, DWORD type, const QByteArray& data);
LONG RegCloseKey(HKEY hKey);
// Removes a key that has no keys below it (ERROR_ACCESS_DENIED otherwise), as a
// component does when it takes itself out of the registry.
LONG RegDeleteKeyA(HKEY hKey, const QString& subKey);

// The hive file of a root key; empty for anything that is not a root key.
QString registryHivePath(HKEY root);

// What stopped this thread's last registry call that failed for want of a usable
// hive, lock or folder, or for a key or name beyond the bounds ("registry lock
// ... is a folder"); empty when none has. A component's writes count too, so a
// program such as regsvr can tell the player what stands in the way.
QString registryLastFailure();

// Within this scope, registry writes on this thread give up waiting for another
// writer once wait has passed since the scope began (ERROR_TIMEOUT), so a caller
// that must not stall, such as a game's start-up, is held that long at most.
// Outside any scope a write waits up to ten seconds.
class RegistryWaitLimit {
public:
    explicit RegistryWaitLimit(std::chrono::milliseconds wait);
    ~RegistryWaitLimit();
    RegistryWaitLimit(const RegistryWaitLimit&) = delete;
    RegistryWaitLimit& operator=(const RegistryWaitLimit&) = delete;

private:
    qint64 m_previous = 0;
};
