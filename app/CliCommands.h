#pragma once
// The commands of the command-line front end `lumaret-cli`. Each is one function in a file of its
// own (CliProfilesCommand.cpp, ...); CliFrontEnd dispatches to them by name.
#include <ostream>
#include <string>
#include <vector>

namespace app {

// Exit statuses shared by every command.
inline constexpr int kCliSuccess = 0;
inline constexpr int kCliFailure = 1;
inline constexpr int kCliUsage = 2;

// args excludes the command's own name. A command returns kCliUsage for bad arguments (the front
// end then prints the usage text).
using CliCommandFunction = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct CliCommand {
    const char* name;
    const char* usage;   // one line, after "lumaret-cli "
    CliCommandFunction run;
};

int runProfilesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runProbeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runCommandCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace app
