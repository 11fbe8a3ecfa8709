#include "DeductionRun.h"

#include "MineLayout.h"
#include "Odds.h"

#include "FieldCodes.h"

#include <algorithm>
#include <stdexcept>

namespace {
std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}
}

DeductionRun::DeductionRun(const MineLayout& board) : m_board(board), m_view(board.lists())
{
    m_safeCells = board.cellCount() - board.mineTotal();
}

void DeductionRun::start(int firstCell)
{
    const int count = m_board.cellCount();
    std::fill(m_view.status.begin(), m_view.status.end(), static_cast<std::int8_t>(CellStatus::Covered));
    std::fill(m_view.number.begin(), m_view.number.end(), std::int8_t{0});
    m_flagsAround.assign(at(count), 0);
    m_coveredAround.assign(at(count), 0);
    for (int i = 0; i < count; ++i)
        m_coveredAround[at(i)] = static_cast<int>(m_board.neighbours(i).size());
    m_queue.clear();
    m_queued.assign(at(count), 0);
    m_opened = 0;
    open(firstCell);
}

void DeductionRun::setStatus(int cell, int status)
{
    const int before = m_view.status[at(cell)];
    m_view.status[at(cell)] = static_cast<std::int8_t>(status);
    const int covered = (status == CellStatus::Covered) - (before == CellStatus::Covered);
    const int flagged = (status == CellStatus::Flagged) - (before == CellStatus::Flagged);
    for (int n : m_board.listedBy(cell)) {
        m_coveredAround[at(n)] += covered;
        m_flagsAround[at(n)] += flagged;
        touch(n);
    }
}

void DeductionRun::touch(int cell)
{
    if (m_view.status[at(cell)] != CellStatus::Opened || m_queued[at(cell)])
        return;
    m_queued[at(cell)] = 1;
    m_queue.push_back(cell);
}

void DeductionRun::open(int cell)
{
    if (m_view.status[at(cell)] != CellStatus::Covered)
        return;
    // Only proven cells are opened, and proofs rest on what is true of the board.
    // Reaching a mine here means the deal's own bookkeeping went wrong; a board
    // dealt on top of that must never be called one without guessing.
    if (m_board.mine(cell))
        throw std::logic_error("a proven cell holds a mine");
    m_view.number[at(cell)] = m_board.numbers()[at(cell)];
    setStatus(cell, CellStatus::Opened);
    ++m_opened;
    touch(cell);
}

void DeductionRun::flag(int cell)
{
    if (m_view.status[at(cell)] != CellStatus::Covered)
        return;
    if (!m_board.mine(cell))
        throw std::logic_error("a proven mine is not there");
    setStatus(cell, CellStatus::Flagged);
}

void DeductionRun::numberChanged(int cell)
{
    if (m_view.status[at(cell)] != CellStatus::Opened)
        return;
    m_view.number[at(cell)] = m_board.numbers()[at(cell)];
    touch(cell);
}

void DeductionRun::unflag(int cell)
{
    if (m_view.status[at(cell)] == CellStatus::Flagged)
        setStatus(cell, CellStatus::Covered);
}

void DeductionRun::propagate()
{
    while (!m_queue.empty()) {
        const int cell = m_queue.back();
        m_queue.pop_back();
        m_queued[at(cell)] = 0;
        const int covered = m_coveredAround[at(cell)];
        if (covered == 0)
            continue;
        const int missing = m_view.number[at(cell)] - m_flagsAround[at(cell)];
        if (missing == 0) {
            for (int n : m_board.neighbours(cell))
                open(n);
        } else if (missing == covered) {
            for (int n : m_board.neighbours(cell))
                flag(n);
        }
    }
}

DeductionRun::Step DeductionRun::step(std::chrono::milliseconds budget)
{
    propagate();
    if (m_opened == m_safeCells)
        return Step::Done;
    const Odds odds = m_engine.analyse(m_view, OddsEngine::Mode::ProofsOnly, budget);
    const int before = m_opened;
    int flagged = 0;
    for (int cell : odds.safe)
        open(cell);
    for (int cell : odds.mined) {
        flagged += m_view.status[at(cell)] == CellStatus::Covered;
        flag(cell);
    }
    if (m_opened == m_safeCells)
        return Step::Done;
    return m_opened > before || flagged > 0 ? Step::Proven : Step::Stuck;
}
