#include "app/ShellExtFrontEnd.h"

#include "app/CommandFile.h"
#include "app/CommandFolder.h"
#include "app/DetachedLaunch.h"
#include "app/MediaFileCheck.h"
#include "app/ShellMenuText.h"
#include "app/ShellMenus.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/FolderLock.h"
#include "platform/core/Paths.h"
#include "profile/ProfileStore.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

namespace fs = std::filesystem;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;
constexpr std::string_view kIdOption = "--id=";

std::string helperPath()
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? (platform::Paths::programDirectory() / "lumaret-shellext").string() : self.string();
}

bool isExecutableFile(const fs::path& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// lumaret itself: $LUMARET_PROGRAM when set (tests, unusual installations), else the program
// beside this helper, else the one on PATH. Empty when there is none.
std::string lumaretProgram()
{
    if (const char* named = std::getenv("LUMARET_PROGRAM"); named && *named)
        return isExecutableFile(named) ? std::string(named) : std::string();
    const fs::path beside = platform::Paths::programDirectory() / "lumaret";
    if (isExecutableFile(beside))
        return beside.string();
    return platform::ChildProcess::findProgram("lumaret");
}

// The files as absolute paths, without those that cannot be converted; each left out is named
// on err. Relative paths are taken from the current folder, where the file manager starts us.
std::vector<std::string> filesToHandOver(const std::vector<std::string>& names, bool mediaOnly,
                                         std::ostream& err)
{
    std::vector<std::string> kept;
    for (const std::string& name : names) {
        std::error_code error;
        const fs::path path = name.empty() ? fs::path() : fs::absolute(name, error);
        struct stat info {};
        if (name.empty() || error || ::stat(path.c_str(), &info) != 0)
            err << "lumaret-shellext: 文件不存在, 已跳过: " << name << "\n";
        else if (S_ISDIR(info.st_mode))
            err << "lumaret-shellext: 这是文件夹, 已跳过: " << path.string() << "\n";
        else if (mediaOnly && !MediaFileCheck::isMediaFile(path))
            err << "lumaret-shellext: 不是视频或音频文件, 已跳过: " << path.string() << "\n";
        else
            kept.push_back(path.string());
    }
    return kept;
}

// The profile the menu entry asked for. An entry left over from an older profile list may name
// a profile that no longer exists; converting with any other profile than its label says would
// be wrong, so the files go to the add-files page instead, where the user chooses one.
std::u16string checkedSelector(std::u16string selector, std::ostream& err)
{
    if (selector == CommandFile::kCustomSelector)
        return selector;
    profile::ProfileStore store;
    store.load();
    if (store.findProfileByName(selector))
        return selector;
    err << "lumaret-shellext: 转换方案 " << profile::toUtf8(selector)
        << " 不存在, 文件将交给添加文件页, 请在那里选择转换方案\n";
    return std::u16string(CommandFile::kCustomSelector);
}

}  // namespace

void ShellExtFrontEnd::printUsage(std::ostream& stream)
{
    stream << "Lumaret file-manager menus\n\nusage:\n"
              "  lumaret-shellext register\n"
              "  lumaret-shellext unregister\n"
              "  lumaret-shellext status\n"
              "  lumaret-shellext convert [--media-only] PROFILE FILE...\n"
              "      PROFILE: a profile name, \"自定义转换\", or --id=IDENTIFIER as the menus pass it\n";
}

int ShellExtFrontEnd::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::string command = args.empty() ? std::string() : args.front();
    if (command == "register" && args.size() == 1)
        return registerMenus(err);
    if (command == "unregister" && args.size() == 1)
        return unregisterMenus(err);
    if (command == "status" && args.size() == 1)
        return status(out);
    if (command == "convert")
        return convert({args.begin() + 1, args.end()}, err);
    if (command == "--help" || command == "-h") {
        printUsage(out);
        return kSuccess;
    }
    printUsage(err);
    return kUsage;
}

int ShellExtFrontEnd::status(std::ostream& out)
{
    const ShellMenus menus(ShellMenus::Folders::ofUser(), helperPath());
    out << (menus.installed() ? "registered\n" : "not registered\n");
    for (const ShellMenus::FileManagerState& state : menus.fileManagers()) {
        out << state.fileManager << ": " << (state.found ? "found" : "not found") << ", "
            << (state.entries ? "entries present" : "no entries") << "\n";
    }
    return kSuccess;
}

int ShellExtFrontEnd::registerMenus(std::ostream& err)
{
    const platform::FolderLock lock(platform::Paths::dataDirectory());
    // Read only: the program's own profile files are never written from here.
    profile::ProfileStore store;
    store.load();
    ShellMenus menus(ShellMenus::Folders::ofUser(), helperPath());
    return menus.install(ShellMenus::entriesFor(store.tree()), err) ? kSuccess : kFailure;
}

int ShellExtFrontEnd::unregisterMenus(std::ostream& err)
{
    const platform::FolderLock lock(platform::Paths::dataDirectory());
    ShellMenus menus(ShellMenus::Folders::ofUser(), helperPath());
    return menus.uninstall(err) ? kSuccess : kFailure;
}

int ShellExtFrontEnd::convert(const std::vector<std::string>& args, std::ostream& err)
{
    std::size_t next = 0;
    const bool mediaOnly = next < args.size() && args[next] == "--media-only";
    next += mediaOnly ? 1 : 0;
    if (next >= args.size()) {
        printUsage(err);
        return kUsage;
    }
    const std::string& profileArgument = args[next++];
    std::u16string selector;
    if (profileArgument.starts_with(kIdOption)) {
        const auto named = ShellMenuText::selectorOf(std::string_view(profileArgument).substr(kIdOption.size()));
        if (!named) {
            err << "lumaret-shellext: 无效的转换方案标识: " << profileArgument << "\n";
            return kUsage;
        }
        selector = *named;
    } else {
        selector = profile::toUtf16(profileArgument);
    }

    const std::vector<std::string> files =
        filesToHandOver({args.begin() + static_cast<std::ptrdiff_t>(next), args.end()}, mediaOnly, err);
    if (files.empty()) {
        err << "lumaret-shellext: 没有可以转换的文件\n";
        return kFailure;
    }
    const std::string program = lumaretProgram();
    if (program.empty()) {
        err << "lumaret-shellext: 找不到程序 lumaret (本程序所在的文件夹和 PATH 中都没有)\n";
        return kFailure;
    }
    std::string error;
    const std::filesystem::path folder = CommandFolder::besideFile(CommandFile::defaultFile());
    if (!CommandFolder::write(folder, checkedSelector(selector, err), files, &error)
        || !DetachedLaunch::start({program, CommandFile::kMarker}, &error)) {
        err << "lumaret-shellext: " << error << "\n";
        return kFailure;
    }
    return files.size() + next == args.size() ? kSuccess : kFailure;
}

}  // namespace app
