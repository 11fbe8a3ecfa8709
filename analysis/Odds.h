#pragma once

#include <atomic>
#include <chrono>
#include <vector>

class cField;
struct OddsInput;

// The exact odds of a position as the player sees it. Every placement of the
// mines still unaccounted for (the total less the flags and the exploded mines,
// which count as known mines) that fits every open number is taken as equally likely.
struct Odds {
    bool consistent = false;   // some placement of the MTot - flags unflagged mines fits every open number
    bool exact = false;        // every group was counted in full within the budget
    std::vector<double> mine;  // by cell index: chance of a mine, each fitting placement equally likely;
                               // -1 for cells that are not covered (open, flagged, exploded); all -1 when
                               // no placement fits
    std::vector<int> safe;     // covered cells without a mine in every fitting placement, ascending
    std::vector<int> mined;    // covered cells with a mine in every fitting placement, ascending
};

// Reads the field as the player sees it (statuses, numbers of open cells, the field's neighbour
// lists, MTot; a pressed cell is covered; flags count as mines); changes nothing.
//
// A chance is exactly 0 or 1 only for a cell listed as safe or mined. When the
// budget cut a group short, exact is false, the chances of its cells are an
// estimate and the lists hold only what was proven all the same. A position
// without any fitting placement gives consistent = false, every chance -1 and
// empty lists; exact then says whether that was decided in full.
Odds computeOdds(const cField& field, std::chrono::milliseconds budget = std::chrono::milliseconds(200));

// The same from a snapshot (OddsInput::read), so that it can run on any thread
// while the field goes on changing. Setting *cancel (it may be null) ends the work
// early, as an exhausted budget does.
//
// Off the field's thread: take OddsInput::read(field) on the field's thread (well
// under a millisecond on the largest board), hand the snapshot to a worker, and
// apply the result on the field's thread only if the board has not changed since
// the snapshot; a newer snapshot may cancel the older analysis through *cancel.
// An OddsEngine kept by the caller does the same and counts again only the
// components that changed since its last analysis; CompleteByOdds.h applies
// every proven verdict round after round.
Odds computeOdds(const OddsInput& input, std::chrono::milliseconds budget,
                 const std::atomic<bool>* cancel = nullptr);
