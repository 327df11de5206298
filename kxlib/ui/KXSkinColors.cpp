#include "kxlib/ui/KXSkinColors.h"

#include "kxlib/ui/KXPalette.h"

namespace KXLib {

namespace {

// The first preset's pair, so a dialog shown before the main window loads the skin still looks
// like the default skin.
COLORREF g_light = palette::kDefaultSkinLight;
COLORREF g_dark = palette::kDefaultSkinDark;

}  // namespace

COLORREF KXSkinColors::light() { return g_light; }
COLORREF KXSkinColors::dark() { return g_dark; }

void KXSkinColors::publish(COLORREF light, COLORREF dark)
{
    g_light = light;
    g_dark = dark;
}

}  // namespace KXLib
