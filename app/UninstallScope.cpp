#include "app/UninstallScope.h"

#include "platform/core/Paths.h"
#include "platform/core/RegularFile.h"
#include "profile/ProfileRecord.h"

#include <cstdlib>
#include <sstream>
#include <system_error>

namespace app {

namespace fs = std::filesystem;

namespace {

// user-dirs.dirs is a few lines; anything larger is not the file the XDG rules describe.
constexpr uint64_t kUserDirsCap = 64 * 1024;

fs::path resolved(const fs::path& path)
{
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(path.parent_path(), error);
    return error ? path : folder / path.filename();
}

fs::path resolvedFolder(const fs::path& folder)
{
    std::error_code error;
    const fs::path result = fs::weakly_canonical(folder, error);
    return error ? folder.lexically_normal() : result;
}

bool isStrictlyInside(const fs::path& path, const fs::path& folder)
{
    const fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

// True for an absolute path that names a file by its plain route: no "." or ".." component, no
// empty component and no trailing "/". Such a path means what it says before any link is read.
bool isPlainAbsolute(const fs::path& path)
{
    if (!path.is_absolute() || path.filename().empty())
        return false;
    for (const fs::path& part : path.relative_path())
        if (part.empty() || part == "." || part == "..")
            return false;
    return path.lexically_normal() == path;
}

fs::path dataHome()
{
    const char* value = std::getenv("XDG_DATA_HOME");
    if (value && *value == '/')
        return value;
    return platform::Paths::homeDirectory() / ".local" / "share";
}

}  // namespace

fs::path UninstallScope::userDesktopFolder()
{
    const fs::path home = platform::Paths::homeDirectory();
    const char* configValue = std::getenv("XDG_CONFIG_HOME");
    const fs::path config = (configValue && *configValue == '/') ? fs::path(configValue) : home / ".config";
    fs::path desktop = home / "Desktop";
    std::string text;
    if (platform::RegularFile::read(config / "user-dirs.dirs", kUserDirsCap, text) == platform::RegularFileStatus::Ok) {
        std::istringstream lines(text);
        std::string line;
        const std::string key = "XDG_DESKTOP_DIR=\"";
        while (std::getline(lines, line)) {
            if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"')
                continue;
            const std::string value = line.substr(key.size(), line.size() - key.size() - 1);
            // The file allows only "$HOME/..." and absolute paths.
            if (value.rfind("$HOME", 0) == 0)
                desktop = home.string() + value.substr(5);
            else if (!value.empty() && value.front() == '/')
                desktop = value;
        }
    }
    desktop = desktop.lexically_normal();
    if (resolvedFolder(desktop) == resolvedFolder(home))
        return {};
    return desktop;
}

UninstallScope UninstallScope::forInstallFolder(const fs::path& installFolder)
{
    UninstallScope scope;
    scope.installFolder_ = resolvedFolder(installFolder);
    const fs::path home = resolvedFolder(platform::Paths::homeDirectory());
    scope.home_ = home;
    // "/", the home folder and the folders above it hold the user's own files.
    scope.insideOwned_ = !(home == scope.installFolder_ || isStrictlyInside(home, scope.installFolder_) ||
                           scope.installFolder_ == scope.installFolder_.root_path());
    scope.settingsFile_ = resolved(platform::Paths::settingsFile());
    scope.dataFoldersOfUser_ = {scope.installFolder_ / "data"};
    if (const char* named = std::getenv("LUMARET_DATA_DIR"); named && *named == '/')
        scope.dataFoldersOfUser_.push_back(resolvedFolder(named));
    scope.dataFolders_ = {resolvedFolder(dataHome()), fs::path("/usr/local/share")};
    scope.linkFolders_ = {resolvedFolder(home / ".local" / "bin"), fs::path("/usr/local/bin")};
    scope.desktopFolder_ = userDesktopFolder();
    if (!scope.desktopFolder_.empty())
        scope.outside_.push_back(resolved(scope.desktopFolder_ / kMenuEntry));
    for (const fs::path& data : scope.dataFolders_) {
        scope.outside_.push_back(resolved(data / "applications" / kMenuEntry));
        scope.outside_.push_back(resolved(data / "applications" / kUninstallEntry));
        for (int size : kIconSizes) {
            const std::string folder = std::to_string(size) + "x" + std::to_string(size);
            scope.outside_.push_back(resolved(data / "icons" / "hicolor" / folder / "apps" / "lumaret.png"));
        }
    }
    for (const fs::path& bin : scope.linkFolders_)
        scope.outside_.push_back(resolved(bin / kLinkName));
    return scope;
}

bool UninstallScope::insideInstallFolder(const fs::path& path) const
{
    return insideOwned_ && isStrictlyInside(path, installFolder_);
}

std::optional<fs::path> UninstallScope::createdLeftover(const std::string& line) const
{
    const fs::path path(line);
    if (line.size() > kMaxPathBytes || !profile::isValidUtf8(line) || !isPlainAbsolute(path))
        return std::nullopt;
    const fs::path target = resolved(path);
    for (const fs::path& data : dataFolders_)
        if (target == resolved(data / "applications" / kDesktopDatabase))
            return target;
    const auto isAtOrAbove = [&target](const fs::path& folder) {
        return !folder.empty() && (target == folder || isStrictlyInside(folder, target));
    };
    if (target == target.root_path() || isAtOrAbove(home_) ||
        (!desktopFolder_.empty() && isAtOrAbove(resolvedFolder(desktopFolder_))))
        return std::nullopt;
    for (const fs::path& data : dataFoldersOfUser_)
        if (target == data || isStrictlyInside(target, data))
            return std::nullopt;
    if (isStrictlyInside(installFolder_, target))
        return target;
    for (const fs::path& entry : outside_)
        if (isStrictlyInside(entry, target))
            return target;
    return std::nullopt;
}

std::optional<fs::path> UninstallScope::owned(const std::string& line, std::string* reason) const
{
    auto refuse = [reason](const char* why) -> std::optional<fs::path> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (line.size() > kMaxPathBytes)
        return refuse("longer than a path can be");
    if (!profile::isValidUtf8(line))
        return refuse("not UTF-8 text");
    const fs::path path(line);
    if (!isPlainAbsolute(path))
        return refuse("not a plain absolute path");
    const fs::path target = resolved(path);
    if (target == settingsFile_)
        return refuse("the settings file");
    for (const fs::path& data : dataFoldersOfUser_)
        if (target == data || isStrictlyInside(target, data))
            return refuse("the user's profiles");
    if (insideInstallFolder(target))
        return target;
    for (const fs::path& entry : outside_)
        if (target == entry)
            return target;
    return refuse("outside the installation");
}

}  // namespace app
