#pragma once
// An awake clock the test moves by hand. A job's thread may read it while the test moves it.
#include "platform/core/AwakeClock.h"

#include <atomic>
#include <cstdint>

namespace testclock {

class ScriptedClock : public platform::AwakeClock {
public:
    int64_t nowMillis() const override { return now_.load(); }
    void advanceMillis(int64_t millis) { now_ += millis; }
    void advanceSeconds(double seconds) { now_ += static_cast<int64_t>(seconds * 1000.0 + 0.5); }

private:
    std::atomic<int64_t> now_{1000000};
};

}  // namespace testclock
