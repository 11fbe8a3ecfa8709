#include "OddsFollower.h"

#include "OddsEngine.h"

#include "FieldCodes.h"
#include "cField.h"

#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <utility>

namespace {

// A pressed cell is a covered one drawn sunk in: the analysis sees no difference.
bool covered(std::int8_t status)
{
    return status == CellStatus::Covered || status == CellStatus::Pressed;
}

// Whether the board now differs from the last one in anything the analysis sees,
// and whether odds of the last one may still be shown on it: only where play went
// on as usual, covered cells being opened or flagged. A cell covered again, a
// number changed by an edit or another mine total make them wrong anywhere.
bool compare(const std::vector<std::int8_t>& lastStatus, const std::vector<std::int8_t>& lastNumber, int lastTotal,
             const OddsInput& now, bool& stillShown)
{
    bool changedBoard = lastTotal != now.mineTotal;
    stillShown = !changedBoard;
    for (size_t i = 0; i < lastStatus.size(); ++i) {
        const std::int8_t before = lastStatus[i], after = now.status[i];
        if ((before == after || (covered(before) && covered(after))) && lastNumber[i] == now.number[i])
            continue;
        changedBoard = true;
        if (!covered(before) || covered(after)) {
            stillShown = false;
            break;
        }
    }
    return changedBoard;
}

}

struct OddsFollower::Job {
    OddsInput input;
    unsigned generation = 0;
    std::atomic<bool> cancel{false};
    Odds result;
};

OddsFollower::OddsFollower(FieldSource source, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_engine(std::make_shared<OddsEngine>())
{
    m_followTimer.setSingleShot(true);
    m_followTimer.setInterval(0);
    connect(&m_followTimer, &QTimer::timeout, this, &OddsFollower::follow);
}

OddsFollower::~OddsFollower()
{
    cancelWork();
    m_work.waitForFinished();
}

void OddsFollower::setActive(bool on)
{
    m_active = on;
    if (on) {
        m_readAll = true;
        follow();
        return;
    }
    m_followTimer.stop();
    cancelWork();
    if (drop())
        emit changed();
}

void OddsFollower::schedule()
{
    if (m_active && !m_followTimer.isActive())
        m_followTimer.start();
}

bool OddsFollower::current() const
{
    return m_hasOdds && m_oddsFor == m_generation && !m_followTimer.isActive();
}

void OddsFollower::follow()
{
    m_followTimer.stop();
    if (!m_active)
        return;
    const cField* field = m_source ? m_source() : nullptr;
    const int status = field ? field->FldStatus() : FieldStatus::Resetting;
    if (!field || field->cellCount() <= 0 || (status != FieldStatus::Ready && status != FieldStatus::Running)) {
        cancelWork();
        if (drop())
            emit changed();
        return;
    }
    bool stillShown = false;
    const bool changedBoard = read(*field, stillShown);
    // A board the analysis has seen, or is working on, needs nothing more.
    if (!changedBoard && (m_hasOdds || m_running))
        return;
    ++m_generation;
    if (!stillShown)
        m_hasOdds = false;
    if (m_board.cellCount() <= OnTheSpotCells) {
        cancelWork();
        Odds odds = computeOdds(m_board, OnTheSpotBudget);
        const bool exact = odds.exact;
        accept(std::move(odds));
        // What the frame could not count in full is counted off the GUI thread,
        // while the estimate is shown.
        if (!exact)
            startWork();
        return;
    }
    // The odds of the last board stay on the cells that are still covered until
    // the new ones are ready, so that a move on a large board does not blank it.
    emit changed();
    startWork();
}

bool OddsFollower::read(const cField& field, bool& stillShown)
{
    stillShown = false;
    // The neighbour lists are those of the last reading on a board of the same
    // width and height whose lists a reset built; any other board is read whole.
    const bool sameShape = !m_readAll && field.standardNeighbours() && m_columns == field.Xx()
        && m_board.cellCount() == field.cellCount();
    if (sameShape) {
        const std::vector<std::int8_t> lastStatus = m_board.status;
        const std::vector<std::int8_t> lastNumber = m_board.number;
        const int lastTotal = m_board.mineTotal;
        m_board.refresh(field);
        return compare(lastStatus, lastNumber, lastTotal, m_board, stillShown);
    }
    OddsInput fresh = OddsInput::read(field);
    const bool sameLists = !m_readAll && m_columns == field.Xx() && fresh.nghStart == m_board.nghStart
        && fresh.ngh == m_board.ngh;
    m_readAll = false;
    m_columns = field.Xx();
    const bool changedBoard =
        !sameLists || compare(m_board.status, m_board.number, m_board.mineTotal, fresh, stillShown);
    m_board = std::move(fresh);
    return changedBoard;
}

bool OddsFollower::drop()
{
    const bool had = m_hasOdds;
    m_hasOdds = false;
    m_odds = Odds();
    return had;
}

void OddsFollower::cancelWork()
{
    if (m_running)
        m_running->cancel.store(true, std::memory_order_relaxed);
    m_waiting.reset();
}

void OddsFollower::startWork()
{
    auto job = std::make_shared<Job>();
    job->input = m_board;
    job->generation = m_generation;
    if (m_running) {
        m_running->cancel.store(true, std::memory_order_relaxed);
        m_waiting = std::move(job);
        return;
    }
    launch(std::move(job));
}

void OddsFollower::launch(std::shared_ptr<Job> job)
{
    m_running = job;
    // The worker holds the job and the engine itself, and hands the job back by
    // an event, which is dropped if this object is gone by then (it waits for the
    // worker first, so the event is never posted to a dead object).
    m_work = QtConcurrent::run([this, job = std::move(job), engine = m_engine, budget = workBudget] {
        job->result = engine->analyse(job->input, OddsEngine::Mode::Odds, budget, &job->cancel);
        QMetaObject::invokeMethod(this, [this, job] { workDone(job); }, Qt::QueuedConnection);
    });
}

void OddsFollower::workDone(const std::shared_ptr<Job>& job)
{
    if (job != m_running)
        return;
    m_running.reset();
    if (m_active && job->generation == m_generation && !job->cancel.load(std::memory_order_relaxed))
        accept(std::move(job->result));
    if (m_waiting)
        launch(std::exchange(m_waiting, nullptr));
}

void OddsFollower::accept(Odds odds)
{
    m_odds = std::move(odds);
    m_hasOdds = true;
    m_oddsFor = m_generation;
    emit changed();
}
