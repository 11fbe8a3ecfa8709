#pragma once

#include <QString>

// Where the component lives and what it is called in the registry.
namespace Component {
inline constexpr char ProgId[] = "Tidingo.CNotify";
inline constexpr char Clsid[] = "{5B0C8E1A-7D2F-4E63-9A41-2C6F0B8D7E35}";
inline constexpr char ThreadingModel[] = "Apartment";
// The settings key under HKEY_LOCAL_MACHINE.
inline constexpr char SettingsKey[] = "Software\\KQ\\ROVevore";

// The file the component's code was loaded from (the shared library, or the
// program it is linked into), and its folder: the local page lies beside it.
QString File();
QString Folder();
// The local page shown while the maker's page is not there.
QString LocalPage();
}
