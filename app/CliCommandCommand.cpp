#include "app/CliCommands.h"

#include "app/CliText.h"
#include "app/SettingsStore.h"
#include "convert/CommandLineBuilder.h"
#include "profile/EncodingTables.h"
#include "profile/ProfileStore.h"

#include <filesystem>
#include <optional>
#include <unistd.h>

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

// The folder an output would be written to: the given one, else the source's own.
std::string outputFolderOf(const std::string& source, const std::string& folder)
{
    return folder.empty() ? std::filesystem::path(source).parent_path().string() : folder;
}

// The builder creates the output folder, as a conversion needs it. This command only shows what
// would run, so it leaves the disk as it found it: a folder that was not there before is removed
// again. rmdir() removes only an empty folder, so nothing another program put there can be lost.
class FolderKeeper {
public:
    explicit FolderKeeper(std::string folder) : folder_(std::move(folder))
    {
        std::error_code error;
        existed_ = folder_.empty() || std::filesystem::exists(folder_, error) || error;
    }
    ~FolderKeeper()
    {
        if (!existed_)
            ::rmdir(folder_.c_str());
    }
    FolderKeeper(const FolderKeeper&) = delete;
    FolderKeeper& operator=(const FolderKeeper&) = delete;

private:
    std::string folder_;
    bool existed_ = true;
};

}  // namespace

// Prints the encoder command a conversion of FILE would run: the classic one-line text first, then
// "argv:" and the arguments really started, one per line, each made printable. The file need not
// exist. A dry run: nothing is created or changed on disk.
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
        err << "lumaret-cli command: no profile named \"" << printable(parsed->profileName.value_or("")) << "\"\n";
        return kCliFailure;
    }
    // The builder would print a command no encoder accepts.
    if (!profile::conversionTypeDescriptor(record->conversionType)) {
        err << "lumaret-cli command: the profile \"" << printable(profile::profileNameOf(*record))
            << "\" has an unknown conversion type (" << record->conversionType << ")\n";
        return kCliFailure;
    }

    const OptionSettings options = SettingsStore().loadOptions();
    const std::string folder = parsed->outputFolder ? *parsed->outputFolder : options.outputFolder;
    // The builder cuts folder and name at the last "/", so a bare file name is made absolute.
    const std::string source = std::filesystem::absolute(parsed->file).string();
    const std::optional<std::string> resolved = cliOutputFolder("command", folder, err);
    if (!resolved)
        return kCliUsage;
    const std::string& target = *resolved;
    std::optional<convert::EncoderCommand> command;
    {
        const FolderKeeper keeper(outputFolderOf(source, target));
        command = convert::CommandLineBuilder().build(source, *record, target, options.appendProfileName != 0);
    }
    if (!command) {
        err << "lumaret-cli command: no output name can be made for \"" << printable(source) << "\"\n";
        return kCliFailure;
    }

    out << printable(command->commandText) << "\nargv:\n";
    for (const std::string& argument : command->arguments)
        out << printable(argument) << '\n';
    for (const std::string& note : command->notes)
        err << "note: " << printable(note) << '\n';
    return kCliSuccess;
}

}  // namespace app
