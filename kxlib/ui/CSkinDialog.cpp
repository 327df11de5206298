#include "kxlib/ui/CSkinDialog.h"

#include "platform/gui/Screen.h"

#include <algorithm>

namespace app {

CSkinDialog::CSkinDialog(HWND owner) : window_(platform::Window::Kind::TopLevel, this, owner), owner_(owner)
{
    setDisposed(true);
}

CSkinDialog::~CSkinDialog() { removeAllControls(); }

int CSkinDialog::doModal()
{
    initDialog();
    centre();
    // A button handler may have ended the box before it ever ran (a replayed click): then it is
    // not shown at all.
    if (ended_)
        return result_;
    const int modalResult = window_.runModal();
    return ended_ ? result_ : modalResult;
}

void CSkinDialog::initDialog()
{
    if (initialised_)
        return;
    initialised_ = true;
    createTooltip();
    onInitDialog();
}

void CSkinDialog::endDialog(int result)
{
    ended_ = true;
    result_ = result;
    window_.endDialog(result);
}

KXLib::KXSmartPtr<KXLib::KXButtonEx> CSkinDialog::addTextButton(const std::string& name, const std::string& caption,
                                                                POINT at, const std::string& strip)
{
    const RECT rect{at.x, at.y, at.x + kTextButtonSize.cx, at.y + kTextButtonSize.cy};
    auto button = placeControl<KXLib::KXButtonEx>("KXButtonEx", name, rect);
    if (!button)
        return button;
    button->loadImage(strip, kTextButtonSize);
    button->setText(caption, POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return button;
}

void CSkinDialog::centre()
{
    const RECT area = owner_ ? owner_->geometry() : platform::Screen::workArea();
    const RECT screen = platform::Screen::workArea();
    const RECT client = window_.clientRect();
    // Centred on the owner, but never past the screen's edges (an owner not yet placed, or one
    // partly off the screen, would otherwise push the box and its buttons out of reach).
    const int left = std::clamp(area.left + (area.width() - client.width()) / 2, screen.left,
                                std::max(screen.left, screen.right - client.width()));
    const int top = std::clamp(area.top + (area.height() - client.height()) / 2, screen.top,
                               std::max(screen.top, screen.bottom - client.height()));
    window_.setGeometry(RECT{left, top, left + client.width(), top + client.height()});
}

void CSkinDialog::onPaint(platform::DeviceContext& dc)
{
    paintBackground(dc, window_.clientRect());
    drawControls(&dc);
}

bool CSkinDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isMouseMessage(message)) {
        // A press that no control takes lands on the box's own surface, which moves the box as a
        // caption would.
        if (!routeMessage(MSG{&window_, message, wParam, lParam}) && message == WM_LBUTTONDOWN)
            window_.startMove();
        return true;
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            onOK();
            return true;
        }
        if (wParam == VK_ESCAPE) {
            onCancel();
            return true;
        }
        return false;
    case WM_CLOSE:
        onCancel();
        return true;
    default:
        return false;
    }
}

}  // namespace app
