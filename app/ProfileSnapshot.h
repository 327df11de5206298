#pragma once
// ProfileSnapshot: the profiles as the two profile files hold them right now, for a page that shows
// them without editing (the add-files page reads them again each time it is shown, so profiles
// saved meanwhile show up). It reads profile.dat (after its 200-byte header) and user_profile.dat
// by the tree-building rule; no catalogue is built: without profile.dat the tree is empty.
//
// Files are replaced whole by the saving program, but a file may still be found damaged, cut
// short or swapped for something that is not a profile file at all. Then the snapshot keeps the
// last tree it read without a problem, so a page never loses what it showed; only when it never
// read a good tree does it take what could be read of the damaged one. Nothing is written and
// nothing is shown here.
//
// Threads: one thread (the window thread in the program).
#include "profile/ProfileFiles.h"
#include "profile/ProfileTree.h"

#include <filesystem>
#include <memory>

namespace app {

class ProfileSnapshot {
public:
    enum class Reload {
        Replaced,      // the files were read without a problem; tree() is what they hold
        KeptPrevious,  // a file could not be used; tree() is the last good one
        Partial,       // a file could not be used and there was no good tree yet; tree() holds what
                       // could be read
    };

    explicit ProfileSnapshot(std::filesystem::path dataDirectory);

    Reload reload();
    const profile::ProfileTree& tree() const { return *tree_; }

private:
    profile::ProfileFiles files_;
    std::unique_ptr<profile::ProfileTree> tree_;
    bool good_ = false;
};

}  // namespace app
