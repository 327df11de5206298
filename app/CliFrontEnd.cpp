#include "app/CliFrontEnd.h"

#include "app/CliCommands.h"
#include "app/CliText.h"

#include <array>

namespace app {

namespace {

constexpr std::array kCommands = {
    CliCommand{"profiles", "profiles [--names]", runProfilesCommand},
    CliCommand{"settings", "settings", runSettingsCommand},
    CliCommand{"probe", "probe FILE", runProbeCommand},
    CliCommand{"convert", "convert [--profile NAME] [--output-dir DIR] [--jobs N] FILE...", runConvertCommand},
    CliCommand{"command", "command [--profile NAME] [--output-dir DIR] FILE", runCommandCommand},
};

}  // namespace

void CliFrontEnd::printUsage(std::ostream& stream)
{
    stream << "Lumaret, a video-format converter: command-line front end\n\nusage:\n";
    for (const CliCommand& command : kCommands)
        stream << "  lumaret-cli " << command.usage << '\n';
    stream << "  lumaret-cli --help\n";
}

int CliFrontEnd::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        printUsage(err);
        return kCliUsage;
    }
    if (args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        printUsage(out);
        return kCliSuccess;
    }
    for (const CliCommand& command : kCommands) {
        if (args.front() != command.name)
            continue;
        const int status = command.run({args.begin() + 1, args.end()}, out, err);
        if (status == kCliUsage)
            err << "usage: lumaret-cli " << command.usage << '\n';
        return status;
    }
    err << "lumaret-cli: unknown command '" << printable(args.front()) << "'\n";
    printUsage(err);
    return kCliUsage;
}

}  // namespace app
