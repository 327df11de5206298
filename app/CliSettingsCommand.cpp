#include "app/CliCommands.h"

#include "app/CliText.h"
#include "app/SettingsStore.h"

namespace app {

// Prints the settings the program would use now, one "key=value" line each, named after the keys
// of the settings file; the skin lines are named after their sections, since all four share the
// key "skin".
int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (!args.empty())
        return kCliUsage;
    const SettingsStore store;
    const OptionSettings options = store.loadOptions();
    const SkinSettings skin = store.loadSkin();
    const auto flag = [](uint8_t value) { return static_cast<unsigned>(value); };
    out << "output_path=" << printable(options.outputFolder) << '\n'
        << "output_profile=" << flag(options.appendProfileName) << '\n'
        << "delete_source=" << flag(options.deleteSourceOnSuccess) << '\n'
        << "open_output=" << flag(options.openOutputOnSuccess) << '\n'
        << "shutdown=" << flag(options.shutdownWhenDone) << '\n'
        << "enable=" << flag(options.contextMenuEnabled) << '\n'
        << "auto=" << flag(options.autoConvertOnAdd) << '\n'
        << "profile=" << flag(options.profileChoice) << '\n'
        << "skin_color=" << printable(skin.skinName) << '\n'
        << "hue=" << skin.skinHue << '\n'
        << "saturation=" << skin.skinSaturation << '\n'
        << "luminosity=" << skin.skinLuminosity << '\n';
    return kCliSuccess;
}

}  // namespace app
