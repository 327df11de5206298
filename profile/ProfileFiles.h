#pragma once
// The two profile files in the data folder and how a profile tree is read from and written to them.
//   profile.dat       200 bytes of lastProfileName, then 516-byte records with isUserProfile 0
//   user_profile.dat  516-byte records with isUserProfile 1, no header
// Records are stored in the tree's pre-order, so a record's parent always precedes it.
//
// The files are the user's: a file this program cannot read or does not recognise is never
// written over. load() reads what it can and reports each such file as a ProfileFileProblem;
// whoever saves afterwards sets the file aside first (setAside) and tells the user (ProfileStore
// does both). Only regular files of at most kMaxFileBytes are read; a FIFO, a device or a folder
// in a profile file's place is refused at once, without waiting on it.
//
// Not thread-safe: one thread at a time (the window thread in the program). Between programs,
// hold a platform::FolderLock on the data folder across a read and the save that follows it.
#include "profile/ProfileTree.h"

#include "platform/core/FolderLock.h"
#include "platform/core/RegularFile.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// A profile file that exists but could not be used as it is.
struct ProfileFileProblem {
    enum class Kind {
        Unreadable,   // no permission or an I/O error
        TooLarge,     // a regular file over the size cap
        NotRegular,   // a folder, FIFO, socket or device
        Damaged,      // cut mid-record, or a block that is not an intact record (ProfileRecordCheck.h)
    };
    Kind kind;
    std::filesystem::path file;

    // True when the file holds bytes that must be kept (set aside) before the file is replaced;
    // false for NotRegular, which is not ours to move or replace at all.
    bool holdsUserBytes() const { return kind != Kind::NotRegular; }
};

class ProfileFiles {
public:
    static constexpr std::size_t kHeaderSize = 200;   // lastProfileName, UTF-16 char[100]
    static constexpr const char* kSystemFileName = "profile.dat";
    static constexpr const char* kUserFileName = "user_profile.dat";
    // 64 MB is some 130,000 profiles; anything larger is not a profile file.
    static constexpr uint64_t kMaxFileBytes = 64ull * 1024 * 1024;

    explicit ProfileFiles(std::filesystem::path dataDirectory);

    const std::filesystem::path& dataDirectory() const { return dataDirectory_; }
    std::filesystem::path systemFile() const { return dataDirectory_ / kSystemFileName; }
    std::filesystem::path userFile() const { return dataDirectory_ / kUserFileName; }

    // Fills `tree` from both files and returns the files that could not be used as they are.
    //  - profile.dat missing, unusable or empty of intact records: with createCatalogue the
    //    built-in catalogue is built; without it nothing of profile.dat is read. user_profile.dat
    //    is read in every case but one: profile.dat missing and no createCatalogue (the other
    //    readers then see an empty tree).
    //  - otherwise its first header.size() bytes are read into `header` (an empty span skips the
    //    200-byte header instead; a short file leaves the rest of the buffer as it was), then its
    //    intact records.
    // Damaged blocks are skipped and the file reported; refused duplicates are reported by
    // insertProfile. Shows no message itself.
    std::vector<ProfileFileProblem> load(ProfileTree& tree, std::span<unsigned char> header,
                                         bool createCatalogue) const;

    // The categoryName of every intact record of profile.dat (after its header; none when the
    // file is shorter than the header) and then of user_profile.dat, each text once in file order;
    // texts that differ only in the case of ASCII letters count as the same. UTF-8. For the
    // editor's category list: reads the files afresh, shows nothing, and an unusable file simply
    // adds no names.
    std::vector<std::string> readCategoryNames() const;

    // Rewrites both files from the tree (records in pre-order, each to the file its isUserProfile
    // names) with `header` at the start of profile.dat. A file whose bytes would not change is
    // left alone. Both changed files are replaced or neither: the new contents go to temporary
    // files beside them, are flushed to disk and then renamed into place; if any step fails the
    // temporaries are removed and both previous files stay as they were. A profile file that is
    // a symbolic link stays one (the file it points to is replaced), and a replaced file keeps its
    // permission bits. Creates the data folder when missing. Returns false when a changed file
    // could not be replaced. The first form takes the data folder lock for the save; the second
    // is for a caller that already holds it.
    bool save(const ProfileTree& tree, std::span<const unsigned char, kHeaderSize> header) const;
    bool save(const ProfileTree& tree, std::span<const unsigned char, kHeaderSize> header,
              const platform::FolderLock& heldLock) const;

    // Keeps the bytes of a profile file that is about to be replaced, under <name>.bad in the data
    // folder (or <name>.bad.1, <name>.bad.2 ... when that name is taken). A plain file is renamed.
    // A symbolic link is left as it is and so is the file it points to, which may be anyone's:
    // its bytes are copied (at most kMaxFileBytes), and the next save replaces the link itself
    // with a plain file instead of writing through it. Nothing outside the data folder is renamed,
    // written or created. Returns the name the bytes are kept under, empty when they could not be
    // kept (the file must then not be replaced).
    std::filesystem::path setAside(const std::filesystem::path& file);

    // Inserts every intact 516-byte record of `records` into `tree`, in order; false when the
    // bytes are not all intact records (a damaged block, or a tail shorter than a record).
    // `inserted` is set when at least one record was inserted.
    static bool readProfileRecords(ProfileTree& tree, std::string_view records, bool& inserted);

private:
    // Where a save writes `file`: the file a link points to, unless setAside copied that link.
    std::filesystem::path writeTarget(const std::filesystem::path& file) const;

    std::filesystem::path dataDirectory_;
    // Links whose damaged target was copied aside; the save replaces them with plain files.
    std::vector<std::filesystem::path> detachedLinks_;
};

}  // namespace profile
