#include "platform/core/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

RegularFileStatus statusOf(const struct stat& info, uint64_t maxBytes)
{
    if (!S_ISREG(info.st_mode))
        return RegularFileStatus::NotRegular;
    if (static_cast<uint64_t>(info.st_size) > maxBytes)
        return RegularFileStatus::TooLarge;
    return RegularFileStatus::Ok;
}

RegularFileStatus statusOfErrno(int error)
{
    return (error == ENOENT || error == ENOTDIR || error == ELOOP) ? RegularFileStatus::Missing
                                                                      : RegularFileStatus::Unreadable;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

RegularFile::Identity identityFrom(const struct stat& info)
{
    return {info.st_dev, info.st_ino, info.st_uid, info.st_mode};
}

// Reads the file that `path` names, opened with `flags` added; the opened file's status goes to *info.
RegularFileStatus readOpened(const std::filesystem::path& path, int flags, uint64_t maxBytes, std::string& bytes,
                             struct stat& info)
{
    bytes.clear();
    // O_NONBLOCK keeps open() from waiting for a FIFO's writer; fstat then refuses it.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | flags));
    if (fd.get() < 0)
        return (flags & O_NOFOLLOW) && errno == ELOOP ? RegularFileStatus::NotRegular : statusOfErrno(errno);
    if (::fstat(fd.get(), &info) != 0)
        return RegularFileStatus::Unreadable;
    const RegularFileStatus status = statusOf(info, maxBytes);
    if (status != RegularFileStatus::Ok)
        return status;

    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return RegularFileStatus::Unreadable;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        // The file may grow while we read it; the cap holds all the same.
        if (content.size() > maxBytes)
            return RegularFileStatus::TooLarge;
    }
    bytes = std::move(content);
    return RegularFileStatus::Ok;
}

}  // namespace

RegularFileStatus RegularFile::check(const std::filesystem::path& path, uint64_t maxBytes, uint64_t* size)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return statusOfErrno(errno);
    const RegularFileStatus status = statusOf(info, maxBytes);
    if (size && status != RegularFileStatus::NotRegular)
        *size = static_cast<uint64_t>(info.st_size);
    return status;
}

RegularFileStatus RegularFile::read(const std::filesystem::path& path, uint64_t maxBytes, std::string& bytes)
{
    struct stat info {};
    return readOpened(path, 0, maxBytes, bytes, info);
}

RegularFileStatus RegularFile::readWithoutFollowing(const std::filesystem::path& path, uint64_t maxBytes,
                                                    std::string& bytes, Identity& identity)
{
    struct stat info {};
    const RegularFileStatus status = readOpened(path, O_NOFOLLOW, maxBytes, bytes, info);
    if (status == RegularFileStatus::Ok || status == RegularFileStatus::TooLarge)
        identity = identityFrom(info);
    return status;
}

bool RegularFile::identityOf(const std::filesystem::path& path, Identity& identity)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return false;
    identity = identityFrom(info);
    return true;
}

std::filesystem::path RegularFile::writeTarget(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        auto target = std::filesystem::weakly_canonical(path, error);
        if (!error)
            return target;
    }
    return path;
}

std::string RegularFile::describe(RegularFileStatus status, const std::filesystem::path& path)
{
    const std::string name = path.string();
    switch (status) {
    case RegularFileStatus::Ok:
        return {};
    case RegularFileStatus::Missing:
        return "文件不存在: " + name;
    case RegularFileStatus::NotRegular:
        return "不是普通文件(文件夹、管道或设备): " + name;
    case RegularFileStatus::TooLarge:
        return "文件太大: " + name;
    case RegularFileStatus::Unreadable:
        break;
    }
    return "无法读取文件: " + name;
}

}  // namespace platform
