#pragma once
// KXAutoLock: holds a KXCriticalSection for the lifetime of a scope.
//   {
//       KXAutoLock lock(&jobLock);
//       copy = sharedText;
//   }
// A null section makes the lock do nothing. leave() lets go early; the destructor then does not
// leave a second time.
#include "kxlib/KXCriticalSection.h"
#include "kxlib/KXThreadSafety.h"

namespace KXLib {

class KX_SCOPED_CAPABILITY KXAutoLock {
public:
    explicit KXAutoLock(KXCriticalSection* section) KX_ACQUIRE(section);
    virtual ~KXAutoLock() KX_RELEASE();
    KXAutoLock(const KXAutoLock&) = delete;
    KXAutoLock& operator=(const KXAutoLock&) = delete;

    // Leaves the section now, once; later calls and the destructor do nothing.
    void leave() KX_RELEASE();

private:
    KXCriticalSection* section_;
    bool released_ = false;
};

}  // namespace KXLib
