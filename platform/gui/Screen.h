#pragma once
// The screen the windows appear on: where a dialog without an owner is centred. Window thread only.
#include "platform/core/WinTypes.h"

namespace platform {

class Screen {
public:
    // The part of the primary screen that windows may use (without panels), in screen
    // coordinates; (0, 0, 1024, 768) when there is no screen at all.
    static RECT workArea();
};

}  // namespace platform
