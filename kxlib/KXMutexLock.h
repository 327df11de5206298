#pragma once
// KXMutexLock: holds a KXMutex for the lifetime of a scope.
//   {
//       KXMutexLock lock(processMutex_);
//       process_.reset();
//   }
#include "kxlib/KXMutex.h"
#include "kxlib/KXThreadSafety.h"

namespace KXLib {

class KX_SCOPED_CAPABILITY KXMutexLock {
public:
    explicit KXMutexLock(KXMutex& mutex) KX_ACQUIRE(mutex) : mutex_(mutex) { mutex_.lock(); }
    ~KXMutexLock() KX_RELEASE() { mutex_.unlock(); }
    KXMutexLock(const KXMutexLock&) = delete;
    KXMutexLock& operator=(const KXMutexLock&) = delete;

private:
    KXMutex& mutex_;
};

}  // namespace KXLib
