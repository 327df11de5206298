#include "kxlib/ui/KXHyperLink.h"

#include "kxlib/ui/KXDraw.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/DeviceContext.h"

namespace KXLib {

std::string KXHyperLink::getClassName() const { return "KXHyperLink"; }

void KXHyperLink::draw(HDC dc)
{
    if (!isVisible() || text.empty())
        return;
    const bool hot = hasState(kHover) || hasState(kPressed);
    platform::Font font = sharedFont();
    font.underline = !hot;
    dc->drawText(text, rect_, DT_SINGLELINE | DT_END_ELLIPSIS, hot ? hotColor : normalColor, font);
}

bool KXHyperLink::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message < WM_MOUSEMOVE || message > WM_LBUTTONDBLCLK || ignoresInput())
        return false;
    const bool inside = hitTest(pointFromLParam(lParam));
    switch (message) {
    case WM_MOUSEMOVE:
        // Unlike a button, the owner is told of the leave as well, so it can drop the hand cursor
        // or the tip.
        if (!trackHover(inside))
            return inside;
        return notify(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return pressIfInside(inside, message, wParam, lParam);
    default:  // WM_LBUTTONUP
        if (!endPress() || !inside)
            return false;
        if (localFile)
            platform::Desktop::openFile(url);
        else
            platform::Desktop::openUrl(url);
        return notify(message, wParam, lParam);
    }
}

}  // namespace KXLib
