#pragma once
// The common part of the native check box and radio button: a caption drawn on the window's own
// background (transparent, so it sits on the page's white) and a checked state.
//
// Reports to the window's listener: WM_COMMAND MAKEWPARAM(id, BN_CLICKED) when the user clicks it
// (after the state changed), never for setChecked().
//
// Threads: window thread only.
#include "platform/gui/NativeControl.h"

#include <string>

namespace platform {

class ButtonControl : public NativeControl {
public:
    std::string text() const;
    void setText(const std::string& text);
    bool isChecked() const;
    void setChecked(bool checked);

protected:
    // `button` is the toolkit button (a check box or radio button) on the window.
    ButtonControl(Window& window, int id, QWidget* button, const std::string& text);
};

}  // namespace platform
