#pragma once
// The process-wide skin colour pair: the light and the dark colour of the chosen skin. The main
// window publishes the pair when it loads the skin and whenever the user changes it; every dialog
// reads it when it paints, so boxes opened later match the main window. Until the first publish
// the pair is the first preset's.
//
// Threads: window thread only (it is read while painting and written by the main window).
#include "platform/core/WinTypes.h"

namespace KXLib {

class KXSkinColors {
public:
    static COLORREF light();
    static COLORREF dark();
    static void publish(COLORREF light, COLORREF dark);
};

}  // namespace KXLib
