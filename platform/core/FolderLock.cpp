#include "platform/core/FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace platform {

FolderLock::FolderLock(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    int result;
    do
        result = ::flock(descriptor, LOCK_EX);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(descriptor);
        return;
    }
    descriptor_ = descriptor;
}

FolderLock::~FolderLock()
{
    // Closing the folder releases the lock.
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

}  // namespace platform
