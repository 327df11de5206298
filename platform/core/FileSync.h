#pragma once
// FileSync: the steps every durable replacement of a file needs, for the writers that replace
// files whole (AtomicFile, the conversion journal, the profile files): writing a whole buffer to a
// descriptor despite short writes and signals, giving a file a name nothing has yet, and flushing
// a folder so that a rename in it survives a power cut.
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
    // Renames `from` to `to` unless an entry named `to` exists (a link too), which is then left
    // as it was. False with errno EEXIST when it does, or errno telling another failure.
    static bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
};

}  // namespace platform
