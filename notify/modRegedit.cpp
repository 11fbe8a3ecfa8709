#include "modRegedit.h"

#include "Gbk.h"

#include <QtEndian>

namespace {
constexpr DWORD kBufferBytes = 1024;
}

namespace modRegedit {

QString RegReadString(HKEY root, const QString& key, const QString& value)
{
    // Reading needs no more than the right to read: a key the player may not
    // change still gives its values.
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return {};
    DWORD type = REG_NONE;
    DWORD size = kBufferBytes;
    QByteArray data;
    const LONG status = RegQueryValueExA(hKey, value, nullptr, &type, &data, &size);
    RegCloseKey(hKey);
    if (status != ERROR_SUCCESS)
        return {};
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Environment references in REG_EXPAND_SZ stay as written.
        const qsizetype end = data.indexOf('\0');
        return fromGbk(end < 0 ? data : data.left(end));
    }
    if (type == REG_DWORD && data.size() == 4) {
        // The number as the registry keeps it, little-endian, read as a signed
        // 32-bit value: the four bytes as one, zero bytes included.
        return QString::number(qFromLittleEndian<qint32>(data.constData()));
    }
    return {};
}

bool RegWriteString(HKEY root, const QString& key, const QString& value, const QString& data)
{
    HKEY hKey = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, key, 0, QString(), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey,
                        &disposition)
        != ERROR_SUCCESS)
        return false;
    const QString stored = data.isEmpty() ? QStringLiteral(" ") : data;
    const LONG status = RegSetValueExA(hKey, value, 0, REG_SZ, toGbk(stored));
    RegCloseKey(hKey);
    return status == ERROR_SUCCESS;
}

}
