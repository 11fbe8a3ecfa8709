#include "NoGuessDealer.h"

#include "DeductionRun.h"

#include "FieldCodes.h"
#include "Rnd.h"

#include <algorithm>

namespace {
using namespace std::chrono_literals;

// How long one exact analysis may take. A group it cannot count in that time
// stays undecided and is repaired like any other, and the caller is asked
// again soon enough to cancel within a tenth of a second.
constexpr std::chrono::milliseconds AnalysisSlice = 40ms;
constexpr std::chrono::milliseconds ProgressInterval = 20ms;
// Shown until the deal is done: the safe cells may all be open in a run that
// still has to be checked.
constexpr int LastPercent = 99;

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

int findRoot(std::vector<int>& parent, int x)
{
    while (parent[at(x)] != x) {
        parent[at(x)] = parent[at(parent[at(x)])];
        x = parent[at(x)];
    }
    return x;
}

// Takes a random entry out of a list, in place.
int takeAt(std::vector<int>& list, int index)
{
    const int value = list[at(index)];
    list[at(index)] = list.back();
    list.pop_back();
    return value;
}
}

NoGuessDealer::NoGuessDealer(const OddsInput& board, Rnd& rnd) : m_layout(board), m_rnd(rnd) {}

NoGuessDealer::~NoGuessDealer() = default;

int NoGuessDealer::pick(int n)
{
    // The generator's largest draw stays below 1, but a float product may still
    // round up to n.
    return std::min(n - 1, static_cast<int>(static_cast<double>(m_rnd()) * n));
}

bool NoGuessDealer::scatter(const std::vector<char>& forbidden, int mines)
{
    m_layout.clear();
    std::vector<int> free;
    free.reserve(forbidden.size());
    for (int i = 0; i < m_layout.cellCount(); ++i) {
        if (!forbidden[at(i)])
            free.push_back(i);
    }
    if (mines > static_cast<int>(free.size()))
        return false;
    for (int k = 0; k < mines; ++k) {
        const int j = k + pick(static_cast<int>(free.size()) - k);
        std::swap(free[at(k)], free[at(j)]);
        m_layout.setMine(free[at(k)], true);
    }
    return true;
}

void NoGuessDealer::dealAtRandom(int firstCell)
{
    const int count = m_layout.cellCount();
    std::vector<char> forbidden(at(count), 0);
    const bool inside = firstCell >= 0 && firstCell < count;
    if (inside) {
        forbidden[at(firstCell)] = 1;
        for (int n : m_layout.neighbours(firstCell))
            forbidden[at(n)] = 1;
    }
    if (scatter(forbidden, m_layout.mineTotal()))
        return;
    std::fill(forbidden.begin(), forbidden.end(), char{0});
    if (inside)
        forbidden[at(firstCell)] = 1;
    // More mines than the board holds: all but one cell get one, as a board
    // always keeps a cell free.
    if (!scatter(forbidden, m_layout.mineTotal()))
        scatter(forbidden, count - 1);
}

bool NoGuessDealer::deal(int firstCell, Clock::time_point deadline, const Progress& progress)
{
    m_repairs = 0;
    m_runs = 0;
    const int count = m_layout.cellCount();
    if (firstCell < 0 || firstCell >= count)
        return false;
    m_firstArea.assign(at(count), 0);
    m_firstArea[at(firstCell)] = 1;
    for (int n : m_layout.neighbours(firstCell))
        m_firstArea[at(n)] = 1;
    if (!scatter(m_firstArea, m_layout.mineTotal()))
        return false;

    DeductionRun run(m_layout);
    run.start(firstCell);
    ++m_runs;
    bool clean = true;
    int shown = 0;
    Clock::time_point told = Clock::now();
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        if (progress && now - told >= ProgressInterval) {
            told = now;
            // A run that starts again does not take the bar back with it.
            shown = std::max(shown, LastPercent * run.opened() / std::max(1, run.safeCells()));
            if (!progress(shown))
                return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        switch (run.step(std::clamp(left, 1ms, AnalysisSlice))) {
        case DeductionRun::Step::Done:
            if (clean)
                return true;
            run.start(firstCell);
            ++m_runs;
            clean = true;
            break;
        case DeductionRun::Step::Stuck:
            switch (repair(run)) {
            case Repair::None:
                return false;
            case Repair::Moved:
                clean = false;
                break;
            case Repair::Restart:
                run.start(firstCell);
                ++m_runs;
                clean = true;
                break;
            }
            break;
        case DeductionRun::Step::Proven:
            break;
        }
    }
}

void NoGuessDealer::moveMine(DeductionRun& run, int from, int to)
{
    m_layout.move(from, to);
    for (int n : m_layout.listedBy(from))
        run.numberChanged(n);
    for (int n : m_layout.listedBy(to))
        run.numberChanged(n);
    ++m_repairs;
}

NoGuessDealer::Repair NoGuessDealer::repair(DeductionRun& run)
{
    const OddsInput& view = run.view();
    const int count = m_layout.cellCount();
    const auto covered = [&](int i) { return view.status[at(i)] == CellStatus::Covered; };

    // The undecided cells along the opened region, grouped as the numbers tie
    // them together: each group is one place where the run is stuck.
    std::vector<int> parent(at(count), -1);
    for (int i = 0; i < count; ++i) {
        if (view.status[at(i)] != CellStatus::Opened)
            continue;
        int first = -1;
        for (int n : m_layout.neighbours(i)) {
            if (!covered(n))
                continue;
            if (parent[at(n)] < 0)
                parent[at(n)] = n;
            const int root = findRoot(parent, n);
            if (first < 0)
                first = root;
            else if (root != first)
                parent[at(root)] = first;
        }
    }
    std::vector<int> groupOfRoot(at(count), -1);
    std::vector<std::vector<int>> groupMines;
    // Where a mine may go: a covered cell the player has not come near.
    std::vector<int> far;
    for (int i = 0; i < count; ++i) {
        if (!covered(i))
            continue;
        if (parent[at(i)] < 0) {
            if (!m_layout.mine(i))
                far.push_back(i);
            continue;
        }
        const int root = findRoot(parent, i);
        if (groupOfRoot[at(root)] < 0) {
            groupOfRoot[at(root)] = static_cast<int>(groupMines.size());
            groupMines.emplace_back();
        }
        if (m_layout.mine(i))
            groupMines[at(groupOfRoot[at(root)])].push_back(i);
    }

    Repair done = Repair::None;
    for (std::size_t g = 0; g < groupMines.size(); ++g) {
        const std::vector<int>& mines = groupMines[g];
        if (mines.empty())
            continue;
        const int from = mines[at(pick(static_cast<int>(mines.size())))];
        const int to = far.empty() ? -1 : takeAt(far, pick(static_cast<int>(far.size())));
        if (to >= 0) {
            moveMine(run, from, to);
            done = Repair::Moved;
            continue;
        }
        // Nowhere covered to go: the last cells are a guess among themselves
        // (two cells and one mine, say). Moving mines between such groups only
        // passes the guess back and forth. The mine goes under a cell the player
        // has opened, away from the first opening, and the player starts again.
        std::vector<int> opened;
        for (int i = 0; i < count; ++i) {
            if (view.status[at(i)] == CellStatus::Opened && !m_firstArea[at(i)])
                opened.push_back(i);
        }
        if (opened.empty())
            continue;
        m_layout.move(from, opened[at(pick(static_cast<int>(opened.size())))]);
        ++m_repairs;
        return Repair::Restart;
    }
    if (done != Repair::None || far.empty())
        return done;

    // Nothing undecided along the opened region, yet covered cells are left:
    // flags wall them off. One flag between them and an opened cell gives its
    // mine away, and the cell it stood on can be opened to look in. Behind a
    // wall more than one flag thick, a flag next to the covered cells goes first.
    std::vector<int> walls, inner;
    for (int i = 0; i < count; ++i) {
        if (view.status[at(i)] != CellStatus::Flagged)
            continue;
        const auto ngh = m_layout.neighbours(i);
        if (!std::any_of(ngh.begin(), ngh.end(), covered))
            continue;
        const bool seen = std::any_of(ngh.begin(), ngh.end(),
                                      [&](int n) { return view.status[at(n)] == CellStatus::Opened; });
        (seen ? walls : inner).push_back(i);
    }
    if (walls.empty())
        walls.swap(inner);
    if (walls.empty())
        return Repair::None;
    const int wall = walls[at(pick(static_cast<int>(walls.size())))];
    moveMine(run, wall, takeAt(far, pick(static_cast<int>(far.size()))));
    run.unflag(wall);
    return Repair::Moved;
}
