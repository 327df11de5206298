#include "app/CliCommands.h"

namespace app {

int runProfilesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    err << "lumaret-cli profiles: not built yet\n";
    return kCliFailure;
}

}  // namespace app
