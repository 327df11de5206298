#include "kxlib/ui/KXSkinColors.h"

namespace KXLib {

namespace {

// The first preset's pair, so a dialog shown before the main window loads the skin still looks
// like the default skin.
COLORREF g_light = 0xF9C232;
COLORREF g_dark = 0xF7B300;

}  // namespace

COLORREF KXSkinColors::light() { return g_light; }
COLORREF KXSkinColors::dark() { return g_dark; }

void KXSkinColors::publish(COLORREF light, COLORREF dark)
{
    g_light = light;
    g_dark = dark;
}

}  // namespace KXLib
