#pragma once
// The hue-saturation-luminosity colour transform behind the skin colour. Pure arithmetic in single
// precision; safe from any thread.
#include "platform/core/WinTypes.h"

namespace KXLib {

struct HslColor {
    float h = 0;  // degrees
    float s = 0;  // 0..1
    float l = 0;  // 0..1
};

HslColor rgbToHsl(COLORREF color);
COLORREF hslToRgb(const HslColor& hsl);

// Shifts the hue by `hueShift` degrees and scales saturation and luminosity by the percentages.
// Returns false (out untouched) for a negative luminosity; the identity (0, 100, 100) returns true
// and leaves `*out` untouched too.
bool adjustColor(COLORREF color, COLORREF* out, int hueShift, int saturationPercent, int luminosityPercent);

}  // namespace KXLib
