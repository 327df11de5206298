#include "platform/core/AwakeClock.h"

#include <time.h>

namespace platform {

namespace {

class MonotonicClock final : public AwakeClock {
public:
    int64_t nowMillis() const override
    {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }
};

}  // namespace

AwakeClock::~AwakeClock() = default;

const AwakeClock& AwakeClock::system()
{
    static const MonotonicClock clock;
    return clock;
}

}  // namespace platform
