#pragma once
// DataFolderLock: an advisory lock (flock) on the data folder, held for as long as the object
// lives. Every program that reads the profile files and then writes them back holds it across
// both steps, so that two programs (two windows, the window and lumaret-cli) never write back
// what they read before the other one's save and so undo it.
//
// The lock is taken on the folder itself, which is created when missing; no lock file is left
// behind. Taking it waits while another program holds it (no time limit: a holder only reads and
// writes two small files). flock locks belong to the open folder, so a second DataFolderLock on
// the same folder in the same process waits as well: pass the one you hold on instead.
//
// Threads: any thread; the object itself is not shared between threads.
#include <filesystem>

namespace profile {

class DataFolderLock {
public:
    explicit DataFolderLock(const std::filesystem::path& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // False when the folder could not be created, opened or locked (a read-only medium, no
    // permission, a file system without flock); the caller goes on unprotected, as it did before
    // there was a lock, and its writes fail on their own where the folder is unusable.
    bool held() const { return descriptor_ >= 0; }

private:
    int descriptor_ = -1;
};

}  // namespace profile
