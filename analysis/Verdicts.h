#pragma once

// The verdicts a deduction pass gives a cell.
namespace Verdicts {
constexpr int None = 0;
constexpr int Safe = 1;  // to be opened
constexpr int Mine = 2;  // to be flagged
}
