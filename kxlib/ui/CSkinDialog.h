#pragma once
// CSkinDialog: the base of the program's small skinned modal boxes (message box, about box, the
// shutdown countdown). It owns a caption-less window, paints the subclass's background and then the
// controls, routes the window's mouse messages to the controls, drags the box when the left button
// goes down on its own surface, and runs it modally.
//
// Keys: Enter calls onOK() and Escape (or the window system's close request) onCancel(); both end
// the box by default, and a box that must close only through its buttons overrides them.
//
// Ownership: constructed on the caller's stack for one modal run; disposed, so references taken by
// its controls never delete it. The owner window, when given, must outlive the box.
// Threads: window thread only.
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDirectUIHandler.h"
#include "platform/gui/Window.h"

namespace app {

class CSkinDialog : public virtual KXLib::KXDirectUIHandler, public platform::WindowListener {
public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    // The size of the boxes' captioned buttons (addTextButton).
    static constexpr SIZE kTextButtonSize{69, 21};

    // `owner` (may be null) is the window the box is centred on; without one it is centred on the
    // screen.
    explicit CSkinDialog(HWND owner = nullptr);
    ~CSkinDialog() override;
    CSkinDialog(const CSkinDialog&) = delete;
    CSkinDialog& operator=(const CSkinDialog&) = delete;

    // Sets the box up (once), centres it and runs it until endDialog(); returns that result.
    int doModal();
    // Creates the controls and sizes the window without showing it; doModal() calls it first.
    // Calling it again does nothing.
    void initDialog();
    // Ends the modal run with `result` (remembered even when the box is not running yet).
    void endDialog(int result);
    bool hasEnded() const { return ended_; }
    int result() const { return result_; }

    HWND getWindow() override { return &window_; }
    void onPaint(platform::DeviceContext& dc) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The box's own set-up: size the window, create the controls.
    virtual void onInitDialog() = 0;
    // Paints everything behind the controls; `client` is (0, 0, width, height).
    virtual void paintBackground(platform::DeviceContext& dc, const RECT& client) = 0;
    virtual void onOK() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }
    // The strip of the captioned buttons, from the image folder.
    static constexpr const char* kTextButtonStrip = "image/lumaret-btn.png";
    // Adds the boxes' captioned button (the strip `strip`, caption centred) with its top-left at
    // `at`. Null when the name is taken.
    KXLib::KXSmartPtr<KXLib::KXButtonEx> addTextButton(const std::string& name, const std::string& caption, POINT at,
                                                       const std::string& strip = kTextButtonStrip);

    platform::Window window_;

private:
    void centre();

    HWND owner_;
    bool initialised_ = false;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace app
