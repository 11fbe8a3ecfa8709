#pragma once

// The notification component by the names the games and the component itself
// both go by: the name games create it by, its class, the file it ships as beside
// the games, and the key under HKEY_LOCAL_MACHINE that holds its settings. A game
// and a component that spelled one of these apart would simply never meet, so
// each is written here once.
namespace ComponentNames {
inline constexpr char ProgId[] = "Tidingo.CNotify";
inline constexpr char Clsid[] = "{5B0C8E1A-7D2F-4E63-9A41-2C6F0B8D7E35}";
// The build names the library after its target, tidingo.
inline constexpr char LibraryFile[] = "libtidingo.so";
inline constexpr char SettingsKey[] = "Software\\KQ\\ROVevore";
}
