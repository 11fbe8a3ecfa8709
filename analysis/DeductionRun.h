#pragma once

#include "OddsEngine.h"
#include "OddsInput.h"

#include <chrono>
#include <cstdint>
#include <vector>

class MineLayout;

// A player who never guesses, on a board being dealt: from the first opening it
// opens every cell the exact analysis proves safe and flags every cell it proves
// mined, until every safe cell is open or nothing more is proven. What it sees is
// an OddsInput, as the analysis of a real board sees it: statuses, and the numbers
// of the cells it opened.
//
// Most conclusions are a single number's (all its mines flagged, or as many
// covered cells as mines missing). Those are drawn here, cell by cell as the
// board opens, and the whole board goes to the exact analysis only where they
// run out; its engine keeps what it counted, so each analysis counts again only
// the groups that changed.
//
// The dealer may change mines the player has not seen: numberChanged and unflag
// keep what it sees in step with the board.
class DeductionRun {
public:
    enum class Step {
        Done,      // every safe cell is open
        Proven,    // cells were opened or flagged; there may be more
        Stuck,     // nothing more can be proven
    };

    explicit DeductionRun(const MineLayout& board);

    // Everything covered again, then the first cell opened.
    void start(int firstCell);
    // Draws every single-number conclusion; if the board is not done yet, one
    // exact analysis within budget, whose verdicts are applied.
    Step step(std::chrono::milliseconds budget);

    // The board's number of this cell changed.
    void numberChanged(int cell);
    // A flagged cell lost its mine: it is covered again, to be proven anew.
    void unflag(int cell);

    const OddsInput& view() const { return m_view; }
    int opened() const { return m_opened; }
    int safeCells() const { return m_safeCells; }

private:
    void open(int cell);
    void flag(int cell);
    void touch(int cell);
    void touchAround(int cell);
    void propagate();
    void setStatus(int cell, int status);

    const MineLayout& m_board;
    OddsInput m_view;
    OddsEngine m_engine;
    // Per cell, over its own list: flagged and covered entries.
    std::vector<int> m_flagsAround, m_coveredAround;
    std::vector<int> m_queue;
    std::vector<char> m_queued;
    int m_opened = 0;
    int m_safeCells = 0;
};
