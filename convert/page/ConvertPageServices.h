#pragma once
// The desktop services the conversion page uses: opening files, showing a file in the file
// manager, choosing a folder, the trash, the priority menu, the shutdown countdown and keeping the
// machine awake while converting. The page holds one; tests replace it with a recorder so nothing
// is launched, moved, inhibited or powered off.
//
// Threads: window thread only.
#include "convert/AfterSuccess.h"
#include "convert/page/MachinePower.h"
#include "platform/core/WinTypes.h"

#include <string>
#include <vector>

namespace convert {

struct MenuItem {
    unsigned id = 0;  // 0 for a separator
    std::string text;
    bool checked = false;
};

class ConvertPageServices : public SuccessDesktop {
public:
    ConvertPageServices();
    ~ConvertPageServices() override;
    // Opens a file with the desktop's opener for its type (xdg-open); false when none took it.
    virtual bool openFile(const std::string& path);
    // Shows `file` selected in its folder (the file manager over D-Bus); the folder itself where
    // no file manager offers that. False when neither worked.
    bool showInFolder(const std::string& folder, const std::string& file) override;
    // The folder chooser titled `title`, opening in `startFolder`; empty when cancelled.
    virtual std::string chooseFolder(HWND owner, const std::string& title, const std::string& startFolder);
    // Moves a source file to the desktop's trash, so a mistake can be undone. Where its file system
    // has no usable trash the file stays, never deleted for good; false then, with the reason.
    bool moveToTrash(const std::string& path, std::string& why) override;
    // Shows a pop-up menu at a screen point and returns the chosen id, 0 for none.
    virtual unsigned popupMenu(HWND owner, const std::vector<MenuItem>& items, POINT screenPoint);
    // The 30-second countdown box before powering off once the queue is done; the machine is no
    // longer kept awake from the moment it shows.
    virtual void shutdownCountdown(HWND owner);
    // Keeps the machine from sleeping (logind's sleep and idle inhibitor, and GNOME's session
    // manager) while `on`; releases both when off. Without a bus nothing is held.
    virtual void keepAwake(bool on);

private:
    MachinePower power_;
};

}  // namespace convert
