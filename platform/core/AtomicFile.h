#pragma once
// AtomicFile: replaces a file whole. The new bytes go to a temporary file beside the target, are
// flushed to disk and renamed over it, and the folder entry is flushed too, so that any reader
// (another program, a file manager watching the folder) sees the old file or the whole new one,
// never a part, and a crash leaves no half-written file. A symbolic link at the target is
// replaced by the new plain file; the file it pointed to is never written.
//
// The temporary file is named "." + the target's name + a random suffix, so that a reader that
// passes over names starting with "." never sees one.
//
// Threads: any thread; nothing is shared.
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

class AtomicFile {
public:
    // Writes `bytes` to `target` with permission bits `mode`, creating the folder when missing.
    // Returns false, with a sentence naming the target and the system's reason in *error when
    // given, when any step fails; the previous file is then left as it was and no temporary file
    // remains.
    static bool replace(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                        std::string* error);

    enum class Created {
        Done,
        Exists,  // something already has that name; it was left as it was
        Failed,  // *error tells why
    };
    // As replace(), but the whole file appears only under a name nothing has yet: an entry of
    // that name (a file, a link, anything) is never replaced. The folder must exist. No temporary
    // file remains on any outcome.
    static Created create(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                          std::string* error);

private:
    enum class Publish { Replace, NoReplace };
    static Created write(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                         Publish publish, std::string* error);
};

}  // namespace platform
