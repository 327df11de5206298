#include "app/CommandFolder.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

namespace fs = std::filesystem;

// Enough attempts for any number of writers in one nanosecond; a name is only ever taken twice
// when the clock stands still.
constexpr unsigned kNameAttempts = 1000;

std::string newName(unsigned attempt)
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const unsigned long long nanoseconds =
        static_cast<unsigned long long>(now.tv_sec) * 1000000000ull + static_cast<unsigned long long>(now.tv_nsec);
    char name[80];
    std::snprintf(name, sizeof name, "%020llu-%ld-%u%s", nanoseconds, static_cast<long>(::getpid()), attempt,
                  CommandFolder::kSuffix);
    return name;
}

// Nobody but the user may have put the entry there or changed it since.
bool isTheUsers(uid_t owner, mode_t mode) { return owner == ::geteuid() && (mode & (S_IWGRP | S_IWOTH)) == 0; }

bool isWaitingName(const std::string& name)
{
    const std::string_view suffix = CommandFolder::kSuffix;
    return !name.empty() && name.front() != '.' && name.size() > suffix.size() && name.ends_with(suffix);
}

CommandFile::Contents problemOf(platform::RegularFileStatus status, const fs::path& file)
{
    CommandFile::Contents contents;
    contents.status = status == platform::RegularFileStatus::TooLarge ? CommandFile::Status::TooLarge
                                                                       : CommandFile::Status::NotRegular;
    contents.problem = platform::RegularFile::describe(status, file);
    return contents;
}

}  // namespace

fs::path CommandFolder::besideFile(const fs::path& commandFile)
{
    return commandFile.parent_path() / kFolderName;
}

bool CommandFolder::isPrivateFolder(const fs::path& folder)
{
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && isTheUsers(info.st_uid, info.st_mode);
}

bool CommandFolder::write(const fs::path& folder, std::u16string_view selector, const std::vector<std::string>& paths,
                          std::string* error, fs::path* written)
{
    std::error_code ignored;
    fs::create_directories(folder.parent_path(), ignored);
    // mkdir refuses to follow a link, and the check below refuses a folder someone else made.
    ::mkdir(folder.c_str(), 0700);
    if (!isPrivateFolder(folder)) {
        if (error)
            *error = "无法使用文件夹 " + folder.string() + " (不存在, 或不是只属于本用户的文件夹)";
        return false;
    }
    const std::string bytes = CommandFile::encode(selector, paths);
    for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
        const fs::path file = folder / newName(attempt);
        switch (platform::AtomicFile::create(file, bytes, 0600, error)) {
        case platform::AtomicFile::Created::Done:
            if (written)
                *written = file;
            return true;
        case platform::AtomicFile::Created::Failed: return false;
        case platform::AtomicFile::Created::Exists: break;
        }
    }
    if (error)
        *error = "无法在文件夹 " + folder.string() + " 中找到未用的文件名";
    return false;
}

std::vector<std::string> CommandFolder::waitingNames(const fs::path& folder)
{
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        std::string name = entry->d_name;
        if (isWaitingName(name))
            names.push_back(std::move(name));
    }
    ::closedir(listing);
    // The names start with the time of writing in a fixed width, so their order is the age order.
    std::sort(names.begin(), names.end());
    return names;
}

bool CommandFolder::takeOne(const fs::path& file, CommandFile::Contents& contents)
{
    std::string bytes;
    platform::RegularFile::Identity opened;
    const platform::RegularFileStatus status =
        platform::RegularFile::readWithoutFollowing(file, CommandFile::kMaxFileBytes, bytes, opened);
    switch (status) {
    case platform::RegularFileStatus::Ok: break;
    case platform::RegularFileStatus::NotRegular:
    case platform::RegularFileStatus::TooLarge:
        contents = problemOf(status, file);
        return true;
    case platform::RegularFileStatus::Missing:      // another program took it
    case platform::RegularFileStatus::Unreadable: return false;
    }
    if (!isTheUsers(opened.owner, opened.mode))
        return false;
    // The name must still be the file read; whoever removes it has taken the hand-over.
    platform::RegularFile::Identity named;
    if (!platform::RegularFile::identityOf(file, named) || named.device != opened.device
        || named.inode != opened.inode || ::unlink(file.c_str()) != 0)
        return false;
    contents = CommandFile::parse(bytes);
    return true;
}

std::vector<CommandFile::Contents> CommandFolder::take(const fs::path& folder)
{
    std::vector<CommandFile::Contents> taken;
    if (!isPrivateFolder(folder))
        return taken;
    for (const std::string& name : waitingNames(folder)) {
        CommandFile::Contents contents;
        if (takeOne(folder / name, contents))
            taken.push_back(std::move(contents));
    }
    return taken;
}

}  // namespace app
