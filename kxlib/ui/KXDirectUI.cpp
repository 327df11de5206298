#include "kxlib/ui/KXDirectUI.h"

#include "kxlib/ui/KXDirectUIHandler.h"
#include "platform/gui/Window.h"

#include <utility>

namespace KXLib {

KXDirectUI::KXDirectUI() = default;
KXDirectUI::~KXDirectUI() = default;

void KXDirectUI::setHandler(KXSmartPtr<KXDirectUIHandler> handler) { handler_ = std::move(handler); }
KXSmartPtr<KXDirectUIHandler> KXDirectUI::getHandler() { return handler_; }
int KXDirectUI::getState() const { return state_; }
void KXDirectUI::setRect(const RECT& rect) { rect_ = rect; }
const RECT* KXDirectUI::getRect() const { return &rect_; }

void KXDirectUI::setHighlighted(bool highlighted)
{
    const int before = state_;
    setStateBit(kHighlighted, highlighted);
    if (state_ != before)
        repaint();
}

void KXDirectUI::setVisible(bool visible)
{
    const int before = state_;
    if (visible) {
        setStateBit(kHidden, false);
    } else {
        cancelPress();
        state_ = kHidden;
    }
    if (state_ != before)
        repaint();
}

bool KXDirectUI::isVisible() const { return !hasState(kHidden); }
void KXDirectUI::setEnabled(bool enabled)
{
    const int before = state_;
    if (!enabled)
        cancelPress();
    setStateBit(kDisabled, !enabled);
    if (state_ != before)
        repaint();
}
bool KXDirectUI::isEnabled() const { return !hasState(kDisabled); }
bool KXDirectUI::hitTest(POINT point) const { return rect_.contains(point); }
void KXDirectUI::setTooltip(const std::string& text) { tooltip_ = text; }

bool KXDirectUI::getTooltip(std::string& out) const
{
    if (tooltip_.empty())
        return false;
    out = tooltip_;
    return true;
}

void KXDirectUI::setName(const std::string& name) { name_ = name; }
std::string KXDirectUI::getName() const { return name_; }

void KXDirectUI::invalidate()
{
    if (HWND window = handler_->getWindow())
        window->invalidate(&rect_);
}

void KXDirectUI::setStateBit(int bit, bool on)
{
    if (on)
        state_ |= bit;
    else
        state_ &= ~bit;
}

void KXDirectUI::repaint()
{
    if (handler_)
        invalidate();
}

HWND KXDirectUI::ownerWindow()
{
    return handler_ ? handler_->getWindow() : nullptr;
}

void KXDirectUI::pressAndCapture()
{
    setStateBit(kPressed, true);
    if (HWND window = ownerWindow())
        window->setCapture();
}

void KXDirectUI::releasePress()
{
    setStateBit(kPressed, false);
    platform::Window::releaseCapture();
}

void KXDirectUI::cancelPress()
{
    if (hasState(kPressed))
        releasePress();
}

bool KXDirectUI::trackHover(bool inside)
{
    if (hasState(kHover) == inside)
        return false;
    setStateBit(kHover, inside);
    invalidate();
    return true;
}

bool KXDirectUI::hoverMove(bool inside, WPARAM wParam, LPARAM lParam)
{
    if (!trackHover(inside))
        return inside;
    return inside ? notify(WM_MOUSEMOVE, wParam, lParam) : false;
}

void KXDirectUI::beginPress()
{
    pressAndCapture();
    invalidate();
}

bool KXDirectUI::pressIfInside(bool inside, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!inside)
        return false;
    beginPress();
    return notify(message, wParam, lParam);
}

bool KXDirectUI::endPress()
{
    if (!hasState(kPressed))
        return false;
    releasePress();
    invalidate();
    return true;
}

bool KXDirectUI::notify(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Both references live until the callback has returned, so neither the control nor its
    // handler goes away under the callback's feet, whatever the callback removes.
    // A control is always held by a smart pointer (or disposed) when it sees messages.
    KXSmartPtr<KXDirectUI> self(this);
    KXSmartPtr<KXDirectUIHandler> handler = handler_;
    if (handler)
        handler->onControlEvent(self, message, wParam, lParam);
    return true;
}

}  // namespace KXLib
