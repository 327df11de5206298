#pragma once
// The base of the native child controls (tree view, combo boxes, edit box, check box, radio
// button, group box, label): a toolkit control created on a Window, placed in its client
// coordinates, and identified by the number its owner gives it. Notifications go to the window's
// listener as WM_COMMAND and WM_NOTIFY messages (WinTypes.h says how they are packed), on the
// window thread and while the control's own handler runs, so the listener may destroy the control
// during the call.
//
// Threads: window thread only. Ownership: the owner keeps the control object; the window must
// outlive it. A control whose window was destroyed first is inert (every call does nothing).
#include "platform/gui/Font.h"
#include "platform/core/WinTypes.h"

#include <memory>
#include <string>

class QObject;
class QWidget;

namespace platform {

class Window;

class NativeControl {
public:
    virtual ~NativeControl();
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    int id() const { return id_; }
    Window& window() const { return window_; }

    // Position and size in the window's client coordinates.
    void setRect(const RECT& r);
    RECT rect() const;
    void show();
    void hide();
    bool isVisible() const;
    void setEnabled(bool enabled);
    bool isEnabled() const;
    // Gives the control the keyboard focus (and makes its window the active one).
    void setFocus();
    bool hasFocus() const;
    void setFont(const Font& font);

    // The toolkit control (null once its window is gone), for this layer and its tests.
    QWidget* nativeWidget() const;

protected:
    // How a control reports losing the keyboard focus.
    struct FocusLoss {
        UINT message = 0;  // WM_COMMAND or WM_NOTIFY; 0 reports nothing
        int code = 0;      // EN_KILLFOCUS, CBN_KILLFOCUS, NM_KILLFOCUS
    };

    // `widget` is the toolkit control, already created with the window's widget as its parent; the
    // control owns it from here on. New controls use the shared "Tahoma" 9-point font and start
    // hidden until show(). With `editorKeys` Enter and Escape are reported (see notifyKey()).
    NativeControl(Window& window, int id, QWidget* widget, FocusLoss focusLoss, bool editorKeys);

    // Reports a WM_COMMAND with this control's id and `code`. Returns false when the listener
    // destroyed the control during the call, so the caller stops touching it.
    bool notifyCommand(int code);
    // Reports a WM_NOTIFY with this control's id and `code`; the same answer as notifyCommand().
    bool notifyNotify(int code);
    // Reports Enter (IDOK) or Escape (IDCANCEL) with this control's id in lParam.
    bool notifyKey(int command);

    // The context object for the control's signal connections: they end when the control does.
    QObject* signalContext() const;

    // Runs a report that may destroy this control; false when it did.
    bool guarded(UINT message, WPARAM wParam, LPARAM lParam);

private:
    class EventWatch;
    friend class EventWatch;

    Window& window_;
    int id_;
    struct Widget;
    std::unique_ptr<Widget> widget_;
    FocusLoss focusLoss_;
    bool editorKeys_;
    std::shared_ptr<bool> alive_;
};

}  // namespace platform
