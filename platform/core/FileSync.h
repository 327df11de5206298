#pragma once
// FileSync: the two steps every durable replacement of a file needs, for the writers that replace
// files whole (AtomicFile, the conversion journal): writing a whole buffer to a descriptor despite
// short writes and signals, and flushing a folder so that a rename in it survives a power cut.
//
// Threads: any thread; nothing is shared.
#include <filesystem>
#include <string_view>

namespace platform {

class FileSync {
public:
    // Writes all of `bytes` to `fd`; false on an error (errno tells which) or a write of nothing.
    static bool writeAll(int fd, std::string_view bytes);
    // Flushes the folder's entries to disk; errors are ignored (a file system that cannot sync a
    // folder still holds the rename).
    static void syncFolder(const std::filesystem::path& folder);
};

}  // namespace platform
