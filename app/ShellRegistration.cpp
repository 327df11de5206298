#include "app/ShellRegistration.h"

#include "app/DetachedLaunch.h"
#include "app/ShellMenus.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/DebugOutput.h"
#include "platform/core/Paths.h"

#include <unistd.h>

namespace app {

bool ShellRegistration::isRegistered()
{
    return ShellMenus(ShellMenus::Folders::ofUser(), helperProgram()).installed();
}

bool ShellRegistration::sync(bool wanted, const Starter& start)
{
    const bool registered = isRegistered();
    if (wanted == registered)
        return false;
    return start(wanted ? "register" : "unregister");
}

bool ShellRegistration::refresh(const Starter& start)
{
    return isRegistered() && start("register");
}

std::string ShellRegistration::helperProgram()
{
    const std::filesystem::path beside = platform::Paths::programDirectory() / "lumaret-shellext";
    if (::access(beside.c_str(), X_OK) == 0)
        return beside.string();
    return platform::ChildProcess::findProgram("lumaret-shellext");
}

bool ShellRegistration::startHelper(const char* command)
{
    // Like the registration tool it stands for, the helper is started blindly: its outcome shows
    // in the registered state the next time it is asked for.
    const std::string program = helperProgram();
    std::string error;
    if (program.empty() || !DetachedLaunch::start({program, command}, &error)) {
        platform::DebugOutput::line("lumaret-shellext " + std::string(command) + " not started: " +
                              (program.empty() ? std::string("no lumaret-shellext") : error));
        return false;
    }
    return true;
}

}  // namespace app
