#pragma once
// A native radio button on a Window (see ButtonControl.h for its caption, state and click report).
// Radio buttons form groups as in a dialog template: a button created with `startsGroup` begins a
// new group on its window, and each later one joins the group begun last. Within a group exactly
// one button is checked once the user or setChecked() has checked one.
// Threads: window thread only.
#include "platform/gui/ButtonControl.h"

namespace platform {

class RadioButton : public ButtonControl {
public:
    RadioButton(Window& window, int id, const std::string& text, bool startsGroup);
};

}  // namespace platform
