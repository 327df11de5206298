#pragma once
// QueuedFile: everything the conversion queue needs to take one file: the source as the file
// system names it, its size when it was checked, the profile record it converts with, the target
// folder (empty: beside the source) and whether the output name carries the profile's name.
//
// A QueuedFile is built only by QueuedFile::build(), which applies the two rules every way into
// the queue shares: only a regular file this user may read is taken, and a file that comes without
// a profile gets the one the options choose (the last used profile or the default). The conversion
// page's drop and hand-over, the add-files page's accept and lumaret-cli convert all go through it,
// so none of them builds a job by hand.
//
// Plain data; any thread.
#include "profile/ProfileRecord.h"

#include <cstdint>
#include <optional>
#include <string>

namespace convert {

// Which profile a file gets when it arrives without one.
struct NewFileProfile {
    bool useLastUsed = false;                        // the options' profileChoice is nonzero
    const profile::ProfileRecord* lastUsed = nullptr;  // null when there is none
    const profile::ProfileRecord* defaultProfile = nullptr;

    // The record the rule picks; null when the chosen kind of profile does not exist.
    const profile::ProfileRecord* pick() const { return useLastUsed ? lastUsed : defaultProfile; }
};

struct QueuedFile {
    std::string sourcePath;
    uint64_t sourceSize = 0;
    profile::ProfileRecord profile = profile::makeEmptyProfileRecord();
    std::string targetFolder;
    bool appendProfileName = false;

    // What the output settings of a batch say, apart from the profile.
    struct Placement {
        std::string targetFolder;
        bool appendProfileName = false;
    };

    // The file at `path` ready for the queue, or nothing when it is not a regular file this user
    // may read (a folder, a FIFO or device, a missing file, no permission); the caller tells the
    // user in its own words. `given` is the profile chosen for the file (copied); when null the
    // rule picks one, and when the rule finds none the record is empty. Opens nothing, so a FIFO
    // swapped in cannot hold the caller.
    static std::optional<QueuedFile> build(const std::string& path, const profile::ProfileRecord* given,
                                           const NewFileProfile& rule, const Placement& placement);

    // The output folder as the encoder must be given it: empty stays empty (beside the source), a
    // leading "~" becomes the home folder, an absolute folder is kept. Nothing for a relative
    // folder: the program's working folder is its install folder, never the place the user meant,
    // so every way into the queue refuses one rather than guess.
    static std::optional<std::string> resolveFolder(const std::string& folder);
    // What the user is told about a refused relative folder.
    static std::string relativeFolderText(const std::string& folder);
};

}  // namespace convert
