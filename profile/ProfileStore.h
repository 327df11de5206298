#pragma once
// The program's profiles: the profile tree, lastProfileName (the profile last used to add files)
// and the lookups the other parts of the program use to obtain a profile. The profile page owns
// one for the life of the main window; the command-line front end makes its own.
//
// Lookups return a pointer to a record owned by the tree; copy it whole if you keep it, because
// the next edit or reload may free it. Not thread-safe: the window thread only (conversion jobs
// hold their own copies of records and never touch the store).
#include "profile/ProfileFiles.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

class ProfileStore {
public:
    // The store reads and writes the profile files in `dataDirectory`.
    explicit ProfileStore(std::filesystem::path dataDirectory);
    // Same, in platform::Paths::dataDirectory().
    ProfileStore();

    // What the profile page does at start-up: loads both files (building the built-in catalogue
    // when profile.dat is missing or holds no valid record) and saves them back, so both files
    // exist and are normalised; if no profile is marked default, the first profile becomes the
    // default and the files are saved again. The data folder stays locked from the read to the
    // last write, so another program's save cannot fall in between and be undone.
    // A profile file that could not be read or was not recognised is first renamed to
    // <name>.bad (or .bad.1, ...) and the user told so through showMessage; only then are the
    // files saved. When such a file cannot be set aside, or a profile file is not a regular file
    // at all, the user is told and nothing is saved for the life of this store.
    // Returns false when the tree holds no profile at all (the caller reports it and quits). A
    // failed save is not a failure here: the profiles are in memory and the next save tries again.
    bool loadAtStartup();

    // Reads the profiles as loadAtStartup() does but writes nothing (the built-in catalogue when
    // profile.dat is missing, the first profile as default when none is marked, both in memory
    // only): for the command-line front end, which only looks profiles up. A profile file that
    // cannot be used is reported through showMessage and left as it is. Returns false when the
    // tree holds no profile at all.
    bool load();

    // Rewrites both files from the tree and lastProfileName (a file whose bytes would not change
    // is not touched), holding the data folder lock; false when nothing was written, and always
    // false after loadAtStartup found a file it must not replace.
    bool save() const;

    // Whether the last loadAtStartup() or load() found a profile file it could not use as it is
    // (the user was told); the tree then holds what could be read.
    bool foundUnusableFiles() const { return foundUnusableFiles_; }

    ProfileTree& tree() { return tree_; }
    const ProfileTree& tree() const { return tree_; }
    const ProfileFiles& files() const { return files_; }

    // The record of the node whose text equals `name`; null for no node or a category node.
    const ProfileRecord* findProfileByName(std::u16string_view name) const;
    const ProfileRecord* findProfileByName(std::string_view utf8Name) const;
    // The record of the default node (first in pre-order with isDefault != 0); null if none.
    const ProfileRecord* defaultProfile() const;
    // The record named by lastProfileName; defaultProfile() when the name is empty, names no node
    // or names a category node.
    const ProfileRecord* lastUsedProfile() const;

    // lastProfileName, the header of profile.dat (200 bytes, written back verbatim).
    std::u16string lastProfileName() const;
    // Stores a name (cut to 99 characters); the caller saves when it wants it kept.
    void setLastProfileName(std::u16string_view name);

private:
    // Replaces the tree and lastProfileName with what the files hold (or the catalogue) and
    // returns the files that could not be used as they are.
    std::vector<ProfileFileProblem> readFiles();
    // Sets aside each unusable file that holds the user's bytes and tells the user; refuses
    // later saves when a file cannot be set aside or is not a regular file.
    void keepUnusableFiles(const std::vector<ProfileFileProblem>& problems);
    bool saveHoldingLock(const platform::FolderLock& lock) const;
    // Marks the first profile in pre-order as the default; false when there is none.
    bool markFirstProfileDefault();
    // lastProfileName as the 200 bytes of the profile.dat header.
    unsigned char* headerBytes();
    const unsigned char* headerBytes() const;

    ProfileFiles files_;
    ProfileTree tree_;
    std::array<char16_t, kProfileTextChars> lastProfileName_{};
    // Set when a profile file must not be replaced; no save writes anything then.
    bool saveRefused_ = false;
    bool foundUnusableFiles_ = false;
};

}  // namespace profile
