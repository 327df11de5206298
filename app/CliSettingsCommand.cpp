#include "app/CliCommands.h"

namespace app {

int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    err << "lumaret-cli settings: not built yet\n";
    return kCliFailure;
}

}  // namespace app
