#pragma once

#include <functional>

// Seconds since local midnight, with fractions, in single precision.
float Timer();

// Tests fix the clock with a source of their own; nullptr restores the real clock.
void setTimerSource(std::function<float()> source);
