#include "convert/OutputClaim.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace convert {

namespace {

// Creates the file only when nothing of that name exists; a signal does not count as an answer.
int createExclusive(const std::string& path)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

std::optional<OutputClaim> OutputClaim::claim(const OutputName& name, std::string* reason)
{
    auto refuse = [reason](std::string text) -> std::optional<OutputClaim> {
        if (reason)
            *reason = std::move(text);
        return std::nullopt;
    };
    for (uint64_t n = 0;; ++n) {
        const std::string fileName = name.fileName(n);
        const std::string path = name.path(n);
        if (fileName.size() > NAME_MAX || path.size() >= PATH_MAX)
            return refuse("输出文件名太长: " + path);
        const int fd = createExclusive(path);
        if (fd < 0) {
            const int error = errno;
            if (error == EEXIST)
                continue;  // taken by a file, a folder or a link of any kind: the next number
            if (error == ENAMETOOLONG)
                return refuse("输出文件名太长: " + path);
            return refuse("无法创建输出文件 " + path + ": " + std::strerror(error));
        }
        struct stat info {};
        const bool known = ::fstat(fd, &info) == 0;
        ::close(fd);
        return OutputClaim(path, known ? info.st_dev : 0, known ? info.st_ino : 0);
    }
}

std::optional<OutputClaim::Stamp> OutputClaim::stamp() const
{
    struct stat info {};
    if (::lstat(path_.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (info.st_dev != device_ || info.st_ino != inode_)
        return std::nullopt;
    return Stamp{static_cast<uint64_t>(info.st_size),
                 static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool OutputClaim::remove() const
{
    const std::optional<Stamp> now = stamp();
    if (!now || (expected_ && *now != *expected_))
        return false;
    return ::unlink(path_.c_str()) == 0;
}

}  // namespace convert
