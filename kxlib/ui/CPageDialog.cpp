#include "kxlib/ui/CPageDialog.h"

#include "platform/gui/DeviceContext.h"

namespace app {

CPageDialog::CPageDialog() { setDisposed(true); }

CPageDialog::~CPageDialog()
{
    slide_.reset();
    // The controls hold references to this handler; empty the map before the window goes.
    removeAllControls();
}

void CPageDialog::createPage(HWND parent)
{
    if (window_)
        return;
    parent_ = parent;
    window_ = std::make_unique<platform::Window>(platform::Window::Kind::Child, this, parent);
    window_->hide();
    slide_ = std::make_unique<platform::PageSlide>(*window_);
    createTooltip();
    onInitPage();
}

void CPageDialog::place(const RECT& rect)
{
    if (window_)
        window_->setGeometry(rect);
}

void CPageDialog::show()
{
    if (!window_ || window_->isVisible())
        return;
    window_->show();
}

void CPageDialog::hide()
{
    if (window_)
        window_->hide();
}

bool CPageDialog::isVisible() const { return window_ && window_->isVisible(); }

void CPageDialog::invalidateParent()
{
    if (parent_)
        parent_->invalidate();
    if (window_)
        window_->invalidate();
}

void CPageDialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI>, UINT, WPARAM, LPARAM) {}

void CPageDialog::paintPage(platform::DeviceContext&, const RECT&) {}

void CPageDialog::onPaint(platform::DeviceContext& dc)
{
    const RECT client = window_->clientRect();
    dc.fillSolid(client, 0xFFFFFF);
    paintPage(dc, client);
    drawControls(&dc);
}

bool CPageDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isMouseMessage(message)) {
        routeMessage(MSG{window_.get(), message, wParam, lParam});
        return true;
    }
    switch (message) {
    case WM_KEYDOWN:
        // Enter and Escape never close a page.
        return wParam == VK_RETURN || wParam == VK_ESCAPE;
    case WM_CLOSE:
        return true;
    case WM_SHOWWINDOW:
        if (wParam && slide_)
            slide_->start();
        return false;
    default:
        return false;
    }
}

}  // namespace app
