#include "profile/ProfileFiles.h"

#include "profile/ProfileCatalogue.h"
#include "profile/ProfileRecordCheck.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FileSync.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace profile {

// Records are kept in memory in their file form.
static_assert(std::endian::native == std::endian::little, "profile records are little-endian in memory and on disk");

namespace {

using platform::RegularFile;
using platform::RegularFileStatus;

// Reads a profile file whole. A file that exists but cannot be used is added to `problems`.
RegularFileStatus readProfileFile(const std::filesystem::path& file, std::string& bytes,
                                  std::vector<ProfileFileProblem>* problems)
{
    const RegularFileStatus status = RegularFile::read(file, ProfileFiles::kMaxFileBytes, bytes);
    using Kind = ProfileFileProblem::Kind;
    std::optional<Kind> kind;
    switch (status) {
    case RegularFileStatus::Ok:
    case RegularFileStatus::Missing:
        break;
    case RegularFileStatus::NotRegular:
        kind = Kind::NotRegular;
        break;
    case RegularFileStatus::TooLarge:
        kind = Kind::TooLarge;
        break;
    case RegularFileStatus::Unreadable:
        kind = Kind::Unreadable;
        break;
    }
    if (kind && problems)
        problems->push_back({*kind, file});
    return status;
}

// Calls `visit` with each intact record of `bytes`; false when the bytes are not all intact
// records.
template <typename Visit>
bool forEachIntactRecord(std::string_view bytes, Visit&& visit)
{
    bool allIntact = bytes.size() % kProfileRecordSize == 0;
    for (std::size_t offset = 0; offset + kProfileRecordSize <= bytes.size(); offset += kProfileRecordSize) {
        auto record = std::make_unique<ProfileRecord>();
        std::memcpy(record.get(), bytes.data() + offset, kProfileRecordSize);
        if (isIntactRecord(*record))
            visit(std::move(record));
        else
            allIntact = false;
    }
    return allIntact;
}

// Writes all of `bytes` to an open file and flushes them to disk; false on any failure.
bool writeAllAndSync(int descriptor, const std::string& bytes)
{
    return platform::FileSync::writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
}

// A new file next to its final name, written whole and flushed to disk before it is renamed over
// the real file. Removed again unless committed.
class PendingFile {
public:
    // `mode`: the permission bits to give the file; none for the umask's choice.
    PendingFile(const std::filesystem::path& finalPath, std::optional<mode_t> mode)
    {
        static std::atomic<unsigned> counter{0};
        const std::filesystem::path folder = finalPath.parent_path();
        const std::string finalName = finalPath.filename().string();
        for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
            path_ = folder / ("." + finalName + "." + std::to_string(::getpid()) + "." + std::to_string(counter++));
            // 0666 so that a new file gets the permissions the user's umask asks for.
            descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ < 0 && errno != EEXIST)
                break;
        }
        if (descriptor_ < 0)
            path_.clear();
        else if (mode && ::fchmod(descriptor_, *mode) != 0)
            failed_ = true;
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
        if (descriptor_ < 0 || failed_)
            return false;
        const bool synced = writeAllAndSync(descriptor_, bytes);
        const bool closed = ::close(descriptor_) == 0;
        descriptor_ = -1;
        return synced && closed;
    }

    // The file now lives under its final name; nothing to remove.
    void committed() { path_.clear(); }

private:
    std::filesystem::path path_;
    int descriptor_ = -1;
    bool failed_ = false;
};

void syncFolder(const std::filesystem::path& folder) { platform::FileSync::syncFolder(folder); }

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

// The permission bits of an existing file, which its replacement keeps.
std::optional<mode_t> modeOf(const std::filesystem::path& file)
{
    // A link that is being replaced by a plain file has no bits of its own worth keeping.
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0 || S_ISLNK(status.st_mode))
        return std::nullopt;
    return status.st_mode & 07777;
}

// True when `file` is a regular file holding exactly `bytes`.
bool holdsBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::string current;
    return RegularFile::read(file, ProfileFiles::kMaxFileBytes, current) == RegularFileStatus::Ok && current == bytes;
}

// Keeps a damaged file under `candidate`, a name that must not exist yet: a link's target is
// copied (the link stays, to be replaced by a plain file at the next save), a plain file is moved.
platform::AtomicFile::Created keepAs(bool link, const std::filesystem::path& file,
                                     const std::filesystem::path& candidate, const std::string& bytes)
{
    if (link)
        return platform::AtomicFile::create(candidate, bytes, 0600, nullptr);
    if (platform::FileSync::renameWithoutReplacing(file, candidate))
        return platform::AtomicFile::Created::Done;
    return errno == EEXIST ? platform::AtomicFile::Created::Exists : platform::AtomicFile::Created::Failed;
}

// ASCII letters folded to lower case; other characters as they are.
std::u16string foldAsciiCase(std::u16string text)
{
    for (char16_t& unit : text)
        if (unit >= u'A' && unit <= u'Z')
            unit = static_cast<char16_t>(unit - u'A' + u'a');
    return text;
}

}  // namespace

ProfileFiles::ProfileFiles(std::filesystem::path dataDirectory)
    : dataDirectory_(std::move(dataDirectory))
{
}

bool ProfileFiles::readProfileRecords(ProfileTree& tree, std::string_view records, bool& inserted)
{
    inserted = false;
    return forEachIntactRecord(records, [&](std::unique_ptr<ProfileRecord> record) {
        inserted = tree.insertProfile(std::move(record)) != nullptr || inserted;
    });
}

std::vector<ProfileFileProblem> ProfileFiles::load(ProfileTree& tree, std::span<unsigned char> header,
                                                   bool createCatalogue) const
{
    std::vector<ProfileFileProblem> problems;
    std::string systemBytes;
    const RegularFileStatus systemStatus = readProfileFile(systemFile(), systemBytes, &problems);
    if (systemStatus == RegularFileStatus::Missing && !createCatalogue)
        return problems;

    bool inserted = false;
    if (systemStatus == RegularFileStatus::Ok) {
        const std::size_t recordsStart = header.empty() ? kHeaderSize : header.size();
        // A short header is not an error in itself: the buffer keeps what was read.
        if (!header.empty())
            std::memcpy(header.data(), systemBytes.data(), std::min(header.size(), systemBytes.size()));
        bool intact = true;
        if (systemBytes.size() >= recordsStart)
            intact = readProfileRecords(tree, std::string_view(systemBytes).substr(recordsStart), inserted);
        else
            intact = systemBytes.empty();   // an emptied file asks for the catalogue; a cut one is damaged
        if (!intact)
            problems.push_back({ProfileFileProblem::Kind::Damaged, systemFile()});
        // What a damaged file lost of the built-in profiles comes back; the profiles it still
        // holds stay as they are, and a file that lost nothing is never merged with the catalogue.
        if (!intact && inserted && createCatalogue)
            restoreMissingCatalogueProfiles(tree);
    }
    // The user's profiles are read even without profile.dat: user_profile.dat is their only copy,
    // and the save that follows the start-up load would otherwise replace it with an empty file.
    if (!inserted && createCatalogue)
        buildCatalogue(tree);

    std::string userBytes;
    if (readProfileFile(userFile(), userBytes, &problems) == RegularFileStatus::Ok) {
        bool userInserted = false;
        if (!readProfileRecords(tree, userBytes, userInserted))
            problems.push_back({ProfileFileProblem::Kind::Damaged, userFile()});
    }
    return problems;
}

std::vector<std::string> ProfileFiles::readCategoryNames() const
{
    std::vector<std::string> names;
    std::vector<std::u16string> seen;
    const auto collect = [&](std::unique_ptr<ProfileRecord> record) {
        const std::u16string name = fieldText(record->categoryName, kProfileTextChars);
        std::u16string folded = foldAsciiCase(name);
        if (std::find(seen.begin(), seen.end(), folded) != seen.end())
            return;
        seen.push_back(std::move(folded));
        names.push_back(toUtf8(name));
    };
    std::string bytes;
    if (readProfileFile(systemFile(), bytes, nullptr) == RegularFileStatus::Ok && bytes.size() >= kHeaderSize)
        forEachIntactRecord(std::string_view(bytes).substr(kHeaderSize), collect);
    if (readProfileFile(userFile(), bytes, nullptr) == RegularFileStatus::Ok)
        forEachIntactRecord(bytes, collect);
    return names;
}

std::filesystem::path ProfileFiles::setAside(const std::filesystem::path& file)
{
    std::error_code error;
    const bool link = std::filesystem::is_symlink(file, error);
    std::string bytes;
    if (link && RegularFile::read(file, kMaxFileBytes, bytes) != RegularFileStatus::Ok)
        return {};
    const std::string base = file.string() + ".bad";
    for (int number = 0; number < 1000; ++number) {
        std::filesystem::path candidate = number == 0 ? base : base + "." + std::to_string(number);
        const platform::AtomicFile::Created kept = keepAs(link, file, candidate, bytes);
        if (kept == platform::AtomicFile::Created::Done) {
            syncFolder(file.parent_path());
            if (link)
                detachedLinks_.push_back(file);
            return candidate;
        }
        if (kept == platform::AtomicFile::Created::Failed)
            break;
    }
    return {};
}

std::filesystem::path ProfileFiles::writeTarget(const std::filesystem::path& file) const
{
    if (std::find(detachedLinks_.begin(), detachedLinks_.end(), file) != detachedLinks_.end())
        return file;
    return RegularFile::writeTarget(file);
}

bool ProfileFiles::save(const ProfileTree& tree, std::span<const unsigned char, kHeaderSize> header) const
{
    const platform::FolderLock lock(dataDirectory_);
    return save(tree, header, lock);
}

bool ProfileFiles::save(const ProfileTree& tree, std::span<const unsigned char, kHeaderSize> header,
                        const platform::FolderLock& /*heldLock*/) const
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

    struct Replacement {
        std::filesystem::path target;
        const std::string* bytes;
    };
    std::vector<Replacement> replacements;
    for (const Replacement& candidate : {Replacement{writeTarget(systemFile()), &systemBytes},
                                         Replacement{writeTarget(userFile()), &userBytes}}) {
        // An unchanged file is not rewritten: no new inode, no new time stamp, no write at all.
        if (!holdsBytes(candidate.target, *candidate.bytes))
            replacements.push_back(candidate);
    }
    if (replacements.empty())
        return true;

    std::vector<std::unique_ptr<PendingFile>> pending;
    for (const Replacement& replacement : replacements) {
        pending.push_back(std::make_unique<PendingFile>(replacement.target, modeOf(replacement.target)));
        if (!pending.back()->writeAndClose(*replacement.bytes))
            return false;
    }

    // With two files to replace, the first one's previous contents are kept until the second is
    // in place, so that a failed second rename can put the first back.
    const bool both = replacements.size() == 2;
    const std::filesystem::path& first = replacements.front().target;
    const std::filesystem::path backup = pending.front()->path().string() + ".old";
    bool haveBackup = false;
    if (both && !keepPreviousFile(first, backup, haveBackup))
        return false;

    bool replaced = false;
    if (::rename(pending[0]->path().c_str(), first.c_str()) == 0) {
        pending[0]->committed();
        if (!both) {
            replaced = true;
        } else if (::rename(pending[1]->path().c_str(), replacements[1].target.c_str()) == 0) {
            pending[1]->committed();
            replaced = true;
        } else if (haveBackup) {
            ::rename(backup.c_str(), first.c_str());
            haveBackup = false;
        } else {
            ::unlink(first.c_str());   // there was no such file before this save
        }
    }
    if (haveBackup)
        ::unlink(backup.c_str());
    for (const Replacement& replacement : replacements)
        syncFolder(replacement.target.parent_path());
    return replaced;
}

}  // namespace profile
