#include "platform/gui/InhibitLock.h"

#include <unistd.h>

namespace platform {

InhibitLock& InhibitLock::operator=(InhibitLock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void InhibitLock::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

}  // namespace platform
