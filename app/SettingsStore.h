#pragma once
// SettingsStore: reads and writes OptionSettings and SkinSettings in the settings file
// (platform::Paths::settingsFile() unless told otherwise), an INI file laid out by SettingsTable:
//
//   [output]      output_path=<folder>   output_profile=<flag>
//   [finish]      delete_source  open_output  shutdown          (flags)
//   [menu]        enable  auto  profile                          (flags; profile 0 or 1)
//   [convert]     files_at_once=<1 to the processors' count>     (written once it is not 1)
//   [skin_color]  skin=<preset name>
//   [hue] / [saturation] / [luminosity]  skin=<integer>
//   [browse]      last_folder=<folder>
//
// The skin keys use the setting's name as the section and "skin" as the key, the reverse of the
// others. Loading never fails: a missing or unreadable file or key gives the default (every flag
// off, no output folder, "skin0", 180, 100, 100); a settings file that exists but cannot be read
// (a FIFO, device or folder, no permission, over IniFile::kMaxFileBytes) is refused at once and
// loadOptions() says so through showMessage. A stored files_at_once outside 1..the processors'
// count (ConversionQueue::processorCount(); a file from a bigger machine, or edited by hand) is held
// to that range without a word. A stored output folder that is relative (neither
// absolute nor under "~") is told the same way and replaced by fallbackOutputFolder(). Saving
// writes only its own keys and keeps the rest of the file; the folder is created when missing. A
// save returns false when the file could not be read or written, and also when a value was refused
// (a line break in the output folder, or a relative one): then nothing at all is written.
//
// Threads: any thread; the store holds no state but the file's path.
#include "app/BrowseSettings.h"
#include "app/OptionSettings.h"
#include "app/SkinSettings.h"

#include <filesystem>
#include <string>

namespace app {

class SettingsStore {
public:
    // The program's own settings file.
    SettingsStore();
    explicit SettingsStore(std::filesystem::path file);

    const std::filesystem::path& file() const { return file_; }

    // The option keys; defaults for whatever is missing or unreadable.
    OptionSettings loadOptions() const;
    // Writes the option keys in one replacement of the file; flags as "0" or "1". False, with
    // the file unchanged, when it cannot be read or written or a value cannot be stored.
    bool saveOptions(const OptionSettings& options) const;

    // The four skin keys; the name is cut to kSkinNameMaxChars characters.
    SkinSettings loadSkin() const;
    bool saveSkin(const SkinSettings& skin) const;

    // What the choosers remember; saving it keeps everything else in the file.
    BrowseSettings loadBrowse() const;
    bool saveBrowse(const BrowseSettings& browse) const;

    // The folder the options page puts into an empty output-folder field when the user turns off
    // "write beside the source": convert::OutputName::defaultFolder().
    static std::string fallbackOutputFolder();
    // filesAtOnce held to 1..ConversionQueue::processorCount().
    static int heldFilesAtOnce(int filesAtOnce);

private:
    std::filesystem::path file_;
};

}  // namespace app
