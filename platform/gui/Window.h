#pragma once
// A window of the program: a caption-less top-level window, a child page inside another window, or
// a small pop-up. The window turns the toolkit's input into the classic message numbers (mouse
// coordinates packed in lParam), paints through one off-screen buffer per repaint, and offers the
// few services the custom-drawn controls need: capture, leave notification, timers, tooltips,
// posting and repaint requests from any thread, modal runs, rounded masks and moving a caption-less
// window by a press on its surface.
//
// Threads: create, use and destroy a Window on the window thread. Only invalidate() and post() may
// be called from other threads, and only while the window exists (owners join their workers before
// they destroy the window).
#include "platform/core/WinTypes.h"

#include <memory>
#include <string>

namespace platform {

class DeviceContext;

// What a window tells its owner. Both calls come on the window thread.
class WindowListener {
public:
    virtual ~WindowListener() = default;
    // Paint the whole client area into `dc` (client coordinates). The buffer starts white and is
    // copied to the screen after the call returns.
    virtual void onPaint(DeviceContext& dc) = 0;
    // Mouse messages (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
    // WM_RBUTTONUP with client coordinates in lParam; WM_MOUSEWHEEL with the delta in the high word
    // of wParam, always whole notches of WHEEL_DELTA (small deltas of touchpads are added up first),
    // and screen coordinates in lParam; WM_MOUSELEAVE once after trackMouseLeave()),
    // WM_TIMER (wParam the timer id), WM_KEYDOWN (wParam a VK_ code), WM_KILLFOCUS (the window lost
    // activation), WM_CLOSE (the window system asks to close; return true to keep the window) and
    // every posted message. Child windows (pages) also hear WM_SHOWWINDOW when they are shown or
    // hidden themselves. The native controls on the window report WM_COMMAND and WM_NOTIFY, file
    // drops arrive as WM_DROPFILES and a tray icon's clicks as its callback message (WinTypes.h
    // and the controls' headers say how they are packed). Return true when the message was handled.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

class Window {
public:
    enum class Kind {
        TopLevel,  // caption-less application window with a taskbar entry
        Child,     // a page inside its parent's client area
        Popup,     // caption-less, stays on top of its parent, reports WM_KILLFOCUS when left
    };

    // The listener is not owned and must outlive the window. A child needs a parent.
    Window(Kind kind, WindowListener* listener, Window* parent = nullptr);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Position and size: screen coordinates for top-level windows and pop-ups, the parent's client
    // coordinates for children.
    void setGeometry(const RECT& r);
    RECT geometry() const;
    // (0, 0, width, height).
    RECT clientRect() const;
    void resize(int width, int height);
    POINT clientToScreen(POINT p) const;
    POINT screenToClient(POINT p) const;
    // The cursor position in client coordinates.
    POINT cursorPos() const;

    void setTitle(const std::string& title);
    // Sets the window's icon from an image file; false when the file cannot be read.
    bool setIcon(const std::string& path);
    void show();
    void hide();
    bool isVisible() const;
    void minimize();
    void activate();

    // Repaints `r` (or the whole client area) soon. Safe from any thread.
    void invalidate(const RECT* r = nullptr);
    // Delivers the message to the listener later, on the window thread. Safe from any thread.
    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Delivers the message to the listener now and returns its answer (window thread only). The
    // native controls report through it; the listener may destroy the sender during the call.
    bool send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Paints now (window thread only), for the rare caller that needs the screen up to date.
    void update();

    // Mouse capture: the controls capture when a button goes down on them and release it when it
    // comes up. One window of the process holds the capture at a time.
    void setCapture();
    static void releaseCapture();
    static HWND captureWindow();
    // Asks for one WM_MOUSELEAVE when the mouse leaves the window. Returns true.
    bool trackMouseLeave();

    // Starts (or restarts) timer `id`, repeating every `ms` milliseconds until killTimer().
    void setTimer(int id, int ms);
    void killTimer(int id);

    // Shows the window and runs a nested event loop until endDialog(); returns its result.
    int runModal();
    void endDialog(int result);
    bool isModalRunning() const;

    // Clips the window to a rounded rectangle with an ew x eh corner ellipse (follows resizes).
    void setRoundedMask(int ew, int eh);
    // Lets the window system move the window with the mouse, as a press on a caption would.
    void startMove();

    // One tooltip covers the whole window, at most kTooltipMaxWidth (500) pixels wide: longer texts
    // are broken into lines (TooltipText.h). setTooltip() sets its text and lets it show while the
    // mouse rests; hideTooltip() hides it and keeps it from showing until the next setTooltip() or
    // relayTooltip() (which lets the current text show again).
    void setTooltip(const std::string& text);
    void hideTooltip();
    void relayTooltip();

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
