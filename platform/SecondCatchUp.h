#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QTimer;

// A clock that a one-second timer refreshes shows whole seconds, rounded down.
// A tick that reads the time a hair before the second it stands for (a timer a
// few milliseconds early, a time of day read in coarse steps) shows the second
// before, and the display then runs a second late until the next tick. Handed
// each tick's reading, this shows the clock once more just after that second,
// provided the ticking timer still runs then: a game that ended, was reset or
// held its clock meanwhile keeps what it shows.
class SecondCatchUp : public QObject {
    Q_OBJECT
public:
    // show refreshes the display; it may hand its own reading back to tickRead.
    SecondCatchUp(QTimer* ticks, std::function<void()> show, QObject* parent = nullptr);

    // A tick read the clock at this many seconds.
    void tickRead(double seconds);

    // Whether a follow-up is waiting to show the clock.
    bool pending() const;

private:
    void followUp();

    QPointer<QTimer> m_ticks;
    std::function<void()> m_show;
    QTimer* m_followUp = nullptr;
    bool m_following = false;
};
