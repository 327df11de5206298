#include "kxlib/ui/KXProgressbar.h"

#include "kxlib/ui/KXDraw.h"
#include "platform/gui/DeviceContext.h"

#include <algorithm>
#include <string>

namespace KXLib {

void KXProgressbar::setPos(int value)
{
    if (value > maxPos.load() || value == pos.load())
        return;
    pos.store(value);
    // Safe from a job thread: the window queues the repaint to its own thread.
    invalidate();
}

void KXProgressbar::setRange(int maximum)
{
    maxPos.store(maximum);
    pos.store(0);
    repaint();
}

std::string KXProgressbar::getClassName() const { return "KXProgressbar"; }

void KXProgressbar::draw(HDC dc)
{
    if (!isVisible())
        return;
    const RECT r = rect_;
    const int value = pos.load();
    const int maximum = maxPos.load();
    drawRect(dc, borderColor, 0, true, r.left, r.top, r.right, r.bottom);
    drawRect(dc, innerBorderColor, 0, true, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    if (backColorFrom == backColorTo)
        dc->fillSolid(RECT{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, backColorFrom);
    else
        gradientFill(dc, backColorFrom, backColorTo, false, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);

    // A bar without a maximum has nothing to fill (and must not divide by it).
    int w = 0;
    if (maximum > 0)
        w = std::clamp(static_cast<int>(static_cast<float>(r.width()) * static_cast<float>(value) /
                                        static_cast<float>(maximum)),
                       0, r.width());
    if (w > 0) {
        const bool full = r.left + w >= r.right;
        if (fillBorderColor != borderColor) {
            drawLine(dc, fillBorderColor, r.left, r.top, r.left + w, r.top);
            drawLine(dc, fillBorderColor, r.left, r.top, r.left, r.bottom);
            drawLine(dc, fillBorderColor, r.left, r.bottom - 1, r.left + w, r.bottom - 1);
            if (full)
                drawLine(dc, fillBorderColor, r.right - 1, r.top, r.right - 1, r.bottom);
        }
        if (fillColorFrom == fillColorTo)
            dc->fillSolid(RECT{r.left + 1, r.top + 1, r.left + w, r.bottom - 1}, fillColorFrom);
        else
            gradientFill(dc, fillColorFrom, fillColorTo, false, r.left + 1, r.top + 1, r.left + w, r.bottom - 1);
        if (fillInnerBorderColor != innerBorderColor) {
            const int end = std::min(r.left + w, r.right - 1);
            drawLine(dc, fillInnerBorderColor, r.left + 1, r.top + 1, end, r.top + 1);
            drawLine(dc, fillInnerBorderColor, r.left + 1, r.top + 1, r.left + 1, r.bottom - 1);
            drawLine(dc, fillInnerBorderColor, r.left + 1, r.bottom - 2, end, r.bottom - 2);
            if (full)
                drawLine(dc, fillInnerBorderColor, r.right - 2, r.top + 1, r.right - 2, r.bottom - 1);
        }
    }
    if (showText && maximum != 0) {
        const std::string text = std::to_string(mulDiv(value, 100, maximum)) + "%";
        dc->drawText(text, RECT{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2},
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE, textColor, sharedFont());
    }
}

bool KXProgressbar::handleMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (message < WM_MOUSEMOVE || message > WM_LBUTTONDBLCLK || ignoresInput())
        return false;
    // Claimed only so that controls behind the bar do not react; nothing to report.
    return hitTest(pointFromLParam(lParam));
}

}  // namespace KXLib
