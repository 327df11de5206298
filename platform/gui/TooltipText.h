#pragma once
// The text a window's tooltip shows, laid out as the tooltip control of the desktop program did
// with its greatest tip width: lines broken between words where a line would grow wider than the
// width, and inside a word (a long path has no spaces) only where the word alone is wider. Window
// thread only (it measures with the application's tooltip font).
#include "platform/gui/Font.h"

#include <string>

namespace platform {

// The greatest width of a tooltip, frame and margins included, in pixels.
constexpr int kTooltipMaxWidth = 500;

// `text` (UTF-8) broken into lines no wider than `maxWidth` pixels of text in the tooltip font,
// joined with '\n'. Line breaks already in the text stay. Nothing is left out: joining the lines
// without the added breaks gives the text back.
std::string wrapTooltipText(const std::string& text, int maxWidth);

// The same breaking for text drawn in `font` (the message box's long texts).
std::string wrapText(const std::string& text, const Font& font, int maxWidth);

// The room the tooltip leaves for its text inside kTooltipMaxWidth, after its frame and margins.
int tooltipTextWidth();

}  // namespace platform
