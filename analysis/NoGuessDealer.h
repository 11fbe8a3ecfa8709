#pragma once

#include "MineLayout.h"

#include <chrono>
#include <functional>
#include <vector>

class DeductionRun;
class Rnd;
struct OddsInput;

// Deals a board in plain arrays that a player who never guesses wins from its
// first opening. It deals at random, keeping the first cell and its neighbours
// free, and lets a DeductionRun play. Wherever the run gets stuck, it moves one
// mine out of each group of undecided cells along the opened region to a cell
// the player has not come near, and the run goes on from where it stood, seeing
// the numbers as they now are. Near the end, when no such cell is left, the mine
// goes under a cell already opened and the run starts again.
//
// Moving mines changes numbers the player has already used, so the way the run
// came to where it stands may no longer be open on the board as it now is. When
// a run that needed repairs is done, a fresh run plays the final board from the
// first opening; only a run that ends without any repair proves the board.
class NoGuessDealer {
public:
    using Clock = std::chrono::steady_clock;
    // Told the percent done now and then; false stops the deal.
    using Progress = std::function<bool(int percent)>;

    NoGuessDealer(const OddsInput& board, Rnd& rnd);
    ~NoGuessDealer();

    // True when layout() is a board won without a guess from firstCell; false when
    // the deadline passed, progress said stop, or the mines leave no room for a
    // 0 at firstCell.
    bool deal(int firstCell, Clock::time_point deadline, const Progress& progress = {});
    // An ordinary random deal: firstCell and its neighbours stay free where the
    // mines leave room, else firstCell alone where it can.
    void dealAtRandom(int firstCell);

    const MineLayout& layout() const { return m_layout; }
    // What the last deal took: repairs made, and runs played from the first opening.
    int repairs() const { return m_repairs; }
    int runs() const { return m_runs; }

private:
    int pick(int n);
    // Mines on the cells not forbidden, at random; false when they do not fit.
    bool scatter(const std::vector<char>& forbidden, int mines);
    enum class Repair {
        None,      // nothing could be moved
        Moved,     // mines moved where the player has not looked; the run goes on
        Restart,   // a mine went under an opened cell; the run must start again
    };
    Repair repair(DeductionRun& run);
    void moveMine(DeductionRun& run, int from, int to);

    MineLayout m_layout;
    Rnd& m_rnd;
    // The first cell and its neighbours: no mine may ever go there.
    std::vector<char> m_firstArea;
    int m_repairs = 0;
    int m_runs = 0;
};
