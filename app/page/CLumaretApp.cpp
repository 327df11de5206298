#include "app/page/CLumaretApp.h"

#include "app/page/CLumaretDlg.h"
#include "app/page/SkinMessagePresenter.h"
#include "platform/DisplaySession.h"
#include "platform/MessagePresenter.h"
#include "platform/TerminationSignals.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace app {

int CLumaretApp::run(int argc, char** argv)
{
    std::string problem;
    const std::unique_ptr<platform::DisplaySession> display = platform::DisplaySession::open(argc, argv, problem);
    if (!display) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    auto presenter = std::make_shared<SkinMessagePresenter>();
    platform::setMessagePresenter(presenter);
    // The hand-over reads the whole command line, the program's path included.
    const std::vector<std::string> arguments(argv, argv + argc);
    int status = 0;
    {
        CLumaretDlg mainWindow;
        presenter->setOwner(mainWindow.getWindow());
        // A terminal closing or a session ending stops the encoders as the close button would.
        platform::TerminationSignals termination([&mainWindow] { mainWindow.terminate(); });
        status = mainWindow.doModal(arguments);
        presenter->setOwner(nullptr);
    }
    platform::setMessagePresenter(nullptr);
    return status;
}

}  // namespace app
