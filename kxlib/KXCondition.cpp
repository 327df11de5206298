#include "kxlib/KXCondition.h"

#include <mutex>

namespace KXLib {

// The caller holds the mutex: the lock object only adopts it for the wait and gives it back
// still held, so the caller's holder stays the one that unlocks it.
void KXCondition::wait(KXMutex& mutex)
{
    std::unique_lock<std::mutex> held(mutex.mutex_, std::adopt_lock);
    condition_.wait(held);
    held.release();
}

bool KXCondition::waitUntil(KXMutex& mutex, std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock<std::mutex> held(mutex.mutex_, std::adopt_lock);
    const bool woken = condition_.wait_until(held, deadline) == std::cv_status::no_timeout;
    held.release();
    return woken;
}

}  // namespace KXLib
