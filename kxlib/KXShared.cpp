#include "kxlib/KXShared.h"

namespace KXLib {

KXShared::~KXShared() = default;

int KXShared::addRef()
{
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

int KXShared::release()
{
    // acq_rel: the thread that drops the last reference must see every write the other holders
    // made before they let go, or the destructor could run on stale state.
    const int count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0 && !disposed_.load(std::memory_order_acquire)) {
        disposed_.store(true, std::memory_order_release);
        delete this;
    }
    return count;
}

int KXShared::refCount() const
{
    return refCount_.load(std::memory_order_acquire);
}

void KXShared::setDisposed(bool disposed)
{
    disposed_.store(disposed, std::memory_order_release);
}

}  // namespace KXLib
