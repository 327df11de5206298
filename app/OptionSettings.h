#pragma once
// OptionSettings: the program's options while it runs, one record per process, owned by the
// options page and read by the other pages by field name. Plain data: copy it as a whole, compare
// it, bind its fields to controls. SettingsStore loads and saves it.
//
// Every flag is a byte: a stored integer keeps its low 8 bits, and any nonzero byte means "on"
// (so a stored "2" is on and "256" is off).
#include <cstdint>
#include <string>

namespace app {

// profileChoice values: the profile given to a file that arrives without one.
inline constexpr uint8_t kUseDefaultProfile = 0;
inline constexpr uint8_t kUseLastUsedProfile = 1;   // any nonzero value reads as this

struct OptionSettings {
    // UTF-8. Empty: each output is written beside its source file. Never cut to a length limit:
    // a shortened path would name another folder.
    std::string outputFolder;
    uint8_t appendProfileName = 0;       // output name carries " [" + profile name + "]"
    uint8_t deleteSourceOnSuccess = 0;
    uint8_t openOutputOnSuccess = 0;
    uint8_t shutdownWhenDone = 0;
    uint8_t contextMenuEnabled = 0;      // file-manager context-menu entries installed
    uint8_t autoConvertOnAdd = 0;
    uint8_t profileChoice = kUseDefaultProfile;
    // How many files the queue converts at once, 1 to the processors' count (SettingsStore holds
    // a stored value to that range).
    int filesAtOnce = 1;

    bool operator==(const OptionSettings&) const = default;
};

}  // namespace app
