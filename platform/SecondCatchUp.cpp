#include "SecondCatchUp.h"

#include <QTimer>

#include <cmath>
#include <utility>

namespace {
// A tick this close before a whole second stands for that second. A precise
// timer is off by a few milliseconds and the time of day by a step of under
// eight; a coarse timer may fire up to five per cent of its interval early.
constexpr double ShortOfSecond = 0.1;
// The follow-up comes this long after the second, so that its own reading, in
// the same coarse steps, is past it.
constexpr int AfterSecondMs = 16;
constexpr double MsPerSecond = 1000.0;
}

SecondCatchUp::SecondCatchUp(QTimer* ticks, std::function<void()> show, QObject* parent)
    : QObject(parent), m_ticks(ticks), m_show(std::move(show)), m_followUp(new QTimer(this))
{
    m_followUp->setSingleShot(true);
    m_followUp->setTimerType(Qt::PreciseTimer);
    connect(m_followUp, &QTimer::timeout, this, &SecondCatchUp::followUp);
}

void SecondCatchUp::tickRead(double seconds)
{
    // The follow-up's own reading is not followed up again: with a clock that
    // stands still it would be short of the second for ever.
    if (m_following || !std::isfinite(seconds))
        return;
    const double shortBy = std::floor(seconds) + 1.0 - seconds;
    if (shortBy > ShortOfSecond)
        return;
    m_followUp->start(static_cast<int>(std::ceil(shortBy * MsPerSecond)) + AfterSecondMs);
}

bool SecondCatchUp::pending() const
{
    return m_followUp->isActive();
}

void SecondCatchUp::followUp()
{
    if (!m_ticks || !m_ticks->isActive() || !m_show)
        return;
    m_following = true;
    m_show();
    m_following = false;
}
