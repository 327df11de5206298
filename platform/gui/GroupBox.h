#pragma once
// A native group box on a Window: a captioned frame drawn behind the controls it surrounds. It
// reports nothing. Threads: window thread only.
#include "platform/gui/NativeControl.h"

#include <string>

namespace platform {

class GroupBox : public NativeControl {
public:
    GroupBox(Window& window, int id, const std::string& caption);
    std::string caption() const;
};

}  // namespace platform
