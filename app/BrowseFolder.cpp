#include "app/BrowseFolder.h"

#include "platform/core/Paths.h"

#include <filesystem>
#include <system_error>

namespace app {

BrowseFolder::BrowseFolder(SettingsStore store) : store_(std::move(store)) {}

std::string BrowseFolder::start() const { return existingOrHome(store_.loadBrowse().lastFolder); }

void BrowseFolder::rememberFiles(const std::vector<std::string>& chosen) const
{
    if (!chosen.empty())
        rememberFolder(std::filesystem::path(chosen.front()).parent_path().string());
}

void BrowseFolder::rememberFolder(const std::string& folder) const
{
    if (folder.empty())
        return;
    BrowseSettings browse;
    browse.lastFolder = folder;
    // A folder the file cannot hold (a line break in its name) is simply not remembered.
    store_.saveBrowse(browse);
}

std::string BrowseFolder::existingOrHome(const std::string& folder)
{
    std::error_code error;
    const std::filesystem::path expanded = platform::Paths::expandHome(folder);
    if (!folder.empty() && expanded.is_absolute() && std::filesystem::is_directory(expanded, error))
        return expanded.string();
    return platform::Paths::homeDirectory().string();
}

}  // namespace app
