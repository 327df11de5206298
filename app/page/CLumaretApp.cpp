#include "app/page/CLumaretApp.h"

#include "app/page/CLumaretDlg.h"
#include "app/page/SkinMessagePresenter.h"
#include "platform/core/DebugOutput.h"
#include "platform/gui/Application.h"
#include "platform/core/MessagePresenter.h"
#include "platform/gui/TerminationSignals.h"

#include <memory>
#include <string>
#include <vector>

namespace app {

int CLumaretApp::run(int argc, char** argv)
{
    endingSignal_ = 0;
    CLumaretDlg::markProgramStart();
    const std::unique_ptr<platform::Application> application = platform::Application::create(argc, argv, "lumaret");
    if (!application)
        return 1;
    // The program speaks Chinese; the toolkit's file and folder choosers should too.
    if (!platform::Application::loadToolkitTranslations("zh_CN"))
        platform::DebugOutput::line("no Chinese translation of the toolkit's dialogs");
    auto presenter = std::make_shared<SkinMessagePresenter>();
    platform::setMessagePresenter(presenter);
    // The hand-over reads the whole command line, the program's path included.
    const std::vector<std::string> arguments(argv, argv + argc);
    int status = 0;
    {
        CLumaretDlg mainWindow;
        presenter->setOwner(mainWindow.getWindow());
        // A terminal closing or a session ending stops the encoders as the close button would.
        // Quitting the application also ends any box open at that moment, whose loop would
        // otherwise keep the program waiting for an answer nobody gives.
        platform::TerminationSignals termination([this, &mainWindow, &presenter](int signal) {
            if (endingSignal_ == 0)
                endingSignal_ = signal;
            presenter->endAll();
            mainWindow.terminate();
            platform::Application::quit(0);
        });
        status = mainWindow.doModal(arguments);
        presenter->setOwner(nullptr);
    }
    platform::setMessagePresenter(nullptr);
    return status;
}

}  // namespace app
