#include "kxlib/ui/KXButtonEx.h"

#include "kxlib/ui/KXDraw.h"
#include "platform/gui/DeviceContext.h"

#include <algorithm>

namespace KXLib {

KXButtonEx::KXButtonEx() = default;
KXButtonEx::~KXButtonEx() = default;

bool KXButtonEx::loadImage(const std::string& path, SIZE frameSize)
{
    if (!KXLib::loadImage(image_, path))
        return false;
    frameSize_ = frameSize;
    return true;
}

void KXButtonEx::setText(const std::string& text, POINT offset, UINT format)
{
    if (text == caption_ && offset == textOffset_ && format == textFormat_)
        return;
    caption_ = text;
    textOffset_ = offset;
    textFormat_ = format;
    repaint();
}

void KXButtonEx::setCaption(const std::string& text) { setText(text, textOffset_, textFormat_); }

void KXButtonEx::setTextColors(COLORREF enabled, COLORREF disabled)
{
    if (enabled == textColor_ && disabled == disabledTextColor_)
        return;
    textColor_ = enabled;
    disabledTextColor_ = disabled;
    repaint();
}

void KXButtonEx::setChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    repaint();
}

std::string KXButtonEx::getClassName() const { return "KXButtonEx"; }

void KXButtonEx::draw(HDC dc)
{
    if (!isVisible() || image_.isNull())
        return;
    drawFrame(dc, stripFrame(state_, checked_), true);
    drawCaption(dc);
}

void KXButtonEx::drawFrame(HDC dc, int frame, bool clipToRect)
{
    const int w = clipToRect ? std::min(frameSize_.cx, rect_.width()) : frameSize_.cx;
    const int h = clipToRect ? std::min(frameSize_.cy, rect_.height()) : frameSize_.cy;
    const RECT dst{rect_.left, rect_.top, rect_.left + w, rect_.top + h};
    const RECT src{frame * frameSize_.cx, 0, (frame + 1) * frameSize_.cx, frameSize_.cy};
    dc->drawImage(image_, dst, src);
}

void KXButtonEx::drawCaption(HDC dc)
{
    if (caption_.empty())
        return;
    const RECT area{rect_.left + textOffset_.x, rect_.top + textOffset_.y, rect_.right, rect_.bottom};
    dc->drawText(caption_, area, textFormat_ ? textFormat_ : DT_SINGLELINE,
                 isEnabled() ? textColor_ : disabledTextColor_, sharedFont());
}

bool KXButtonEx::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return handleButtonMessage(message, wParam, lParam);
}

bool KXButtonEx::handleButtonMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (ignoresInput())
        return false;
    const bool inside = hitTest(pointFromLParam(lParam));
    switch (message) {
    case WM_MOUSEMOVE: return hoverMove(inside, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return pressIfInside(inside, message, wParam, lParam);
    case WM_LBUTTONUP:
        // A click is a release inside the button the press went down on.
        if (!endPress() || !inside)
            return false;
        return notify(message, wParam, lParam);
    case WM_MOUSELEAVE:
        trackHover(false);
        return false;
    default:
        return false;
    }
}

}  // namespace KXLib
