#pragma once
// KXCondition: a condition variable for a KXMutex. The waiter holds the mutex, checks what it
// waits for in a loop and waits while it is not there; the waiting thread lets go of the mutex
// while it sleeps and holds it again when wait() returns. Wake-ups may be spurious, hence the loop:
//   KXMutexLock lock(mutex_);
//   while (queue_.empty())
//       arrived_.wait(mutex_);
//
// Every waiter of one condition must pass the same mutex. signal() and signalAll() need no lock;
// call them with the mutex held when a woken waiter may destroy the condition at once.
// Any thread; not copyable.
#include "kxlib/KXMutex.h"
#include "kxlib/KXThreadSafety.h"

#include <chrono>
#include <condition_variable>

namespace KXLib {

class KXCondition {
public:
    KXCondition() = default;
    KXCondition(const KXCondition&) = delete;
    KXCondition& operator=(const KXCondition&) = delete;

    void wait(KXMutex& mutex) KX_REQUIRES(mutex);
    // As wait(), but false once `deadline` has passed (the mutex is held again either way).
    bool waitUntil(KXMutex& mutex, std::chrono::steady_clock::time_point deadline) KX_REQUIRES(mutex);

    // Wakes one waiter; wakes every waiter.
    void signal() { condition_.notify_one(); }
    void signalAll() { condition_.notify_all(); }

private:
    std::condition_variable condition_;
};

}  // namespace KXLib
