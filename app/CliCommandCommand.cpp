#include "app/CliCommands.h"

#include "app/SettingsStore.h"
#include "convert/CommandLineBuilder.h"
#include "platform/Paths.h"
#include "profile/ProfileStore.h"

#include <filesystem>
#include <optional>

namespace app {

namespace {

struct CommandArguments {
    std::optional<std::string> profileName;
    std::optional<std::string> outputFolder;
    std::string file;
};

std::optional<CommandArguments> parseArguments(const std::vector<std::string>& args)
{
    CommandArguments parsed;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--profile" || arg == "--output-dir") && i + 1 < args.size()) {
            (arg == "--profile" ? parsed.profileName : parsed.outputFolder) = args[++i];
        } else if (arg == "--" && i + 2 == args.size()) {
            parsed.file = args[++i];
            haveFile = true;
        } else if (!arg.starts_with("--") && !haveFile) {
            parsed.file = arg;
            haveFile = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveFile || parsed.file.empty())
        return std::nullopt;
    return parsed;
}

}  // namespace

// Prints the encoder command a conversion of FILE would run: the classic one-line text first, then
// "argv:" and the arguments really started, one per line. The file need not exist.
int runCommandCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<CommandArguments> parsed = parseArguments(args);
    if (!parsed)
        return kCliUsage;

    // Only looked up: the profile files are left as they are (the profile page normalises them).
    profile::ProfileStore store;
    if (!store.load()) {
        err << "lumaret-cli command: no profiles could be read\n";
        return kCliFailure;
    }
    const profile::ProfileRecord* record =
        parsed->profileName ? store.findProfileByName(std::string_view(*parsed->profileName)) : store.defaultProfile();
    if (!record) {
        err << "lumaret-cli command: no profile named \"" << parsed->profileName.value_or("") << "\"\n";
        return kCliFailure;
    }

    const OptionSettings options = SettingsStore().loadOptions();
    const std::string folder = parsed->outputFolder ? *parsed->outputFolder : options.outputFolder;
    // The builder cuts folder and name at the last "/", so a bare file name is made absolute.
    const std::string source = std::filesystem::absolute(parsed->file).string();
    const std::optional<convert::EncoderCommand> command = convert::CommandLineBuilder().build(
        source, *record, folder.empty() ? folder : platform::Paths::expandHome(folder).string(),
        options.appendProfileName != 0);
    if (!command) {
        err << "lumaret-cli command: no output name can be made for \"" << source << "\"\n";
        return kCliFailure;
    }

    out << command->commandText << "\nargv:\n";
    for (const std::string& argument : command->arguments)
        out << argument << '\n';
    for (const std::string& note : command->notes)
        err << "note: " << note << '\n';
    return kCliSuccess;
}

}  // namespace app
