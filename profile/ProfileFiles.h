#pragma once
// The two profile files in the data folder and how a profile tree is read from and written to them.
//   profile.dat       200 bytes of lastProfileName, then 516-byte records with isUserProfile 0
//   user_profile.dat  516-byte records with isUserProfile 1, no header
// Records are stored in the tree's pre-order, so a record's parent always precedes it.
// Not thread-safe: one thread at a time (the window thread in the program).
#include "profile/ProfileTree.h"

#include <cstdio>
#include <filesystem>
#include <span>

namespace profile {

class ProfileFiles {
public:
    static constexpr std::size_t kHeaderSize = 200;   // lastProfileName, UTF-16 char[100]
    static constexpr const char* kSystemFileName = "profile.dat";
    static constexpr const char* kUserFileName = "user_profile.dat";

    explicit ProfileFiles(std::filesystem::path dataDirectory);

    const std::filesystem::path& dataDirectory() const { return dataDirectory_; }
    std::filesystem::path systemFile() const { return dataDirectory_ / kSystemFileName; }
    std::filesystem::path userFile() const { return dataDirectory_ / kUserFileName; }

    // Fills `tree` from both files.
    //  - profile.dat cannot be opened: without createCatalogue nothing is read; with it the
    //    built-in catalogue is built and then user_profile.dat read.
    //  - otherwise its first header.size() bytes are read into `header` (an empty span skips the
    //    200-byte header instead; a short read leaves the rest of the buffer as it was), then its
    //    records; if none was inserted and createCatalogue is set, the catalogue is built; then the
    //    records of user_profile.dat, if it opens.
    // Damaged records are skipped; refused ones are reported by insertProfile.
    void load(ProfileTree& tree, std::span<unsigned char> header, bool createCatalogue) const;

    // Rewrites both files from the tree (records in pre-order, each to the file its isUserProfile
    // names) with `header` at the start of profile.dat. Both files are replaced or neither: the new
    // contents go to temporary files in the data folder, are flushed to disk and then renamed into
    // place; if any step fails the temporaries are removed and both previous files stay as they
    // were. Creates the data folder when missing. Returns false when nothing was replaced.
    bool save(const ProfileTree& tree, std::span<const unsigned char, kHeaderSize> header) const;

    // Reads 516-byte records from the current position of `file` to its end and inserts each one
    // that was read whole and carries the magic. Returns true if at least one was inserted.
    static bool readProfileRecords(ProfileTree& tree, std::FILE* file);

private:
    void readUserFile(ProfileTree& tree) const;

    std::filesystem::path dataDirectory_;
};

}  // namespace profile
