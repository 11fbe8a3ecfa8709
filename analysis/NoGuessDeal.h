#pragma once

#include <chrono>
#include <functional>

class cField;

// Deals field.MTot() mines on the field's current size through the field's own operations so that
// firstCell's number is 0 and complete deduction (Odds, repeated) from opening firstCell wins the
// game; random choices from platform/Rnd. progress(percent) returning false cancels. Returns false
// (leaving an ordinary deal, firstCell a 0 where possible) when cancelled or out of budget.
//
// Only the mines change: statuses (flags set before the deal, a cell held pressed) stay, the
// numbers are counted again and the free-cell pool rebuilt (CntNr, CntO, CntM), as an edit of the
// board does. The generator is a fresh Rnd, so a fixed seed source deals the same board again.
// progress is called every few hundredths of a second while the deal takes longer than that.
// A mine total the board cannot hold beside a free firstCell puts a mine on every other cell.
bool DealWithoutGuess(cField& field, int firstCell, std::chrono::milliseconds budget,
                      const std::function<bool(int percent)>& progress = {});
