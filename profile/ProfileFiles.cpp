#include "profile/ProfileFiles.h"

#include "profile/ProfileCatalogue.h"

#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace profile {

// Records are kept in memory in their file form.
static_assert(std::endian::native == std::endian::little, "profile records are little-endian in memory and on disk");

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

FilePointer openForReading(const std::filesystem::path& file)
{
    return FilePointer(std::fopen(file.c_str(), "rb"));
}

// A new file next to its final name, written whole and flushed to disk before it is renamed over
// the real file. Removed again unless committed.
class PendingFile {
public:
    PendingFile(const std::filesystem::path& folder, const std::string& finalName)
    {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
            path_ = folder / ("." + finalName + "." + std::to_string(::getpid()) + "." + std::to_string(counter++));
            // 0666 so the finished file gets the permissions the user's umask asks for.
            descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ < 0 && errno != EEXIST)
                break;
        }
        if (descriptor_ < 0)
            path_.clear();
    }
    ~PendingFile()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes all bytes, flushes them to disk and closes the file; false on any failure.
    bool writeAndClose(const std::string& bytes)
    {
        if (descriptor_ < 0)
            return false;
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t result = ::write(descriptor_, bytes.data() + written, bytes.size() - written);
            if (result < 0 && errno == EINTR)
                continue;
            if (result <= 0)
                return false;
            written += static_cast<std::size_t>(result);
        }
        const bool synced = ::fsync(descriptor_) == 0;
        const bool closed = ::close(descriptor_) == 0;
        descriptor_ = -1;
        return synced && closed;
    }

    // The file now lives under its final name; nothing to remove.
    void committed() { path_.clear(); }

private:
    std::filesystem::path path_;
    int descriptor_ = -1;
};

void syncFolder(const std::filesystem::path& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// Keeps the current contents of `file` reachable under `backup` until the save is over, so that a
// failure after `file` was replaced can put it back. A hard link costs nothing; file systems
// without links get a copy. True also when there is no file to keep.
bool keepPreviousFile(const std::filesystem::path& file, const std::filesystem::path& backup, bool& kept)
{
    kept = false;
    struct stat status;
    if (::lstat(file.c_str(), &status) != 0)
        return errno == ENOENT;
    if (::link(file.c_str(), backup.c_str()) == 0) {
        kept = true;
        return true;
    }
    std::error_code error;
    kept = std::filesystem::copy_file(file, backup, error) && !error;
    if (!kept)
        std::filesystem::remove(backup, error);   // a copy that broke off halfway
    return kept;
}

}  // namespace

ProfileFiles::ProfileFiles(std::filesystem::path dataDirectory)
    : dataDirectory_(std::move(dataDirectory))
{
}

bool ProfileFiles::readProfileRecords(ProfileTree& tree, std::FILE* file)
{
    bool inserted = false;
    for (;;) {
        // All zero, the magic included, so a short read can never pass the magic check.
        auto record = std::make_unique<ProfileRecord>();
        std::memset(record.get(), 0, sizeof(ProfileRecord));
        const std::size_t got = std::fread(record.get(), 1, kProfileRecordSize, file);
        if (got == kProfileRecordSize && hasRecordMagic(*record))
            inserted = tree.insertProfile(std::move(record)) != nullptr || inserted;
        // A short read is the end of the file or a read error; either way nothing more follows.
        if (got < kProfileRecordSize)
            break;
    }
    return inserted;
}

void ProfileFiles::load(ProfileTree& tree, std::span<unsigned char> header, bool createCatalogue) const
{
    bool inserted = false;
    {
        FilePointer systemFile = openForReading(this->systemFile());
        if (!systemFile && !createCatalogue)
            return;
        if (!systemFile) {
            // The user's profiles are read even so: user_profile.dat is their only copy, and the
            // save that follows the start-up load would otherwise replace it with an empty file.
            buildCatalogue(tree);
            readUserFile(tree);
            return;
        }
        if (!header.empty()) {
            // A short header is not an error: the buffer keeps what was read, and the records
            // that follow (none) decide whether the catalogue is needed.
            const std::size_t headerRead = std::fread(header.data(), 1, header.size(), systemFile.get());
            static_cast<void>(headerRead);
        } else {
            std::fseek(systemFile.get(), static_cast<long>(kHeaderSize), SEEK_SET);
        }
        inserted = readProfileRecords(tree, systemFile.get());
    }
    if (!inserted && createCatalogue)
        buildCatalogue(tree);
    readUserFile(tree);
}

void ProfileFiles::readUserFile(ProfileTree& tree) const
{
    if (FilePointer userFile = openForReading(this->userFile()))
        readProfileRecords(tree, userFile.get());
}

bool ProfileFiles::save(const ProfileTree& tree, std::span<const unsigned char, kHeaderSize> header) const
{
    std::string systemBytes(reinterpret_cast<const char*>(header.data()), header.size());
    std::string userBytes;
    tree.findInPreOrder([&](const ProfileNode& node) {
        if (const ProfileRecord* record = node.record())
            (record->isUserProfile != 0 ? userBytes : systemBytes)
                .append(reinterpret_cast<const char*>(record), kProfileRecordSize);
        return false;
    });

    std::error_code error;
    std::filesystem::create_directories(dataDirectory_, error);
    if (error)
        return false;

    PendingFile systemPending(dataDirectory_, kSystemFileName);
    PendingFile userPending(dataDirectory_, kUserFileName);
    if (!systemPending.writeAndClose(systemBytes) || !userPending.writeAndClose(userBytes))
        return false;

    const std::filesystem::path systemTarget = systemFile();
    const std::filesystem::path userTarget = userFile();
    const std::filesystem::path backup = systemPending.path().string() + ".old";
    bool haveBackup = false;
    if (!keepPreviousFile(systemTarget, backup, haveBackup))
        return false;

    bool replaced = false;
    if (::rename(systemPending.path().c_str(), systemTarget.c_str()) == 0) {
        systemPending.committed();
        if (::rename(userPending.path().c_str(), userTarget.c_str()) == 0) {
            userPending.committed();
            replaced = true;
        } else if (haveBackup) {
            ::rename(backup.c_str(), systemTarget.c_str());
            haveBackup = false;
        } else {
            ::unlink(systemTarget.c_str());   // there was no profile.dat before this save
        }
    }
    if (haveBackup)
        ::unlink(backup.c_str());
    syncFolder(dataDirectory_);
    return replaced;
}

}  // namespace profile
