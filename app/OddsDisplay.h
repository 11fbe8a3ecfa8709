#pragma once

#include "OddsOverlay.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>

class cField;
class OddsFollower;
class PictureBox;
struct Odds;

// What the main window shows of the exact analysis over its board: the odds of
// every covered cell while they are switched on, and the hint's mark until the
// next move. Both lie over the board without touching it; the window tells this
// object when the board may have changed, as the field tells the window.
class OddsDisplay : public QObject {
    Q_OBJECT
public:
    using FieldSource = std::function<const cField*()>;

    // How long the hint may hold up the window while it analyses the board.
    static constexpr std::chrono::milliseconds HintBudget{150};

    OddsDisplay(PictureBox* board, FieldSource field, QObject* parent = nullptr);

    void setOddsShown(bool on);
    bool oddsShown() const;
    // Marks a cell proven safe, or else the covered cell least likely to hold a
    // mine; nothing when the game is not going on or no placement fits.
    void hint();

    // The field's Update event: a press on the board (0) ends the hint, anything
    // else may have changed the board.
    void boardUpdated(int sign);
    // A command changed the board, perhaps without the field telling.
    void boardChanged();
    void fieldReplaced();
    // The field's cells changed their size.
    void redraw();
    // The window closes: no more analysing.
    void stop();

    OddsFollower& follower() const { return *m_follower; }
    OddsOverlay& overlay() const { return *m_overlay; }

    // The cell the hint marks in these odds, or -1.
    static int hintCell(const Odds& odds);

private:
    FieldSource m_field;
    OddsFollower* m_follower = nullptr;
    // Owned by the board it lies on.
    QPointer<OddsOverlay> m_overlay;
};
