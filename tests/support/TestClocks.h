#pragma once

#include "Clock.h"

#include <QList>

#include <utility>

// Stand-ins for the time-of-day clock. Each takes the clock over for its lifetime
// and gives it back when it goes.

// A clock that stands still until the test moves it, or with a step moves on by
// that much at every reading.
struct FixedClock {
    float now = 1000.0f;
    float step = 0.0f;
    FixedClock() { setTimerSource([this] { return now += step; }); }
    ~FixedClock() { setTimerSource(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

// A clock that gives the readings it was handed, one per call, and counts them.
class ScriptedClock {
public:
    explicit ScriptedClock(QList<float> readings = {}) : m_readings(std::move(readings))
    {
        setTimerSource([this] {
            ++m_reads;
            return m_readings.isEmpty() ? 0.0f : m_readings.takeFirst();
        });
    }
    ~ScriptedClock() { setTimerSource(nullptr); }
    ScriptedClock(const ScriptedClock&) = delete;
    ScriptedClock& operator=(const ScriptedClock&) = delete;
    int reads() const { return m_reads; }

private:
    QList<float> m_readings;
    int m_reads = 0;
};

// A clock that moves on by a fixed step at every reading, so that two runs
// reading it the same number of times see the same times.
class SteppingClock {
public:
    SteppingClock() { reset(); }
    ~SteppingClock() { setTimerSource(nullptr); }
    SteppingClock(const SteppingClock&) = delete;
    SteppingClock& operator=(const SteppingClock&) = delete;
    void reset()
    {
        m_now = 43210.5f;
        setTimerSource([this] { return m_now += 0.0625f; });
    }

private:
    float m_now = 0;
};
