#pragma once
// BrowseSettings: what the file and folder choosers remember between runs, kept in the settings
// file beside the options. Plain data; SettingsStore loads and saves it, BrowseFolder uses it.
#include <string>

namespace app {

struct BrowseSettings {
    std::string lastFolder;  // UTF-8; the folder the last file or folder was chosen in, empty: none

    bool operator==(const BrowseSettings&) const = default;
};

}  // namespace app
