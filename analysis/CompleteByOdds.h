#pragma once

#include <chrono>

class cField;
class OddsEngine;

// What a complete auto-completion did.
struct CompleteRun {
    int rounds = 0;   // analyses made, the last one proving nothing new or ending the game
    int opened = 0;   // cells opened as proven safe (not counting what their floods opened)
    int flagged = 0;  // cells flagged as proven mined
    bool exact = true;  // no analysis was cut by its budget
};

// The complete auto-completion: analyses the board exactly, opens every cell
// proven safe (ChkCell) and flags every cell proven mined (the cell's Check with
// a flag), in ascending cell order, then recounts the mines left (CntM) and checks
// for the end of the game (ChkWin); and again, until an analysis proves nothing
// new or the game is won or lost. Flags already on the board are taken as mines,
// as in every analysis. Each round is one ProofsOnly analysis with roundBudget;
// the engine (one of the caller's, or a fresh one) remembers the components
// between rounds, so that a round costs about what the last one changed. Runs on
// the field's thread, acting through the field's own operations.
CompleteRun completeByOdds(cField& field, OddsEngine& engine,
                           std::chrono::milliseconds roundBudget = std::chrono::milliseconds(200));
CompleteRun completeByOdds(cField& field, std::chrono::milliseconds roundBudget = std::chrono::milliseconds(200));
