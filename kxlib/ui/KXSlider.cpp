#include "kxlib/ui/KXSlider.h"

#include "kxlib/ui/KXDraw.h"
#include "platform/gui/DeviceContext.h"

#include <algorithm>

namespace KXLib {

bool KXSlider::loadTrackImages(const std::string& trackPath, const std::string& fillPath)
{
    if (!loadImage(trackImage, trackPath, false))
        return false;
    if (!fillPath.empty())
        loadImage(fillImage, fillPath, false);
    return true;
}

bool KXSlider::loadThumbImage(const std::string& path) { return loadImage(thumbImage, path, true); }

void KXSlider::setPos(int value)
{
    if (value == pos_)
        return;
    const int clamped = std::max(0, std::min(value, maxPos_));
    if (clamped == pos_)
        return;
    pos_ = clamped;
    repaint();
}

void KXSlider::setRange(int maxPos)
{
    maxPos_ = maxPos;
    pos_ = std::max(0, std::min(pos_, maxPos_));
    repaint();
}

int KXSlider::usableWidth() const { return trackImage.width() - marginEnd - marginStart; }

int KXSlider::positionOffset() const
{
    if (maxPos_ <= 0)
        return 0;
    const float fraction = static_cast<float>(pos_) / static_cast<float>(maxPos_);
    return static_cast<int>(static_cast<float>(usableWidth()) * fraction);
}

int KXSlider::positionAt(int x) const
{
    const int usable = usableWidth();
    if (usable <= 0)
        return 0;
    return static_cast<int>(static_cast<float>(x - rect_.left - marginStart) / static_cast<float>(usable) *
                            static_cast<float>(maxPos_));
}

std::string KXSlider::getClassName() const { return "KXSlider"; }

void KXSlider::draw(HDC dc)
{
    if (!isVisible() || vertical || trackImage.isNull())
        return;
    const SIZE track = trackImage.size();
    const SIZE thumb = thumbImage.size();
    if (track.cy > rect_.height() || track.cx > rect_.width())
        return;
    if (!thumbImage.isNull() && (thumb.cy > rect_.height() || thumb.cx > rect_.width()))
        return;

    const int y = rect_.top + (thumb.cy > track.cy ? (thumb.cy - track.cy) / 2 : 0);
    dc->drawImage(trackImage, rect_.left, y);
    const int offset = positionOffset();
    if (!fillImage.isNull() && offset > 0) {
        const int w = marginStart + offset;
        dc->drawImage(fillImage, RECT{rect_.left, y, rect_.left + w, y + fillImage.height()},
                      RECT{0, 0, w, fillImage.height()});
    }
    if (thumbImage.isNull())
        return;
    const int thumbY = rect_.top + (track.cy > thumb.cy ? (track.cy - thumb.cy) / 2 : 0);
    int thumbX = rect_.left + marginStart + offset - thumb.cx / 2;
    if (offset < thumb.cx / 2)
        thumbX = rect_.left + marginStart;
    else if (offset > usableWidth() - thumb.cx)
        thumbX = rect_.left + track.cx - thumb.cx;
    dc->drawImage(thumbImage, thumbX, thumbY);
}

bool KXSlider::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message < WM_MOUSEMOVE || message > WM_LBUTTONDBLCLK || ignoresInput())
        return false;
    const POINT point = pointFromLParam(lParam);
    const bool inside = hitTest(point);
    switch (message) {
    case WM_MOUSEMOVE:
        if (hasState(kPressed)) {
            // The owner hears of every move of a drag, even when the value stays.
            setPos(positionAt(point.x));
            return notify(message, wParam, lParam);
        }
        return hoverMove(inside, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!inside)
            return false;
        beginPress();
        setPos(positionAt(point.x));
        return notify(message, wParam, lParam);
    default:  // WM_LBUTTONUP
        if (!endPress())
            return false;
        // Released away from the slider: the drag ends without a commit.
        return inside ? notify(message, wParam, lParam) : true;
    }
}

}  // namespace KXLib
