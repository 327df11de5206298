#pragma once
// KXPalette: the fixed colours of the skin that do not follow the user's skin colour, in one place
// so that every window and control draws the same text, frames and lines. Values are COLORREF
// (0x00BBGGRR).
#include "platform/core/WinTypes.h"

namespace KXLib::palette {

// Button captions, list headers and most text on the skin.
inline constexpr COLORREF kText = 0x301C00;          // red 0, green 28, blue 48
// Captions of disabled buttons.
inline constexpr COLORREF kDisabledText = 0x808080;
// Links and headings.
inline constexpr COLORREF kLink = 0x653200;
// The thin frame of boxes, pop-ups and rounded rectangles.
inline constexpr COLORREF kFrame = 0x878787;
// List borders and the dividing lines of the pages and the toolbar.
inline constexpr COLORREF kDivider = 0xE7D3A8;     // red 168, green 211, blue 231
// The light end of the toolbar's gradient and of a selected list row.
inline constexpr COLORREF kHighlightEnd = 0xFBF2E1;  // red 225, green 242, blue 251
// The row under the mouse in a list.
inline constexpr COLORREF kHotRow = 0xFFFAEF;
// The skin colours until the user picks others (the first preset).
inline constexpr COLORREF kDefaultSkinLight = 0xF9C232;
inline constexpr COLORREF kDefaultSkinDark = 0xF7B300;

}  // namespace KXLib::palette
