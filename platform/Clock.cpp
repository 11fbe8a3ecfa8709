#include "Clock.h"

#include <QTime>

namespace {
std::function<float()>& timerSource()
{
    static std::function<float()> source;
    return source;
}
}

float Timer()
{
    if (const auto& source = timerSource())
        return source();
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

void setTimerSource(std::function<float()> source)
{
    timerSource() = std::move(source);
}
