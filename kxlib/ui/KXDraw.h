#pragma once
// The shared drawing functions of the controls and dialogs, the skin-image loading rule and the
// state-strip rule. Window thread only.
#include "platform/gui/Font.h"
#include "platform/gui/Image.h"
#include "platform/core/WinTypes.h"

#include <string>

namespace KXLib {

// Solid one-pixel line from (x1, y1) to (x2, y2), the end point excluded.
void drawLine(HDC dc, COLORREF color, int x1, int y1, int x2, int y2);
// One-pixel frame in `penColor`, filled with `fillColor` unless `hollow`; corners normalised.
void drawRect(HDC dc, COLORREF penColor, COLORREF fillColor, bool hollow, int x1, int y1, int x2, int y2);
// Frame in palette::kFrame with a 12 x 12 corner ellipse, filled with `fillColor` unless `hollow`.
void drawRoundRect(HDC dc, COLORREF fillColor, bool hollow, int left, int top, int right, int bottom);
// `firstColor` at the top (vertical) or left edge blending to `secondColor` at the other end.
void gradientFill(HDC dc, COLORREF firstColor, COLORREF secondColor, bool vertical, int left, int top, int right,
                  int bottom);

// Loads a skin image; a relative path is taken from the program's folder, a built-in one
// (platform/EmbeddedResource.h) from the program's own file. Pictures with alpha are
// premultiplied when `premultiply`. On failure returns false and leaves `image` as it was.
bool loadImage(platform::Image& image, const std::string& path, bool premultiply = true);

// The frame of a four-frame state strip: 3 disabled, else 2 pressed or checked, else 1 hover or
// highlighted, else 0.
int stripFrame(int state, bool checked);

// The font every control draws its text with: "Tahoma", 9 points.
const platform::Font& sharedFont();

}  // namespace KXLib
