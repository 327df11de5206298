#include "kxlib/ui/KXColor.h"

#include <algorithm>
#include <cmath>

namespace KXLib {

namespace {

int channel(float p, float q, float h)
{
    // One remainder instead of repeated subtraction: a hue shift read from a damaged settings file
    // can be so large that subtracting 360 no longer changes the float, and the loop never ends.
    if (h > 360.0f || h < 0.0f) {
        h = std::fmod(h, 360.0f);
        if (h < 0.0f)
            h += 360.0f;
    }
    float value = p;
    if (h < 60.0f)
        value = p + (q - p) * h / 60.0f;
    else if (h < 180.0f)
        value = q;
    else if (h < 240.0f)
        value = p + (q - p) * (240.0f - h) / 60.0f;
    return std::clamp(static_cast<int>(value * 255.0f), 0, 255);
}

}  // namespace

HslColor rgbToHsl(COLORREF color)
{
    const float r = static_cast<float>(GetRValue(color));
    const float g = static_cast<float>(GetGValue(color));
    const float b = static_cast<float>(GetBValue(color));
    const float max = std::max({r, g, b});
    const float min = std::min({r, g, b});
    HslColor hsl;
    hsl.l = (max + min) / 510.0f;
    if (max == min)
        return hsl;
    const float d = max - min;
    hsl.s = hsl.l <= 0.5f ? d / (max + min) : d / (510.0f - max - min);
    // The cases are tried in the order red, green, blue and the last one that holds decides.
    if (r == max)
        hsl.h = (6.0f + (max - b) / d - (max - g) / d) * 60.0f;
    if (g == max)
        hsl.h = (2.0f + (max - r) / d - (max - b) / d) * 60.0f;
    if (b == max)
        hsl.h = (4.0f + (max - g) / d - (max - r) / d) * 60.0f;
    if (hsl.h > 360.0f)
        hsl.h -= 360.0f;
    return hsl;
}

COLORREF hslToRgb(const HslColor& in)
{
    const float l = std::min(in.l, 1.0f);
    const float s = std::min(in.s, 1.0f);
    if (s == 0.0f) {
        const int grey = std::clamp(static_cast<int>(l * 255.0f), 0, 255);
        return RGB(grey, grey, grey);
    }
    const float q = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    const float p = 2.0f * l - q;
    return RGB(channel(p, q, in.h + 120.0f), channel(p, q, in.h), channel(p, q, in.h - 120.0f));
}

bool adjustColor(COLORREF color, COLORREF* out, int hueShift, int saturationPercent, int luminosityPercent)
{
    if (luminosityPercent < 0)
        return false;
    if (hueShift == 0 && saturationPercent == 100 && luminosityPercent == 100)
        return true;
    HslColor hsl = rgbToHsl(color);
    hsl.h += static_cast<float>(hueShift);
    hsl.s = static_cast<float>(saturationPercent) * hsl.s / 100.0f;
    hsl.l = static_cast<float>(luminosityPercent) * hsl.l / 100.0f;
    *out = hslToRgb(hsl);
    return true;
}

}  // namespace KXLib
