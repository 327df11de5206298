#pragma once
// KXSmartPtr<T>: holds one reference to a KXShared object (T must have KXShared as a base).
//
// - Taking a non-null pointer (construction, copy, assignment) adds a reference; letting go
//   (destruction, reset, assignment of another pointer) releases it.
// - Assignment adds the new reference before releasing the old one, so assigning a pointer that
//   is only kept alive by the old value (self-assignment through another path) is safe.
// - operator->, operator* and get() throw KXNullHandleException on a null pointer: reaching one
//   is a programming error. raw() and isNull() never throw; use them to test a lookup that may
//   fail.
// - dynamicCast<U>() is the checked down-cast: a null KXSmartPtr<U> when the object is of
//   another kind.
// - Comparisons compare the held pointers.
//
// Threads: one KXSmartPtr object is not itself synchronised, but different smart pointers to the
// same object may be copied and dropped on different threads at once (the count is atomic).
#include "kxlib/KXNullHandleException.h"
#include "kxlib/KXShared.h"

#include <cstddef>
#include <type_traits>
#include <utility>

namespace KXLib {

template <class T>
class KXSmartPtr {
public:
    KXSmartPtr() noexcept = default;
    KXSmartPtr(std::nullptr_t) noexcept {}
    KXSmartPtr(T* pointer) : pointer_(pointer) { acquire(pointer_); }
    KXSmartPtr(const KXSmartPtr& other) : pointer_(other.pointer_) { acquire(pointer_); }
    KXSmartPtr(KXSmartPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    KXSmartPtr(const KXSmartPtr<U>& other) : pointer_(other.raw()) { acquire(pointer_); }

    ~KXSmartPtr() { dropReference(pointer_); }

    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): assign() takes the new reference first.
    KXSmartPtr& operator=(const KXSmartPtr& other) { assign(other.pointer_); return *this; }
    KXSmartPtr& operator=(KXSmartPtr&& other) noexcept
    {
        if (this != &other)
            dropReference(std::exchange(pointer_, std::exchange(other.pointer_, nullptr)));
        return *this;
    }
    KXSmartPtr& operator=(T* pointer) { assign(pointer); return *this; }

    void reset() { dropReference(std::exchange(pointer_, nullptr)); }

    T* operator->() const { return checked(); }
    T& operator*() const { return *checked(); }
    T* get() const { return checked(); }

    // The held pointer, null allowed; never throws.
    T* raw() const noexcept { return pointer_; }
    bool isNull() const noexcept { return pointer_ == nullptr; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // The object as a U when it is one (a run-time type test), else a null pointer.
    template <class U>
    KXSmartPtr<U> dynamicCast() const { return KXSmartPtr<U>(dynamic_cast<U*>(pointer_)); }

    template <class U>
    bool operator==(const KXSmartPtr<U>& other) const noexcept { return pointer_ == other.raw(); }
    template <class U>
    bool operator==(const U* other) const noexcept { return pointer_ == other; }
    bool operator==(std::nullptr_t) const noexcept { return pointer_ == nullptr; }
    // Orders by address, so smart pointers can be keys of ordered containers.
    template <class U>
    bool operator<(const KXSmartPtr<U>& other) const noexcept { return pointer_ < other.raw(); }

private:
    static void acquire(T* pointer)
    {
        if (pointer)
            pointer->addRef();
    }
    static void dropReference(T* pointer)
    {
        if (pointer)
            pointer->release();
    }
    void assign(T* pointer)
    {
        if (pointer == pointer_)
            return;
        acquire(pointer);
        T* old = std::exchange(pointer_, pointer);
        dropReference(old);
    }
    T* checked() const
    {
        if (!pointer_)
            throw KXNullHandleException(__FILE__, __LINE__);
        return pointer_;
    }

    T* pointer_ = nullptr;
};

}  // namespace KXLib
