#include "platform/core/AwakeClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using platform::AwakeClock;

// A suspend cannot be staged in a test; what can be checked is that the clock runs with real time
// while awake and never goes back.
TEST(AwakeClockTest, RunsWithTimeAndNeverGoesBack)
{
    const AwakeClock& clock = AwakeClock::system();
    EXPECT_EQ(&clock, &AwakeClock::system());
    const int64_t before = clock.nowMillis();
    const auto steadyBefore = std::chrono::steady_clock::now();
    int64_t previous = before;
    for (int i = 0; i < 100000; ++i) {
        const int64_t now = clock.nowMillis();
        ASSERT_GE(now, previous);
        previous = now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const int64_t passed = clock.nowMillis() - before;
    const auto steadyPassed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - steadyBefore).count();
    EXPECT_GE(passed, 120);
    EXPECT_NEAR(static_cast<double>(passed), static_cast<double>(steadyPassed), 5.0);
}
