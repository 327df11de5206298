#pragma once
// The file descriptor the login manager hands out for an inhibition: the inhibition lasts while
// the descriptor is open, so this object holds it and closes it when released or destroyed.
// Movable, not copyable. Threads: any, one at a time.
namespace platform {

class InhibitLock {
public:
    InhibitLock() = default;
    // Takes ownership of `fd` (-1: holds nothing).
    explicit InhibitLock(int fd) : fd_(fd) {}
    ~InhibitLock() { release(); }
    InhibitLock(InhibitLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    InhibitLock& operator=(InhibitLock&& other) noexcept;
    InhibitLock(const InhibitLock&) = delete;
    InhibitLock& operator=(const InhibitLock&) = delete;

    bool isHeld() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Ends the inhibition (closes the descriptor); nothing when none is held.
    void release();

private:
    int fd_ = -1;
};

}  // namespace platform
