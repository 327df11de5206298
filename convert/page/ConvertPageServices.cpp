#include "convert/page/ConvertPageServices.h"

#include "convert/page/CShutdownDialog.h"
#include "platform/core/DebugOutput.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/FileManager.h"
#include "platform/gui/PopupMenu.h"
#include "platform/gui/Trash.h"


namespace convert {

ConvertPageServices::ConvertPageServices() = default;

ConvertPageServices::~ConvertPageServices() { keepAwake(false); }

bool ConvertPageServices::openFile(const std::string& path)
{
    if (platform::Desktop::openFile(path))
        return true;
    platform::DebugOutput::line("nothing opened " + path);
    return false;
}

bool ConvertPageServices::showInFolder(const std::string&, const std::string& file)
{
    if (platform::FileManager::showItem(file) != platform::FileManager::Shown::Failed)
        return true;
    platform::DebugOutput::line("cannot show " + file);
    return false;
}

std::string ConvertPageServices::chooseFolder(HWND owner, const std::string& title, const std::string& startFolder)
{
    return platform::FileDialog::chooseFolder(owner, title, startFolder);
}

bool ConvertPageServices::moveToTrash(const std::string& path, std::string& why)
{
    switch (platform::Trash::moveToTrash(path)) {
    case platform::Trash::Result::Moved: return true;
    case platform::Trash::Result::Missing: return false;
    case platform::Trash::Result::NoTrash: break;
    }
    why = "它所在的文件系统没有可用的回收站";
    return false;
}

unsigned ConvertPageServices::popupMenu(HWND owner, const std::vector<MenuItem>& items, POINT screenPoint)
{
    platform::PopupMenu menu;
    for (const MenuItem& item : items) {
        if (item.id == 0)
            menu.addSeparator();
        else
            menu.addItem(static_cast<int>(item.id), item.text, item.checked);
    }
    const int chosen = menu.track(screenPoint, owner);
    return chosen > 0 ? static_cast<unsigned>(chosen) : 0;
}

void ConvertPageServices::shutdownCountdown(HWND owner)
{
    keepAwake(false);
    CShutdownDialog countdown(owner, [this] { power_.powerOff(); });
    countdown.runCountdown();
}

void ConvertPageServices::keepAwake(bool on) { power_.keepAwake(on); }

}  // namespace convert
