#pragma once
// CommandFolder: the folder "cmdline.d" beside the command file. Each hand-over from the file
// manager's menu gets a command file of its own there, so that two menu actions a moment apart
// never overwrite each other's selection before a program has read it.
//
// Writing (lumaret-shellext convert): the records (CommandFile's format) go into a new file named
// <nanoseconds since 1970, 20 digits>-<process id>-<attempt>.cmd, mode 0600, written whole under a
// hidden temporary name and then given its name without replacing anything (AtomicFile::create).
// The folder is made private to the user (0700). The names sort in the order of writing.
//
// Taking (`lumaret contextmenu`): the folder is listed once, and the files listed then, which were
// complete (a file gets its name only once it is whole), are taken oldest first. A file is read,
// and it counts as taken only when this program then removes its name: of two programs started
// together, exactly one takes each file. A crash between reading and removing leaves the file for
// the next start, so a hand-over may come twice but is never lost.
//
// What is not ours stays where it is, unread: the folder when it is a link, another user's or
// writable by others; names that are hidden (a writer's temporary, whole or half-written) or do not
// end in kSuffix; files of another user or writable by others. A link, folder, FIFO or device under
// such a name (status NotRegular), or a file larger than CommandFile::kMaxFileBytes (TooLarge), is
// reported with its problem and left in place too. Nothing ever waits on a FIFO.
//
// Threads: any; nothing is shared.
#include "app/CommandFile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class CommandFolder {
public:
    static constexpr const char* kFolderName = "cmdline.d";
    static constexpr const char* kSuffix = ".cmd";

    // The folder that belongs with a command file: the command file's folder / kFolderName.
    static std::filesystem::path besideFile(const std::filesystem::path& commandFile);

    // Writes one hand-over as a new file in `folder` (created when missing, with its parents).
    // Returns false, with a sentence naming the folder or file in *error when given, when the folder
    // is not the user's own or a step fails; nothing is left behind then. *written receives the
    // new file's path when given.
    static bool write(const std::filesystem::path& folder, std::u16string_view selector,
                      const std::vector<std::string>& paths, std::string* error,
                      std::filesystem::path* written = nullptr);

    // Takes the hand-overs waiting in `folder` as described above, oldest first. Each entry is
    // Ok or BadFirstRecord (a file taken and removed) or NotRegular or TooLarge (a file left in
    // place, `problem` naming it). Empty when nothing waits or the folder is missing or not ours.
    static std::vector<CommandFile::Contents> take(const std::filesystem::path& folder);

private:
    static bool isPrivateFolder(const std::filesystem::path& folder);
    static std::vector<std::string> waitingNames(const std::filesystem::path& folder);
    // Whether `file` gives take() an entry: a hand-over taken, or a problem to tell.
    static bool takeOne(const std::filesystem::path& file, CommandFile::Contents& contents);
};

}  // namespace app
