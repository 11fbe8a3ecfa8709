#pragma once

#include "Registry.h"

#include <QString>

// The component's registry access: whole text values, one call each, the key
// opened and closed within the call.
namespace modRegedit {
// The value as text; "" when the key or value is missing, the value does not fit
// 1,024 bytes, or it is of a type that is not text or a number.
QString RegReadString(HKEY root, const QString& key, const QString& value);
// Stores data as REG_SZ in the ANSI code page, creating the key when needed; an
// empty text is stored as one space. True when the value was stored.
bool RegWriteString(HKEY root, const QString& key, const QString& value, const QString& data);
}
