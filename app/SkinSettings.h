#pragma once
// SkinSettings: the skin colour choice kept in the settings file beside the options: the preset
// name ("skin0" to "skin9") and the hue, saturation and luminosity adjustments. Plain data, owned
// by the skin colour pop-up; SettingsStore loads and saves it.
#include <cstddef>
#include <string>

namespace app {

struct SkinSettings {
    std::string skinName = "skin0";   // at most kSkinNameMaxChars characters
    int skinHue = 180;                // 0..360, 180 = no shift
    int skinSaturation = 100;         // 0..200, 100 = unchanged
    int skinLuminosity = 100;         // 0..200, 100 = unchanged

    bool operator==(const SkinSettings&) const = default;
};

inline constexpr std::size_t kSkinNameMaxChars = 99;

}  // namespace app
