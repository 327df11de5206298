#include "platform/gui/WheelSteps.h"

#include "platform/core/WinTypes.h"

namespace platform {

int WheelSteps::add(int delta)
{
    if (delta == 0)
        return 0;
    if ((pending_ < 0 && delta > 0) || (pending_ > 0 && delta < 0))
        pending_ = 0;
    pending_ += delta;
    // The message carries the delta in a signed 16-bit word: a burst larger than that is handed
    // out in the largest whole number of notches that fits, and the rest stays for later.
    constexpr int kMostNotches = 32767 / WHEEL_DELTA;
    int notches = pending_ / WHEEL_DELTA;
    if (notches > kMostNotches)
        notches = kMostNotches;
    else if (notches < -kMostNotches)
        notches = -kMostNotches;
    pending_ -= notches * WHEEL_DELTA;
    return notches * WHEEL_DELTA;
}

}  // namespace platform
