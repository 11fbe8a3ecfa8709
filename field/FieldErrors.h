#pragma once

#include "RuntimeError.h"

// The minefield's own errors, each for a value out of its range; built here so
// that each number and its description exist once.
namespace FieldErrorNumber {
constexpr int CellNumber = 100;
constexpr int MineTotal = 101;
constexpr int Cell = 900;
constexpr int Size = 999;
}

inline RuntimeError cellNumberError() { return RuntimeError(FieldErrorNumber::CellNumber, "error in Cell.Nr"); }
inline RuntimeError mineTotalError() { return RuntimeError(FieldErrorNumber::MineTotal, "error in MTot"); }
inline RuntimeError cellError() { return RuntimeError(FieldErrorNumber::Cell, "error in cell"); }
inline RuntimeError sizeError() { return RuntimeError(FieldErrorNumber::Size, "error in size"); }
