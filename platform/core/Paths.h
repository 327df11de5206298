#pragma once
// Where the program's files live. Safe to call from any thread; nothing is cached except the
// program folder, which cannot change while the program runs.
#include <filesystem>

namespace platform {

class Paths {
public:
    // The folder of the running executable.
    static std::filesystem::path programDirectory();
    // The skin images: programDirectory()/image.
    static std::filesystem::path imageDirectory();
    // The folder that holds profile.dat, user_profile.dat and cmdline.txt: $LUMARET_DATA_DIR when
    // set; else programDirectory()/data when that folder (or, if it does not exist yet, the program
    // folder) is writable; else $XDG_DATA_HOME/Lumaret/data (~/.local/share/Lumaret/data).
    // The folder is not created here.
    static std::filesystem::path dataDirectory();
    // The settings file: $LUMARET_CONFIG_DIR/Lumaret.ini when set, else
    // $XDG_CONFIG_HOME/Lumaret/Lumaret.ini (~/.config/Lumaret/Lumaret.ini).
    static std::filesystem::path settingsFile();
    // The user's home folder ($HOME, else the password database).
    static std::filesystem::path homeDirectory();
    // Expands a leading "~/" (or a lone "~") to the home folder; other paths are returned as given.
    static std::filesystem::path expandHome(const std::filesystem::path& path);
};

}  // namespace platform
