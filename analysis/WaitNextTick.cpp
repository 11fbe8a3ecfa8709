#include "WaitNextTick.h"

#include "Clock.h"

namespace mGlobal {

float WaitNextTick()
{
    const float first = Timer();
    while (Timer() == first) {
    }
    return Timer();
}

}
