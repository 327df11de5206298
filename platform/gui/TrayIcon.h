#pragma once
// An icon in the desktop's notification area. Its mouse input reaches the owner window's listener
// as the given callback message (WM_TRAY_NOTIFY for the main window) with wParam the icon's id and
// lParam the mouse message: WM_LBUTTONDOWN for a left click, WM_LBUTTONDBLCLK for a double click,
// WM_RBUTTONDOWN for a right click (the owner shows its menu at the cursor).
//
// Threads: window thread only. The owner window must outlive the icon. The owner takes the icon
// away from a report with remove(); it does not destroy the TrayIcon during the report.
#include "platform/core/WinTypes.h"
#include "platform/core/WindowMessages.h"

#include <memory>
#include <string>

class QSystemTrayIcon;

namespace platform {

class Window;

class TrayIcon {
public:
    TrayIcon(Window& owner, int id, UINT callbackMessage = WM_TRAY_NOTIFY);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // True when the desktop shows a notification area. Without one add() still succeeds, but the
    // icon cannot be seen: callers keep their window instead of hiding it there.
    static bool isAvailable();

    // Shows the icon with the picture of `iconPath` and the tooltip. False when the picture cannot
    // be read (nothing is shown then). Adding again replaces picture and tip.
    bool add(const std::string& iconPath, const std::string& tip);
    // Takes the icon away; nothing when it is not shown.
    void remove();
    bool isShown() const;
    int id() const { return id_; }

    // The toolkit's icon, for this layer's tests.
    QSystemTrayIcon* nativeIcon() const;

    struct Impl;

private:
    void deliver(UINT mouseMessage);

    Window& owner_;
    int id_;
    UINT callbackMessage_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
