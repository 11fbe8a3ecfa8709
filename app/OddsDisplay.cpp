#include "OddsDisplay.h"

#include "OddsFollower.h"
#include "OddsOverlay.h"

#include "FieldCodes.h"
#include "Odds.h"
#include "PictureBox.h"
#include "cField.h"

#include <algorithm>
#include <utility>

namespace {

bool gameGoesOn(const cField& field)
{
    return field.FldStatus() == FieldStatus::Ready || field.FldStatus() == FieldStatus::Running;
}

int pitch(const cField& field)
{
    return field.cDim() / PictureBox::TwipsPerPixel;
}

}

OddsDisplay::OddsDisplay(PictureBox* board, FieldSource field, QObject* parent)
    : QObject(parent), m_field(std::move(field)), m_follower(new OddsFollower(m_field, this)),
      m_overlay(new OddsOverlay(board))
{
    connect(m_follower, &OddsFollower::changed, this, &OddsDisplay::redraw);
}

void OddsDisplay::setOddsShown(bool on)
{
    m_follower->setActive(on);
    redraw();
}

bool OddsDisplay::oddsShown() const
{
    return m_follower->active();
}

int OddsDisplay::hintCell(const Odds& odds)
{
    if (!odds.consistent)
        return -1;
    if (!odds.safe.empty())
        return odds.safe.front();
    // A cell proven mined is never the best guess, even when every covered cell
    // left is one: pointing at a certain mine would lose the game for the player.
    int best = -1;
    for (int i = 0; i < static_cast<int>(odds.mine.size()); ++i) {
        const double mine = odds.mine[static_cast<size_t>(i)];
        if (mine < 0 || std::binary_search(odds.mined.begin(), odds.mined.end(), i))
            continue;
        if (best < 0 || mine < odds.mine[static_cast<size_t>(best)])
            best = i;
    }
    return best;
}

void OddsDisplay::hint()
{
    if (!m_overlay)
        return;
    const cField* field = m_field();
    if (!field || field->cellCount() <= 0 || !gameGoesOn(*field)) {
        m_overlay->setHint(-1, 1, 1);
        return;
    }
    // The odds shown are used when they are those of this very board and exact;
    // otherwise the board is analysed here, within the hint's time.
    const Odds* shown = m_follower->current() ? m_follower->odds() : nullptr;
    const int cell = shown && shown->exact ? hintCell(*shown) : hintCell(computeOdds(*field, HintBudget));
    m_overlay->setHint(cell, field->Xx(), pitch(*field));
}

void OddsDisplay::boardUpdated(int sign)
{
    if (m_overlay)
        m_overlay->setHint(-1, 1, 1);
    if (sign != 0)
        m_follower->schedule();
}

void OddsDisplay::boardChanged()
{
    boardUpdated(1);
}

void OddsDisplay::fieldReplaced()
{
    m_follower->fieldReplaced();
    boardChanged();
}

void OddsDisplay::redraw()
{
    if (!m_overlay)
        return;
    const cField* field = m_field();
    // Odds of a board of another width are not laid over this one; the follower
    // reads the new board at the next turn of the event loop.
    if (!field || !m_follower->active() || m_follower->columns() != field->Xx()
        || m_follower->board().cellCount() != field->cellCount())
        m_overlay->clearOdds();
    else
        m_overlay->showOdds(m_follower->odds(), m_follower->board(), field->Xx(), pitch(*field));
    if (field && m_overlay->hint() >= 0)
        m_overlay->setHint(m_overlay->hint(), field->Xx(), pitch(*field));
}

void OddsDisplay::stop()
{
    m_follower->setActive(false);
    if (m_overlay)
        m_overlay->setHint(-1, 1, 1);
}
