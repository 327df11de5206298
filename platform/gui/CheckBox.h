#pragma once
// A native check box on a Window (see ButtonControl.h for its caption, state and click report).
// Threads: window thread only.
#include "platform/gui/ButtonControl.h"

namespace platform {

class CheckBox : public ButtonControl {
public:
    CheckBox(Window& window, int id, const std::string& text);
};

}  // namespace platform
