#pragma once

#include <math.h>

// ln C(n, k), the log of the number of ways to choose k of n cells. Through the
// reentrant log-gamma: the plain one writes a global sign, which would make two
// analyses on two threads race.
inline double logChoose(int n, int k)
{
    int sign = 0;
    return ::lgamma_r(n + 1.0, &sign) - ::lgamma_r(k + 1.0, &sign) - ::lgamma_r(n - k + 1.0, &sign);
}
