#include "kxlib/ui/KXScrollbar.h"

#include "kxlib/ui/KXDraw.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Timer.h"

#include <algorithm>
#include <cstdlib>

namespace KXLib {

namespace {

struct Strip {
    platform::Image image;
    SIZE part;
};

Strip& strip()
{
    static Strip shared;
    return shared;
}

}  // namespace

KXScrollbar::KXScrollbar() = default;
KXScrollbar::~KXScrollbar() = default;

bool KXScrollbar::loadScrollbarImage(const std::string& path, SIZE partSize)
{
    if (!loadImage(strip().image, path))
        return false;
    strip().part = partSize;
    return true;
}

SIZE KXScrollbar::partSize() { return strip().part; }

int KXScrollbar::length() const { return vertical ? rect_.height() : rect_.width(); }
int KXScrollbar::arrowSize() const { return vertical ? strip().part.cy : strip().part.cx; }
int KXScrollbar::startOf() const { return vertical ? rect_.top : rect_.left; }

void KXScrollbar::setRect(const RECT& rect)
{
    rect_ = rect;
    page = (length() - 2 * arrowSize()) / std::max(itemSize, 1);
}

void KXScrollbar::setPos(int value)
{
    if (range <= 0)
        return;
    // The upper bound first: when the page is longer than the range the first item stays at 0
    // instead of going negative.
    value = std::max(0, std::min(value, range - page));
    if (value == pos)
        return;
    pos = value;
    if (handler_)
        invalidate();
    if (moveListener_)
        moveListener_();
}

void KXScrollbar::setMoveListener(std::function<void()> listener) { moveListener_ = std::move(listener); }

void KXScrollbar::cancelPress()
{
    pressedPart = kNone;
    dragging = false;
    stopRepeat();
    KXDirectUI::cancelPress();
}

int KXScrollbar::thumbLength() const
{
    // A page longer than the range would ask for a thumb longer than the track; it stops at the
    // track's length instead of running over the arrows.
    const int track = length() - 2 * arrowSize();
    return std::min(std::max(mulDiv(page, track, range), arrowSize()), std::max(track, 0));
}

int KXScrollbar::thumbOffset() const
{
    const int free = length() - 2 * arrowSize() - thumbLength();
    return arrowSize() + std::min(std::max(0, mulDiv(pos, free, range - std::max(page, 1))), free);
}

int KXScrollbar::hitTestPart(POINT p) const
{
    const RECT& r = rect_;
    const SIZE cell = strip().part;
    const int off = thumbOffset();
    const int len = thumbLength();
    RECT parts[5];
    if (vertical) {
        parts[0] = {r.left + 1, r.top, r.left + 1 + cell.cx, r.top + cell.cy};
        parts[1] = {r.left + 1, r.bottom - cell.cy, r.left + 1 + cell.cx, r.bottom};
        parts[2] = {r.left + 1, r.top + off, r.right - 1, r.top + off + len};
        parts[3] = {r.left + 1, r.top + cell.cy, r.right - 1, r.top + off};
        parts[4] = {r.left + 1, r.top + off + len, r.right - 1, r.bottom - cell.cy};
    } else {
        parts[0] = {r.left, r.top + 1, r.left + cell.cx, r.top + 1 + cell.cy};
        parts[1] = {r.right - cell.cx, r.top + 1, r.right, r.top + 1 + cell.cy};
        parts[2] = {r.left + off, r.top + 1, r.left + off + len, r.bottom - 1};
        parts[3] = {r.left + cell.cx, r.top + 1, r.left + off, r.bottom - 1};
        parts[4] = {r.left + off + len, r.top + 1, r.right - cell.cx, r.bottom - 1};
    }
    for (int i = 0; i < 5; ++i)
        if (parts[i].contains(p))
            return i + 1;
    return kNone;
}

std::string KXScrollbar::getClassName() const { return "KXScrollbar"; }

void KXScrollbar::draw(HDC dc)
{
    const Strip& s = strip();
    const int cx = s.part.cx;
    const int cy = s.part.cy;
    if (!isVisible() || s.image.isNull() || cx <= 0 || cy <= 0)
        return;
    const RECT& r = rect_;
    if (vertical ? (r.width() < cx + 2 || r.height() < 2 * cy) : (r.width() < 2 * cx || r.height() < cy + 2))
        return;

    const auto cellAt = [&](int column, int row) {
        return RECT{column * cx, row * cy, (column + 1) * cx, (row + 1) * cy};
    };
    const int firstColumn = vertical ? 0 : 3;
    if (vertical) {
        dc->drawImage(s.image, RECT{r.left, r.top, r.left + cx + 2, r.bottom}, RECT{0, 3 * cy, cx + 2, 4 * cy});
        dc->drawImage(s.image, RECT{r.left + 1, r.top, r.left + 1 + cx, r.top + cy},
                      cellAt(pressedPart == kFirstArrow ? 2 : 0, 0));
        dc->drawImage(s.image, RECT{r.left + 1, r.bottom - cy, r.left + 1 + cx, r.bottom},
                      cellAt(pressedPart == kSecondArrow ? 2 : 0, 1));
    } else {
        dc->drawImage(s.image, RECT{r.left, r.top, r.right, r.top + cy + 2},
                      RECT{cx + 2, 3 * cy, 2 * cx + 2, 4 * cy + 2});
        dc->drawImage(s.image, RECT{r.left, r.top + 1, r.left + cx, r.top + 1 + cy},
                      cellAt(pressedPart == kFirstArrow ? 5 : 3, 0));
        dc->drawImage(s.image, RECT{r.right - cx, r.top + 1, r.right, r.top + 1 + cy},
                      cellAt(pressedPart == kSecondArrow ? 5 : 3, 1));
    }
    if (range <= 0)
        return;

    // The thumb: two-pixel caps at both ends, the middle of the cell tiled between them.
    const RECT cell = cellAt(firstColumn + (pressedPart == kThumb ? 2 : 0), 2);
    const int start = startOf() + thumbOffset();
    const int end = start + thumbLength();
    const int cellLength = vertical ? cy : cx;
    const auto piece = [&](int from, int to, int srcFrom) {
        if (to <= from)
            return;
        if (vertical)
            dc->drawImage(s.image, RECT{r.left + 1, from, r.left + 1 + cx, to},
                          RECT{cell.left, cell.top + srcFrom, cell.right, cell.top + srcFrom + (to - from)});
        else
            dc->drawImage(s.image, RECT{from, r.top + 1, to, r.top + 1 + cy},
                          RECT{cell.left + srcFrom, cell.top, cell.left + srcFrom + (to - from), cell.bottom});
    };
    piece(start, std::min(start + 2, end), 0);
    const int middle = std::max(cellLength - 4, 1);
    for (int at = start + 2; at < end - 2; at += middle)
        piece(at, std::min(at + middle, end - 2), 2);
    piece(std::max(end - 2, start), end, cellLength - 2);
}

platform::Timer& KXScrollbar::repeatTimer()
{
    if (!repeat_)
        repeat_ = std::make_unique<platform::Timer>([this] { onRepeat(); });
    return *repeat_;
}

void KXScrollbar::onRepeat()
{
    if (pressedPart == kFirstArrow)
        setPos(pos - 1);
    else if (pressedPart == kSecondArrow)
        setPos(pos + 1);
    else {
        stopRepeat();
        return;
    }
    if (repeatTimer().interval() != kRepeatIntervalMs || !repeatTimer().isActive())
        repeatTimer().start(kRepeatIntervalMs, true);
}

void KXScrollbar::stopRepeat()
{
    if (repeat_)
        repeat_->stop();
}

bool KXScrollbar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (ignoresInput())
        return false;
    const POINT point = pointFromLParam(lParam);
    const int coordinate = vertical ? point.y : point.x;
    const bool inside = hitTest(point);
    switch (message) {
    case WM_MOUSEMOVE:
        if (hasState(kPressed) && dragging) {
            const int newPos = mulDiv(coordinate - dragOffset - startOf() - arrowSize(), range - page,
                                      length() - 2 * arrowSize() - thumbLength());
            if (newPos == pos) {
                setStateBit(kHover, true);
                return true;
            }
            setPos(newPos);
            return true;
        }
        if (hasState(kPressed)) {
            invalidate();
            return false;
        }
        // A bar claims every move over it but reports none; leaving forgets the hot part.
        if (trackHover(inside) && !inside)
            pressedPart = kNone;
        return inside;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!inside)
            return false;
        pressedPart = hitTestPart(point);
        setStateBit(kPressed, true);
        switch (pressedPart) {
        case kFirstArrow:
        case kSecondArrow:
            pressTime = KXTime();
            setPos(pos + (pressedPart == kFirstArrow ? -1 : 1));
            // One step now, the next after the repeat delay, then steadily while held.
            repeatTimer().start(kRepeatDelayMs, false);
            break;
        case kThumb:
            dragOffset = coordinate - startOf() - thumbOffset();
            dragging = true;
            break;
        case kTrackBefore: setPos(pos - page); break;
        case kTrackAfter: setPos(pos + page); break;
        default: break;
        }
        beginPress();
        return true;
    case WM_LBUTTONUP:
        if (!endPress())
            return false;
        pressedPart = kNone;
        dragging = false;
        stopRepeat();
        return true;
    case WM_MOUSEWHEEL: {
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        const int notches = std::abs(delta) / WHEEL_DELTA;
        setPos(delta > 0 ? pos - notches : pos + notches);
        return false;
    }
    default:
        return false;
    }
}

}  // namespace KXLib
