#include "convert/page/ConvertPageServices.h"

#include "convert/page/CShutdownDialog.h"
#include "platform/DebugOutput.h"
#include "platform/Desktop.h"
#include "platform/FileDialog.h"
#include "platform/FileManager.h"
#include "platform/LoginManager.h"
#include "platform/PopupMenu.h"
#include "platform/SessionInhibitor.h"
#include "platform/Trash.h"

#include <filesystem>
#include <system_error>

namespace convert {

ConvertPageServices::ConvertPageServices() = default;

ConvertPageServices::~ConvertPageServices() { keepAwake(false); }

void ConvertPageServices::openFile(const std::string& path)
{
    if (!platform::Desktop::openFile(path))
        platform::DebugOutput::line("nothing opened " + path);
}

void ConvertPageServices::showInFolder(const std::string&, const std::string& file)
{
    if (platform::FileManager::showItem(file) == platform::FileManager::Shown::Failed)
        platform::DebugOutput::line("cannot show " + file);
}

std::string ConvertPageServices::chooseFolder(HWND owner, const std::string& title)
{
    return platform::FileDialog::chooseFolder(owner, title);
}

bool ConvertPageServices::moveToTrash(const std::string& path)
{
    switch (platform::Trash::moveToTrash(path)) {
    case platform::Trash::Result::Moved: return true;
    case platform::Trash::Result::Missing: return false;
    case platform::Trash::Result::NoTrash: break;
    }
    std::error_code error;
    return std::filesystem::remove(path, error);
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
    CShutdownDialog countdown(owner);
    countdown.runCountdown();
}

void ConvertPageServices::keepAwake(bool on)
{
    if (!on) {
        sleepLock_.reset();
        if (session_)
            session_->uninhibit();
        session_.reset();
        return;
    }
    if (sleepLock_)
        return;
    platform::BusStatus status = platform::BusStatus::Done;
    sleepLock_ = std::make_unique<platform::InhibitLock>(
        platform::LoginManager().inhibit("sleep:idle", "Lumaret", "正在转换文件", "block", &status));
    if (!sleepLock_->isHeld())
        platform::DebugOutput::line(std::string("no sleep inhibitor: ") + platform::busStatusName(status));
    session_ = std::make_unique<platform::SessionInhibitor>();
    status = session_->inhibit("Lumaret", "正在转换文件", platform::SessionInhibitor::kSuspend |
                                                                 platform::SessionInhibitor::kIdle);
    if (status != platform::BusStatus::Done)
        platform::DebugOutput::line(std::string("no session inhibitor: ") + platform::busStatusName(status));
}

}  // namespace convert
