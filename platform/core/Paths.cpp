#include "platform/core/Paths.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

std::filesystem::path environmentPath(const char* name)
{
    const char* value = std::getenv(name);
    return (value && *value) ? std::filesystem::path(value) : std::filesystem::path();
}

bool isWritableDirectory(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::filesystem::path xdgFolder(const char* variable, const char* fallbackBelowHome)
{
    std::filesystem::path folder = environmentPath(variable);
    // The XDG rules say a relative path in these variables is invalid and must be ignored.
    if (folder.empty() || folder.is_relative())
        folder = Paths::homeDirectory() / fallbackBelowHome;
    return folder;
}

}  // namespace

std::filesystem::path Paths::programDirectory()
{
    static const std::filesystem::path folder = [] {
        std::error_code error;
        const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? std::filesystem::current_path(error) : executable.parent_path();
    }();
    return folder;
}

std::filesystem::path Paths::imageDirectory()
{
    return programDirectory() / "image";
}

std::filesystem::path Paths::dataDirectory()
{
    if (auto folder = environmentPath("LUMARET_DATA_DIR"); !folder.empty())
        return folder;
    auto besideProgram = programDirectory() / "data";
    std::error_code error;
    if (std::filesystem::exists(besideProgram, error) ? isWritableDirectory(besideProgram)
                                                      : isWritableDirectory(programDirectory()))
        return besideProgram;
    return xdgFolder("XDG_DATA_HOME", ".local/share") / "Lumaret" / "data";
}

std::filesystem::path Paths::settingsFile()
{
    if (auto folder = environmentPath("LUMARET_CONFIG_DIR"); !folder.empty())
        return folder / "Lumaret.ini";
    return xdgFolder("XDG_CONFIG_HOME", ".config") / "Lumaret" / "Lumaret.ini";
}

std::filesystem::path Paths::homeDirectory()
{
    if (auto home = environmentPath("HOME"); !home.empty())
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::filesystem::path Paths::expandHome(const std::filesystem::path& path)
{
    const std::string text = path.string();
    if (text == "~")
        return homeDirectory();
    if (text.rfind("~/", 0) == 0)
        return homeDirectory() / text.substr(2);
    return path;
}

}  // namespace platform
