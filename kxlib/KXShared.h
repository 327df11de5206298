#pragma once
// KXShared: the intrusive, thread-safe reference count that every library object, dialog and job
// carries. Always inherit it virtually (`class X : public virtual KXShared`), so an object that
// reaches it along several paths still has exactly one count.
//
// Life cycle: a new object has count 0. KXSmartPtr raises the count when it takes the object and
// lowers it when it lets go; the release that brings the count to 0 deletes the object through
// its virtual destructor, unless the object is "disposed". Objects that do not live on the heap
// (dialogs on the stack, members of other objects) call setDisposed(true) before anyone takes a
// reference, so references to them never delete them.
//
// Threads: addRef(), release() and refCount() may be called from any thread at once. The test of
// the new count together with the disposed flag in release() is not one atomic step: the design
// relies on the last reference being dropped exactly once, which KXSmartPtr guarantees.
#include <atomic>
#include <cstdint>

namespace KXLib {

class KXShared {
public:
    KXShared() = default;
    // A copy is a new object: it starts with no references and not disposed.
    KXShared(const KXShared&) noexcept {}
    // Assigning one object's value to another never touches either one's count.
    KXShared& operator=(const KXShared&) noexcept { return *this; }

    virtual ~KXShared();

    // Adds one reference; returns the new count.
    virtual int addRef();
    // Drops one reference; returns the new count. When the new count is 0 and the object is not
    // disposed, marks it disposed and deletes it (so references taken and dropped by its own
    // destructor do not delete it a second time). Releasing an object whose count is already 0
    // returns -1 and deletes nothing.
    virtual int release();
    // The current count.
    virtual int refCount() const;
    // Disposed objects are never deleted by release(). Clearing the flag does not delete the
    // object by itself; a later release() that reaches 0 does.
    virtual void setDisposed(bool disposed);

    bool isDisposed() const { return disposed_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> disposed_{false};
    std::atomic<int32_t> refCount_{0};
};

}  // namespace KXLib
