#pragma once
// The desktop services the conversion page uses: opening files, showing a file in the file
// manager, choosing a folder, the trash, the priority menu and the shutdown countdown. The page
// holds one; tests replace it with a recorder so nothing is launched, moved or powered off.
//
// The default implementation opens files through the desktop's opener (xdg-open). The pieces
// that wait for the window layer's desktop services are marked below: until they exist, each one
// does the safe nothing (no folder chosen, no menu, the source file kept) and says so on the debug
// output.
//
// Threads: window thread only.
#include "platform/WinTypes.h"

#include <string>
#include <vector>

namespace convert {

struct MenuItem {
    unsigned id = 0;  // 0 for a separator
    std::string text;
    bool checked = false;
};

class ConvertPageServices {
public:
    virtual ~ConvertPageServices() = default;
    // Opens a file with the desktop's opener for its type.
    virtual void openFile(const std::string& path);
    // Shows `file` selected in its folder; the folder itself where that is not possible.
    // Waits for the FileManager1 service of the window layer: opens the folder meanwhile.
    virtual void showInFolder(const std::string& folder, const std::string& file);
    // A folder chooser titled `title`; empty when cancelled. Waits for the window layer's folder
    // dialog: chooses nothing meanwhile.
    virtual std::string chooseFolder(HWND owner, const std::string& title);
    // Moves a file to the desktop's trash; false when it stayed where it was. Waits for the window
    // layer's trash: keeps every file meanwhile.
    virtual bool moveToTrash(const std::string& path);
    // Shows a pop-up menu at a screen point and returns the chosen id, 0 for none. Waits for the
    // window layer's pop-up menu: chooses nothing meanwhile.
    virtual unsigned popupMenu(HWND owner, const std::vector<MenuItem>& items, POINT screenPoint);
    // The countdown before powering off once the queue is done. Waits for the countdown box and the
    // login manager's power-off: nothing happens meanwhile.
    virtual void shutdownCountdown(HWND owner);
};

}  // namespace convert
