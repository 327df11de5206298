#include "kxlib/KXSemaphore.h"

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
    // Notify with the mutex held: a waiter that takes the unit may go on to destroy this
    // semaphore, which must not happen while notify_one() is still touching it.
    std::lock_guard lock(mutex_);
    if (count_ >= maximum_)
        return false;
    ++count_;
    available_.notify_one();
    return true;
}

bool KXSemaphore::wait(uint32_t milliseconds)
{
    std::unique_lock lock(mutex_);
    const auto hasUnit = [this] { return count_ > 0; };
    if (milliseconds == kKXInfinite)
        available_.wait(lock, hasUnit);
    else if (!available_.wait_for(lock, std::chrono::milliseconds(milliseconds), hasUnit))
        return false;
    --count_;
    return true;
}

long KXSemaphore::count() const
{
    std::lock_guard lock(mutex_);
    return count_;
}

}  // namespace KXLib
