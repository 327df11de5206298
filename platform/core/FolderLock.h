#pragma once
// FolderLock: an advisory lock (flock) on a folder, held for as long as the object lives. Every
// program that reads a file of ours and then writes it back (the profile files in the data folder,
// the settings file in its folder) holds the lock on the file's folder across both steps, so that
// two programs (two windows, the window and lumaret-cli) never write back what they read before
// the other one's save and so undo it.
//
// The lock is taken on the folder itself, which is created when missing; no lock file is left
// behind. Taking it waits while another program holds it (no time limit: a holder only reads and
// writes small files). flock locks belong to the open folder, so a second FolderLock on
// the same folder in the same process waits as well: pass the one you hold on instead.
//
// Threads: any thread; the object itself is not shared between threads.
#include <filesystem>

namespace platform {

class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // False when the folder could not be created, opened or locked (a read-only medium, no
    // permission, a file system without flock); the caller goes on unprotected, as it did before
    // there was a lock, and its writes fail on their own where the folder is unusable.
    bool held() const { return descriptor_ >= 0; }

private:
    int descriptor_ = -1;
};

}  // namespace platform
