#include "platform/core/IniFile.h"

#include "platform/core/FileSync.h"
#include "platform/core/FolderLock.h"
#include "platform/core/RegularFile.h"

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

bool writeAll(int fd, const std::string& bytes) { return FileSync::writeAll(fd, bytes); }

}  // namespace

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<IniDocument> IniFile::load(RegularFileStatus* status) const
{
    std::string bytes;
    // Only a regular file is read, and never waited on: a FIFO or a device in the settings file's
    // place is refused at once instead of blocking or spinning the caller.
    const RegularFileStatus result = RegularFile::read(file_, kMaxFileBytes, bytes);
    if (status)
        *status = result;
    switch (result) {
    case RegularFileStatus::Ok:
        return IniDocument(bytes);
    case RegularFileStatus::Missing:
        return IniDocument();
    case RegularFileStatus::NotRegular:
    case RegularFileStatus::TooLarge:
    case RegularFileStatus::Unreadable:
        break;
    }
    return std::nullopt;
}

bool IniFile::save(const IniDocument& document) const
{
    const std::filesystem::path target = RegularFile::writeTarget(file_);
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

bool IniFile::update(const std::function<bool(IniDocument&)>& change) const
{
    const FolderLock lock(file_.parent_path().empty() ? std::filesystem::path(".") : file_.parent_path());
    auto document = load();
    return document && change(*document) && save(*document);
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) const
{
    return update([&](IniDocument& document) { return document.setValue(section, key, value); });
}

}  // namespace platform
