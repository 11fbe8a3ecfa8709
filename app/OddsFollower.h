#pragma once

#include "Odds.h"
#include "OddsInput.h"

#include <QFuture>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class cField;
class OddsEngine;

// Keeps the exact odds of the window's board up to date while the game goes on.
// Told that the board may have changed, it reads what the player sees at the
// next turn of the event loop, so that a burst of changes (the hundreds of passes
// of an automatic completion) costs one reading, and analyses it only when
// something the analysis sees did change. A small board is analysed at once,
// within a frame; a large one on a worker thread, from a snapshot, while the
// window goes on, and a newer board cancels the older one's work.
//
// Odds are kept only while a game is ready or running: a finished game or a
// board being dealt has none.
class OddsFollower : public QObject {
    Q_OBJECT
public:
    using FieldSource = std::function<const cField*()>;

    // The cell count up to which a board is analysed on the spot.
    static constexpr int OnTheSpotCells = 4096;
    // How long the analysis on the spot may hold up the window.
    static constexpr std::chrono::milliseconds OnTheSpotBudget{12};

    // source gives the window's field whenever it is asked, or null when there is none.
    explicit OddsFollower(FieldSource source, QObject* parent = nullptr);
    // Waits for the worker, which a cancelled analysis lets go of soon.
    ~OddsFollower() override;

    // On, the board is read and analysed at once; off, the odds are forgotten and
    // any work is cancelled.
    void setActive(bool on);
    bool active() const { return m_active; }
    // The board may have changed: look at it at the next turn of the event loop.
    void schedule();
    // The field object was replaced: its neighbour lists are read anew.
    void fieldReplaced() { m_readAll = true; }

    // The odds to show, or null. While a large board's analysis runs they may
    // belong to the board as it was a move ago; board() holds the board as it
    // is now. Odds that no placement fits (consistent false) are kept too, so
    // that the same position is not analysed again.
    const Odds* odds() const { return m_hasOdds ? &m_odds : nullptr; }
    // The board as last read, and its cells a row.
    const OddsInput& board() const { return m_board; }
    int columns() const { return m_columns; }
    // True once the odds belong to the board as last read and nothing is waiting
    // to be read.
    bool current() const;

    // What the analysis off the GUI thread may take before it gives an estimate.
    std::chrono::milliseconds workBudget{250};

signals:
    // The odds, or the board they are shown on, changed.
    void changed();

private:
    struct Job;

    void follow();
    // Reads the field into m_board; false when nothing the analysis sees changed.
    // stillShown tells whether the odds held may stay on the cells still covered.
    bool read(const cField& field, bool& stillShown);
    // Forgets the odds; true when there were any.
    bool drop();
    void cancelWork();
    void startWork();
    void launch(std::shared_ptr<Job> job);
    void workDone(const std::shared_ptr<Job>& job);
    void accept(Odds odds);

    FieldSource m_source;
    bool m_active = false;
    bool m_readAll = true;
    QTimer m_followTimer;
    OddsInput m_board;
    int m_columns = 0;
    // Counts the boards read that differ from the one before; the odds belong to
    // the board of m_oddsFor.
    unsigned m_generation = 0;
    unsigned m_oddsFor = 0;
    bool m_hasOdds = false;
    Odds m_odds;
    // One analysis runs at a time, on an engine that remembers the last board, so
    // that a move on a large board is counted again only where it changed. A newer
    // board waits for the cancelled older one to let go of the engine.
    std::shared_ptr<OddsEngine> m_engine;
    std::shared_ptr<Job> m_running;
    std::shared_ptr<Job> m_waiting;
    QFuture<void> m_work;
};
