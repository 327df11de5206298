#pragma once
// A native static text on a Window, drawn with a transparent background over what the window
// painted (the pages' white). It reports nothing. Threads: window thread only.
#include "platform/gui/NativeControl.h"

#include <string>

namespace platform {

class Label : public NativeControl {
public:
    Label(Window& window, int id, const std::string& text);
    std::string text() const;
    void setText(const std::string& text);
    void setColor(COLORREF color);
};

}  // namespace platform
