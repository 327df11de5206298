#pragma once
// KXSemaphore: a counting semaphore with a ceiling, the waitable object behind KXSignal.
// post() adds one unit unless the count is at the ceiling (then it refuses and returns false,
// the count unchanged); wait() takes one unit, waiting for it up to a time limit. Waiting blocks
// on a condition variable: no busy waiting.
//
// Threads: every operation may be called from any thread. A waiter may destroy the semaphore as
// soon as its wait() has returned, provided no other call on it is still to come.
#include "kxlib/KXCondition.h"
#include "kxlib/KXMutex.h"
#include "kxlib/KXThreadSafety.h"

#include <cstdint>

namespace KXLib {

// A time limit that never runs out, for wait().
inline constexpr uint32_t kKXInfinite = 0xFFFFFFFFu;
// The ceiling of the media probe's work queue signal.
inline constexpr long kKXSignalMaximum = 8192;

class KXSemaphore {
public:
    // initialCount is clamped to [0, maximumCount]; maximumCount is at least 1.
    KXSemaphore(long initialCount, long maximumCount);
    KXSemaphore(const KXSemaphore&) = delete;
    KXSemaphore& operator=(const KXSemaphore&) = delete;

    // Adds one unit and wakes one waiter. False (and nothing changes) at the ceiling.
    bool post();
    // Takes one unit: true when one was taken within the limit, false on time-out.
    // milliseconds == 0 only tests; kKXInfinite waits without limit.
    bool wait(uint32_t milliseconds);

    long count() const;
    long maximum() const { return maximum_; }

private:
    mutable KXMutex mutex_;
    KXCondition available_;
    long count_ KX_GUARDED_BY(mutex_);
    const long maximum_;
};

}  // namespace KXLib
