#pragma once

#include <QtGlobal>

class cField;

// The largest board as a player meets it after opening every empty region: the
// numbers around all of them are showing and everything else is still to be done.
namespace BigPosition {
constexpr int Width = 255, Height = 166, Mines = 8466;
constexpr quint32 Seed = 20240607;

// Deals it on a field already set up at that size.
void deal(cField& field);
}
