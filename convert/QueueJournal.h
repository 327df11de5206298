#pragma once
// The conversion list's journal, queue.dat in the data folder: the rows of a list that was not
// empty, kept on disk so that a crash, a power cut, a logout or a kill does not lose them. The
// next start offers to restore them (recover() applies the rules of a restored row).
//
// File format, version 2 (all numbers little-endian):
//   header    8 bytes  "LumaretQ"
//             u32      version (2)
//             u32      number P of distinct profile records
//             u32      number of rows
//   profiles  P × 516  the profile records of the rows, byte for byte as stored in the profile
//                      files, each once (a list's rows mostly share one)
//             u32      CRC-32 (IEEE) of the P records
//   row       u32      length L of the row body
//             L bytes  body:
//                 u8      state (a JobState value)
//                 u8      flags (bit 0: the output name carries the profile name; bit 1: the
//                         claimed output's size and time below were recorded)
//                 u64     source size in bytes, as the row was added
//                 u64     device and u64 inode of the claimed output (0 and 0 when none)
//                 u64     size and i64 modification time (nanoseconds since 1970) of the claimed
//                         output when the journal was written (0 and 0 without flag bit 1)
//                 4 texts source path, target folder, output path, error text; each a u32 byte
//                         count and the bytes (UTF-8 as the program holds them)
//                 u32     the row's profile: an index into the profile records
//             u32      CRC-32 (IEEE) of the body
// The output path is that of a Done row's result, a Failed row's last attempt, or a Converting
// row's claimed (partial) output, whose identity is then recorded too.
// Version 1 is version 2 without the output's size and time (and without flag bit 1); it is still
// read, its claimed outputs then having no recorded stamp.
//
// Damage: a file that is not whole (cut at any byte), altered, or of another version is never
// rewritten in place. load() moves it aside to queue.dat.bad, returns the rows it could read
// before the first damaged one, and says in Chinese what could not be read.
//
// Writing: the whole journal is replaced atomically (a temporary file beside it, fsync, rename,
// fsync of the folder), so a reader finds the old journal or the whole new one, never a part.
//
// Lock: the journal belongs to one program at a time. The constructor takes an exclusive flock on
// queue.lock in the same folder without waiting; a second program (or a second journal object)
// does not get it, and then reads, writes and removes nothing (held() is false).
//
// Threads: one owner thread; nothing is shared.
#include "convert/JobState.h"
#include "convert/OutputClaim.h"
#include "profile/ProfileRecord.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace convert {

struct JournalRow {
    std::string sourcePath;
    uint64_t sourceSize = 0;
    profile::ProfileRecord profile = profile::makeEmptyProfileRecord();
    std::string targetFolder;
    JobState state = JobState::Waiting;  // stored as its integer
    bool appendProfileName = false;
    std::string outputPath;
    uint64_t outputDevice = 0;  // the claimed output's identity (a Converting row), else 0
    uint64_t outputInode = 0;
    std::optional<OutputClaim::Stamp> outputStamp;  // the claimed output's size and time when written
    std::string errorText;

    bool operator==(const JournalRow& other) const;
};

// What load() or decode() found.
struct JournalContents {
    std::vector<JournalRow> rows;  // the rows that could be read, in order
    bool damaged = false;          // the file was not whole, altered or of another version
    std::string problem;           // for a damaged journal, a Chinese sentence saying what was lost
};

class QueueJournal {
public:
    static constexpr uint32_t kVersion = 2;
    static constexpr uint32_t kOldestVersion = 1;
    // A journal larger than this is not read (a list of 10,000 files takes a few megabytes).
    static constexpr uint64_t kMaxBytes = 256ull << 20;

    // Takes the lock in `folder` (created when missing). The journal itself is not read here.
    explicit QueueJournal(const std::filesystem::path& folder);
    ~QueueJournal();
    QueueJournal(const QueueJournal&) = delete;
    QueueJournal& operator=(const QueueJournal&) = delete;

    // False when another program holds this folder's journal (or the lock file cannot be made).
    bool held() const { return lockDescriptor_ >= 0; }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path badPath() const;

    // True when we hold the lock and a journal is on disk.
    bool exists() const;
    // Reads the journal; a damaged one is moved to badPath() (see above). Nothing when not held or
    // no journal exists.
    JournalContents load();
    // Replaces the journal with `rows`; false (with the system's reason in *error) when not held or
    // a step failed, the old journal then being left whole.
    bool save(const std::vector<JournalRow>& rows, std::string* error = nullptr);
    // Removes the journal; true when none is left. Does nothing when not held.
    bool remove();
    // How many times save() wrote the journal (for the tests of when it is written).
    int writeCount() const { return writes_; }

    // The two halves of save(), apart so that a test can end a process between them: stage()
    // writes and flushes a temporary file beside the journal and returns its path; commit()
    // renames it over the journal and flushes the folder.
    std::optional<std::filesystem::path> stage(std::string_view bytes, std::string* error);
    bool commit(const std::filesystem::path& staged, std::string* error);

    static std::string encode(const std::vector<JournalRow>& rows);
    static JournalContents decode(std::string_view bytes);

    // Applies the rules of a restored list to the rows of a journal, touching the disk only to
    // remove partial output:
    // - Converting (or Stopping) becomes Waiting; the output file its run claimed is removed only
    //   while it is still that very file with the size and time recorded, else it stays (it may be
    //   the user's by now). Either way the row forgets it, so its next run picks a free name afresh.
    // - A row still to convert (Waiting) whose source is gone, or is no longer a regular file, or
    //   whose size changed, becomes Failed with a Chinese reason saying so.
    // - Done, Failed and ProbeFailed rows keep their states, output paths and error texts.
    static std::vector<JournalRow> recover(std::vector<JournalRow> rows);

private:
    void cleanStaleTemporaries() const;

    std::filesystem::path folder_;
    std::filesystem::path path_;
    int lockDescriptor_ = -1;
    int writes_ = 0;
};

}  // namespace convert
