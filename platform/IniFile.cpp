#include "platform/IniFile.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// Closes a descriptor when the scope ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a failed close can mean lost data).
    bool close()
    {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Failed };

ReadResult readWholeFile(const std::filesystem::path& file, std::string& bytes)
{
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return ReadResult::Failed;
    bytes.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return ReadResult::Failed;
        }
        if (got == 0)
            return ReadResult::Ok;
        if (bytes.size() + static_cast<std::size_t>(got) > IniFile::kMaxFileBytes)
            return ReadResult::Failed;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<std::size_t>(put);
    }
    return true;
}

// The file a write must replace: the target of a symbolic link, so the link itself survives.
std::filesystem::path writeTarget(const std::filesystem::path& file)
{
    std::error_code error;
    if (std::filesystem::is_symlink(file, error)) {
        const auto target = std::filesystem::weakly_canonical(file, error);
        if (!error)
            return target;
    }
    return file;
}

}  // namespace

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<IniDocument> IniFile::load() const
{
    std::string bytes;
    switch (readWholeFile(file_, bytes)) {
    case ReadResult::Ok:
        return IniDocument(bytes);
    case ReadResult::Missing:
        return IniDocument();
    case ReadResult::Failed:
        break;
    }
    return std::nullopt;
}

bool IniFile::save(const IniDocument& document) const
{
    const std::filesystem::path target = writeTarget(file_);
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    std::string temporary = (folder / (target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0)
        return false;

    // Keep the old file's permissions; a new file gets the usual ones for a settings file.
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool written = ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), document.bytes()) &&
                         ::fsync(fd.get()) == 0 && fd.close();
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const auto document = load();
    return document ? document->readString(section, key, defaultValue) : std::string(defaultValue);
}

int IniFile::readInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const auto document = load();
    return document ? document->readInt(section, key, defaultValue) : defaultValue;
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) const
{
    auto document = load();
    return document && document->setValue(section, key, value) && save(*document);
}

}  // namespace platform
