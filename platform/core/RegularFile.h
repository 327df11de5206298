#pragma once
// Reading a file that a user or another program handed us: only regular files, never more than a
// stated size, and never a wait on a FIFO or a device. Any thread.
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace platform {

enum class RegularFileStatus {
    Ok,
    Missing,      // no such file (or a dangling link)
    NotRegular,   // a directory, FIFO, socket or device
    TooLarge,     // larger than the caller's cap
    Unreadable,   // exists but cannot be opened or read (permissions, I/O error)
};

class RegularFile {
public:
    // What the file at `path` is, following symbolic links, without opening it. `size` receives
    // the file's size when the status is Ok or TooLarge.
    static RegularFileStatus check(const std::filesystem::path& path, uint64_t maxBytes,
                                   uint64_t* size = nullptr);

    // Reads the whole file into `bytes` when it is a regular file of at most `maxBytes`. The file
    // is opened without blocking (a FIFO swapped in after the check cannot hold the caller), and
    // checked again on the open descriptor. On any status but Ok, `bytes` is left empty.
    static RegularFileStatus read(const std::filesystem::path& path, uint64_t maxBytes,
                                  std::string& bytes);

    // Who owns the file read and which file it was, to tell later whether a name still names it.
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        uid_t owner = 0;
        mode_t mode = 0;
    };
    // As read(), but a symbolic link at `path` itself is not followed: it reads as NotRegular.
    // On Ok (and on TooLarge) *identity receives what the opened file is.
    static RegularFileStatus readWithoutFollowing(const std::filesystem::path& path, uint64_t maxBytes,
                                                  std::string& bytes, Identity& identity);
    // The identity of the entry `path` names, links not followed; false when there is none.
    static bool identityOf(const std::filesystem::path& path, Identity& identity);

    // The file a write of `path` must replace so that a symbolic link stays a link: the file the
    // link points to (a dangling link's target too); `path` itself when it is no link.
    static std::filesystem::path writeTarget(const std::filesystem::path& path);

    // A short Chinese sentence for a status other than Ok, naming the file, for showMessage and
    // for reason lines.
    static std::string describe(RegularFileStatus status, const std::filesystem::path& path);
};

}  // namespace platform
