#include "uninstall/CLumaretUninstallApp.h"

#include "platform/gui/Application.h"
#include "platform/core/Paths.h"
#include "uninstall/CLumaretUninstallDlg.h"

#include <memory>
#include <system_error>

namespace uninstall {

int CLumaretUninstallApp::run(int argc, char** argv)
{
    const std::unique_ptr<platform::Application> application =
        platform::Application::create(argc, argv, "LumaretUninstall");
    if (!application)
        return 1;
    const std::filesystem::path folder = platform::Paths::programDirectory();
    std::error_code error;
    std::filesystem::current_path(folder, error);
    CLumaretUninstallDlg dialog(folder);
    dialog.doModal();
    return 0;
}

}  // namespace uninstall
