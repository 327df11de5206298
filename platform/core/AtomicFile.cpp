#include "platform/core/AtomicFile.h"

#include "platform/core/FileSync.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool AtomicFile::replace(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                         std::string* error)
{
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return write(target, bytes, mode, Publish::Replace, error) == Created::Done;
}

AtomicFile::Created AtomicFile::create(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                                       std::string* error)
{
    return write(target, bytes, mode, Publish::NoReplace, error);
}

AtomicFile::Created AtomicFile::write(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                                      Publish publish, std::string* error)
{
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    bool done = fd >= 0;
    if (done) {
        done = ::fchmod(fd, mode) == 0 && FileSync::writeAll(fd, bytes) && ::fsync(fd) == 0;
        done = ::close(fd) == 0 && done;
        if (done && publish == Publish::Replace)
            done = ::rename(temporary.c_str(), target.c_str()) == 0;
        else if (done)
            done = FileSync::renameWithoutReplacing(temporary, target);
    }
    if (!done) {
        const int reason = errno;
        if (fd >= 0)
            ::unlink(temporary.c_str());
        if (reason == EEXIST && publish == Publish::NoReplace)
            return Created::Exists;
        if (error)
            *error = "无法写入文件 " + target.string() + " (" + std::strerror(reason) + ")";
        return Created::Failed;
    }
    FileSync::syncFolder(folder);
    return Created::Done;
}

}  // namespace platform
