#include "kxlib/KXSemaphore.h"

#include "kxlib/KXMutexLock.h"

#include <algorithm>
#include <chrono>

namespace KXLib {

KXSemaphore::KXSemaphore(long initialCount, long maximumCount)
    : count_(0), maximum_(std::max(1L, maximumCount))
{
    count_ = std::clamp(initialCount, 0L, maximum_);
}

bool KXSemaphore::post()
{
    // Signal with the mutex held: a waiter that takes the unit may go on to destroy this
    // semaphore, which must not happen while signal() is still touching it.
    KXMutexLock lock(mutex_);
    if (count_ >= maximum_)
        return false;
    ++count_;
    available_.signal();
    return true;
}

bool KXSemaphore::wait(uint32_t milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    KXMutexLock lock(mutex_);
    while (count_ <= 0) {
        if (milliseconds == kKXInfinite)
            available_.wait(mutex_);
        else if (!available_.waitUntil(mutex_, deadline) && count_ <= 0)
            return false;
    }
    --count_;
    return true;
}

long KXSemaphore::count() const
{
    KXMutexLock lock(mutex_);
    return count_;
}

}  // namespace KXLib
