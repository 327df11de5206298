#pragma once
// BrowseFolder: where the file and folder choosers open. "Add file" and "add folder" open in the
// folder the user last chose something in, remembered in the settings file across runs; while
// nothing is remembered, or the remembered folder is gone, they open in the home folder. Any
// other chooser that starts from a folder of its own (a row's output folder) takes the same
// fallback through existingOrHome().
//
// Threads: any; each call reads or writes the settings file through its SettingsStore.
#include "app/SettingsStore.h"

#include <string>
#include <vector>

namespace app {

class BrowseFolder {
public:
    explicit BrowseFolder(SettingsStore store = SettingsStore());

    // The folder to open the choosers in.
    std::string start() const;
    // Remembers the folder of the first chosen file; nothing for an empty choice.
    void rememberFiles(const std::vector<std::string>& chosen) const;
    // Remembers a chosen folder; nothing for an empty choice.
    void rememberFolder(const std::string& folder) const;

    // `folder` (a leading "~" expanded) when it names an existing folder, else the home folder.
    static std::string existingOrHome(const std::string& folder);

private:
    SettingsStore store_;
};

}  // namespace app
