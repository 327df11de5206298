#pragma once
// KXMutex: a plain (not re-entrant) mutual-exclusion lock that Clang's thread-safety analysis
// knows as a capability, so the fields it guards can say KX_GUARDED_BY and the functions that
// need it KX_REQUIRES. Hold it through KXMutexLock; wait on it with KXCondition.
//
// Taking it again on the thread that holds it never returns. Where a thread must re-enter, use
// KXCriticalSection instead. Any thread; not copyable.
#include "kxlib/KXThreadSafety.h"

#include <mutex>

namespace KXLib {

class KXCondition;

class KX_CAPABILITY("mutex") KXMutex {
public:
    KXMutex() = default;
    KXMutex(const KXMutex&) = delete;
    KXMutex& operator=(const KXMutex&) = delete;

    void lock() KX_ACQUIRE() { mutex_.lock(); }
    // True when the lock was taken without waiting.
    bool tryLock() KX_TRY_ACQUIRE(true) { return mutex_.try_lock(); }
    void unlock() KX_RELEASE() { mutex_.unlock(); }

private:
    friend class KXCondition;  // waits on the underlying mutex the caller holds
    std::mutex mutex_;
};

}  // namespace KXLib
