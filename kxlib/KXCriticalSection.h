#pragma once
// KXCriticalSection: a mutual-exclusion lock that the owning thread may enter again while it
// holds it (each enter() needs its own leave()). Hold it for short copy operations only, and
// normally through KXAutoLock. When two are nested, keep one order everywhere (the probe's queue
// lock before the job lock).
#include "kxlib/KXThreadSafety.h"

#include <mutex>

namespace KXLib {

class KX_CAPABILITY("mutex") KXCriticalSection {
public:
    KXCriticalSection() = default;
    KXCriticalSection(const KXCriticalSection&) = delete;
    KXCriticalSection& operator=(const KXCriticalSection&) = delete;

    void enter() KX_ACQUIRE() { mutex_.lock(); }
    // True when the lock was taken without waiting.
    bool tryEnter() KX_TRY_ACQUIRE(true) { return mutex_.try_lock(); }
    void leave() KX_RELEASE() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

}  // namespace KXLib
