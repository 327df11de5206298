#include "convert/page/ConvertPageServices.h"

#include "platform/DebugOutput.h"
#include "platform/Desktop.h"

namespace convert {

void ConvertPageServices::openFile(const std::string& path)
{
    if (!platform::Desktop::openFile(path))
        platform::DebugOutput::line("nothing opened " + path);
}

void ConvertPageServices::showInFolder(const std::string& folder, const std::string& file)
{
    platform::DebugOutput::line("showing the folder of " + file);
    openFile(folder);
}

std::string ConvertPageServices::chooseFolder(HWND, const std::string&)
{
    platform::DebugOutput::line("no folder chooser yet");
    return {};
}

bool ConvertPageServices::moveToTrash(const std::string& path)
{
    platform::DebugOutput::line("no trash yet; kept " + path);
    return false;
}

unsigned ConvertPageServices::popupMenu(HWND, const std::vector<MenuItem>&, POINT)
{
    platform::DebugOutput::line("no pop-up menu yet");
    return 0;
}

void ConvertPageServices::shutdownCountdown(HWND) { platform::DebugOutput::line("no shutdown countdown yet"); }

}  // namespace convert
