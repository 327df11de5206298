#include "convert/QueueJournal.h"

#include "convert/Crc32.h"
#include "convert/JobState.h"
#include "convert/OutputClaim.h"
#include "platform/core/FileSync.h"
#include "platform/core/RegularFile.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace convert {

namespace {

constexpr char kMagic[8] = {'L', 'u', 'm', 'a', 'r', 'e', 't', 'Q'};
constexpr uint8_t kAppendProfileNameFlag = 1;
constexpr uint8_t kOutputStampFlag = 2;
// The fixed part of a first-version row body: state, flags, size, device, inode, four text lengths,
// the profile. Later versions add the output's size and time.
constexpr std::size_t kFixedBodySize = 1 + 1 + 8 + 8 + 8 + 4 * 4 + 4;
// No row of a real list comes near this (four paths and an error text).
constexpr uint32_t kMaxBodySize = 1u << 20;
constexpr const char* kJournalName = "queue.dat";
constexpr const char* kTemporaryPrefix = ".queue.dat.";

static_assert(std::endian::native == std::endian::little, "the profile record is stored as held in memory");

void putNumber(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putText(std::string& out, const std::string& text)
{
    putNumber(out, text.size(), 4);
    out += text;
}

// Reads from a byte range; every read fails once the range is exhausted.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool number(uint64_t& value, int bytes)
    {
        if (bytes_.size() < static_cast<std::size_t>(bytes))
            return false;
        value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= uint64_t(static_cast<uint8_t>(bytes_[static_cast<std::size_t>(i)])) << (8 * i);
        bytes_.remove_prefix(static_cast<std::size_t>(bytes));
        return true;
    }
    bool piece(std::string_view& out, std::size_t length)
    {
        if (bytes_.size() < length)
            return false;
        out = bytes_.substr(0, length);
        bytes_.remove_prefix(length);
        return true;
    }
    bool text(std::string& out)
    {
        uint64_t length = 0;
        std::string_view bytes;
        if (!number(length, 4) || !piece(bytes, length))
            return false;
        out.assign(bytes);
        return true;
    }
    std::size_t left() const { return bytes_.size(); }

private:
    std::string_view bytes_;
};

void appendBody(std::string& out, const JournalRow& row, uint32_t profileIndex)
{
    putNumber(out, static_cast<uint8_t>(row.state), 1);
    putNumber(out, (row.appendProfileName ? kAppendProfileNameFlag : 0) | (row.outputStamp ? kOutputStampFlag : 0), 1);
    putNumber(out, row.sourceSize, 8);
    putNumber(out, row.outputDevice, 8);
    putNumber(out, row.outputInode, 8);
    putNumber(out, row.outputStamp ? row.outputStamp->size : 0, 8);
    putNumber(out, row.outputStamp ? static_cast<uint64_t>(row.outputStamp->modified) : 0, 8);
    putText(out, row.sourcePath);
    putText(out, row.targetFolder);
    putText(out, row.outputPath);
    putText(out, row.errorText);
    putNumber(out, profileIndex, 4);
}

std::string_view recordBytes(const profile::ProfileRecord& record)
{
    return {reinterpret_cast<const char*>(&record), profile::kProfileRecordSize};
}

// The distinct profile records of the rows, in order of first use, and each row's index among them.
// A list's rows mostly share one profile, so the table is usually one record long.
struct ProfileTable {
    std::vector<const profile::ProfileRecord*> records;
    std::vector<uint32_t> indexOfRow;

    explicit ProfileTable(const std::vector<JournalRow>& rows)
    {
        std::unordered_map<std::string_view, uint32_t> known;
        indexOfRow.reserve(rows.size());
        for (const JournalRow& row : rows) {
            // The same profile as the row before needs no look-up.
            if (!records.empty() && recordBytes(*records[indexOfRow.back()]) == recordBytes(row.profile)) {
                indexOfRow.push_back(indexOfRow.back());
                continue;
            }
            const auto [found, added] = known.emplace(recordBytes(row.profile), static_cast<uint32_t>(records.size()));
            if (added)
                records.push_back(&row.profile);
            indexOfRow.push_back(found->second);
        }
    }
};

bool isKnownState(uint64_t stored)
{
    return stored <= static_cast<uint64_t>(JobState::Done);
}

// The output's size and time, which the second version adds; a first-version row has none.
bool readOutputStamp(Reader& reader, uint64_t version, uint64_t flags, JournalRow& row)
{
    if (version < 2)
        return true;
    uint64_t size = 0;
    uint64_t modified = 0;
    if (!reader.number(size, 8) || !reader.number(modified, 8))
        return false;
    if (flags & kOutputStampFlag)
        row.outputStamp = OutputClaim::Stamp{size, static_cast<int64_t>(modified)};
    return true;
}

std::optional<JournalRow> decodeBody(std::string_view body, uint64_t version,
                                     const std::vector<profile::ProfileRecord>& profiles)
{
    Reader reader(body);
    JournalRow row;
    uint64_t state = 0;
    uint64_t flags = 0;
    uint64_t profileIndex = 0;
    if (!reader.number(state, 1) || !reader.number(flags, 1) || !reader.number(row.sourceSize, 8) ||
        !reader.number(row.outputDevice, 8) || !reader.number(row.outputInode, 8) ||
        !readOutputStamp(reader, version, flags, row) || !reader.text(row.sourcePath) ||
        !reader.text(row.targetFolder) || !reader.text(row.outputPath) || !reader.text(row.errorText) ||
        !reader.number(profileIndex, 4) || reader.left() != 0)
        return std::nullopt;
    const uint64_t knownFlags = version < 2 ? kAppendProfileNameFlag : kAppendProfileNameFlag | kOutputStampFlag;
    if (!isKnownState(state) || (flags & ~knownFlags) != 0 || row.sourcePath.empty() ||
        profileIndex >= profiles.size())
        return std::nullopt;
    row.state = static_cast<JobState>(state);
    row.appendProfileName = (flags & kAppendProfileNameFlag) != 0;
    row.profile = profiles[profileIndex];
    return row;
}

// Reads one row (length, body, checksum); nothing when the bytes there are not a whole, intact row.
std::optional<JournalRow> readRow(Reader& reader, uint64_t version, const std::vector<profile::ProfileRecord>& profiles)
{
    uint64_t length = 0;
    uint64_t checksum = 0;
    std::string_view body;
    if (!reader.number(length, 4) || length < kFixedBodySize || length > kMaxBodySize ||
        !reader.piece(body, length) || !reader.number(checksum, 4) || checksum != Crc32::of(body))
        return std::nullopt;
    return decodeBody(body, version, profiles);
}

// Reads the profile table and its checksum; nothing when it is not whole and intact.
std::optional<std::vector<profile::ProfileRecord>> readProfiles(Reader& reader, uint64_t count)
{
    std::string_view table;
    uint64_t checksum = 0;
    if (count > reader.left() / profile::kProfileRecordSize ||
        !reader.piece(table, count * profile::kProfileRecordSize) || !reader.number(checksum, 4) ||
        checksum != Crc32::of(table))
        return std::nullopt;
    std::vector<profile::ProfileRecord> profiles(count);
    if (count > 0)
        std::memcpy(profiles.data(), table.data(), table.size());
    return profiles;
}

void setError(std::string* error, const std::string& what, int reason)
{
    if (error)
        *error = what + " (" + std::strerror(reason) + ")";
}

// A restored row that still has to convert fails when its source is not the file that was added.
std::string sourceProblem(const JournalRow& row)
{
    uint64_t size = 0;
    const platform::RegularFileStatus status = platform::RegularFile::check(row.sourcePath, UINT64_MAX, &size);
    if (status == platform::RegularFileStatus::Missing)
        return "源文件已不存在: " + row.sourcePath;
    if (status != platform::RegularFileStatus::Ok)
        return platform::RegularFile::describe(status, row.sourcePath);
    if (size != row.sourceSize)
        return "源文件的大小已改变 (加入列表时 " + std::to_string(row.sourceSize) + " 字节, 现在 " +
               std::to_string(size) + " 字节): " + row.sourcePath;
    return {};
}

}  // namespace

bool JournalRow::operator==(const JournalRow& other) const
{
    return sourcePath == other.sourcePath && sourceSize == other.sourceSize &&
           profile::sameRecordBytes(profile, other.profile) && targetFolder == other.targetFolder &&
           state == other.state && appendProfileName == other.appendProfileName && outputPath == other.outputPath &&
           outputDevice == other.outputDevice && outputInode == other.outputInode &&
           outputStamp == other.outputStamp && errorText == other.errorText;
}

QueueJournal::QueueJournal(const std::filesystem::path& folder) : folder_(folder), path_(folder / kJournalName)
{
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    const int fd = ::open((folder_ / "queue.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return;
    }
    lockDescriptor_ = fd;
    cleanStaleTemporaries();
}

QueueJournal::~QueueJournal()
{
    // Closing the lock file releases the lock; the file itself stays, so that a program waiting
    // for it never locks a file that has just been unlinked.
    if (lockDescriptor_ >= 0)
        ::close(lockDescriptor_);
}

std::filesystem::path QueueJournal::badPath() const
{
    return folder_ / (std::string(kJournalName) + ".bad");
}

bool QueueJournal::exists() const
{
    std::error_code ignored;
    return held() && std::filesystem::symlink_status(path_, ignored).type() != std::filesystem::file_type::not_found;
}

void QueueJournal::cleanStaleTemporaries() const
{
    // Only the holder of the lock stages a journal, so a temporary file found now was left by a
    // program that ended between writing it and renaming it.
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kTemporaryPrefix, 0) == 0)
            ::unlink(it->path().c_str());
    }
}

JournalContents QueueJournal::load()
{
    if (!exists())
        return {};
    std::string bytes;
    const platform::RegularFileStatus status = platform::RegularFile::read(path_, kMaxBytes, bytes);
    JournalContents contents;
    if (status == platform::RegularFileStatus::Ok) {
        contents = decode(bytes);
    } else {
        contents.damaged = true;
        contents.problem = platform::RegularFile::describe(status, path_);
    }
    if (!contents.damaged)
        return contents;
    // The damaged file is kept for whoever wants to look at it; the list goes on with what was read.
    std::error_code error;
    std::filesystem::rename(path_, badPath(), error);
    contents.problem += error ? " 损坏的记录无法改名为 " + badPath().string() + "。"
                              : " 损坏的记录已保存为 " + badPath().string() + "。";
    return contents;
}

bool QueueJournal::save(const std::vector<JournalRow>& rows, std::string* error)
{
    if (!held()) {
        if (error)
            *error = "转换列表记录由另一个程序使用";
        return false;
    }
    const std::optional<std::filesystem::path> staged = stage(encode(rows), error);
    if (!staged || !commit(*staged, error))
        return false;
    ++writes_;
    return true;
}

bool QueueJournal::remove()
{
    if (!held())
        return false;
    std::error_code error;
    std::filesystem::remove(path_, error);
    return !error;
}

std::optional<std::filesystem::path> QueueJournal::stage(std::string_view bytes, std::string* error)
{
    std::string temporary = (folder_ / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        setError(error, "无法写入转换列表记录 " + path_.string(), errno);
        return std::nullopt;
    }
    bool written = ::fchmod(fd, 0600) == 0 && platform::FileSync::writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int reason = errno;
    written = ::close(fd) == 0 && written;
    if (!written) {
        ::unlink(temporary.c_str());
        setError(error, "无法写入转换列表记录 " + path_.string(), reason);
        return std::nullopt;
    }
    return std::filesystem::path(temporary);
}

bool QueueJournal::commit(const std::filesystem::path& staged, std::string* error)
{
    if (::rename(staged.c_str(), path_.c_str()) != 0) {
        setError(error, "无法写入转换列表记录 " + path_.string(), errno);
        ::unlink(staged.c_str());
        return false;
    }
    // The rename itself must reach the disk, or a power cut could bring back the old journal.
    platform::FileSync::syncFolder(folder_);
    return true;
}

std::string QueueJournal::encode(const std::vector<JournalRow>& rows)
{
    const ProfileTable profiles(rows);
    std::string out(kMagic, sizeof kMagic);
    putNumber(out, kVersion, 4);
    putNumber(out, profiles.records.size(), 4);
    putNumber(out, rows.size(), 4);
    const std::size_t tableStart = out.size();
    for (const profile::ProfileRecord* record : profiles.records)
        out += recordBytes(*record);
    putNumber(out, Crc32::of(std::string_view(out).substr(tableStart)), 4);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t lengthAt = out.size();
        putNumber(out, 0, 4);  // the body's length, filled in below
        appendBody(out, rows[i], profiles.indexOfRow[i]);
        const std::size_t length = out.size() - lengthAt - 4;
        for (int k = 0; k < 4; ++k)
            out[lengthAt + static_cast<std::size_t>(k)] = static_cast<char>((length >> (8 * k)) & 0xFF);
        putNumber(out, Crc32::of(std::string_view(out).substr(lengthAt + 4, length)), 4);
    }
    return out;
}

JournalContents QueueJournal::decode(std::string_view bytes)
{
    JournalContents contents;
    Reader reader(bytes);
    std::string_view magic;
    uint64_t version = 0;
    uint64_t profileCount = 0;
    uint64_t count = 0;
    if (!reader.piece(magic, sizeof kMagic) || magic != std::string_view(kMagic, sizeof kMagic) ||
        !reader.number(version, 4)) {
        contents.damaged = true;
        contents.problem = "转换列表记录已损坏, 其中的文件都无法读取。";
        return contents;
    }
    if (version < kOldestVersion || version > kVersion) {
        contents.damaged = true;
        contents.problem = "转换列表记录的版本 (" + std::to_string(version) + ") 无法识别, 其中的文件都无法读取。";
        return contents;
    }
    std::optional<std::vector<profile::ProfileRecord>> profiles;
    if (!reader.number(profileCount, 4) || !reader.number(count, 4) ||
        !(profiles = readProfiles(reader, profileCount))) {
        contents.damaged = true;
        contents.problem = "转换列表记录已损坏, 其中的文件都无法读取。";
        return contents;
    }
    while (contents.rows.size() < count) {
        std::optional<JournalRow> row = readRow(reader, version, *profiles);
        if (!row)
            break;
        contents.rows.push_back(std::move(*row));
    }
    if (contents.rows.size() < count) {
        contents.damaged = true;
        contents.problem = "转换列表记录已损坏: 共 " + std::to_string(count) + " 个文件, 只读出了前 " +
                           std::to_string(contents.rows.size()) + " 个。";
    } else if (reader.left() != 0) {
        contents.damaged = true;
        contents.problem = "转换列表记录的末尾有无法识别的数据, 已忽略。";
    }
    return contents;
}

std::vector<JournalRow> QueueJournal::recover(std::vector<JournalRow> rows)
{
    for (JournalRow& row : rows) {
        if (row.state == JobState::Converting || row.state == JobState::Stopping) {
            // Without a recorded stamp (a first-version journal) nothing proves the file is still
            // the partial output, so it stays.
            if (!row.outputPath.empty() && row.outputInode != 0 && row.outputStamp)
                OutputClaim::recorded(row.outputPath, static_cast<dev_t>(row.outputDevice),
                                      static_cast<ino_t>(row.outputInode), *row.outputStamp)
                    .remove();
            row.state = JobState::Waiting;
            row.outputPath.clear();
            row.outputDevice = row.outputInode = 0;
            row.outputStamp.reset();
            row.errorText.clear();
        }
        if (row.state != JobState::Waiting)
            continue;
        std::string problem = sourceProblem(row);
        if (!problem.empty()) {
            row.state = JobState::Failed;
            row.errorText = std::move(problem);
        }
    }
    return rows;
}

}  // namespace convert
