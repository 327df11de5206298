#include "platform/gui/Window.h"

#include "platform/gui/DeviceContext.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/TooltipText.h"
#include "platform/gui/WheelSteps.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainterPath>
#include <QPointer>
#include <QThread>
#include <QTimerEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <map>

namespace platform {

namespace {

// A message handed over from another thread (or from the window thread itself) for later delivery.
class PostedMessage : public QEvent {
public:
    static QEvent::Type type()
    {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }
    PostedMessage(UINT m, WPARAM w, LPARAM l) : QEvent(type()), message(m), wParam(w), lParam(l) {}
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

HWND g_capture = nullptr;

WPARAM virtualKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Delete: return VK_DELETE;
    default: return static_cast<WPARAM>(key);
    }
}

}  // namespace

class WindowWidget : public QWidget {
public:
    WindowWidget(Window* owner, Window::Kind kind, WindowListener* listener, QWidget* parent)
        : QWidget(parent, flagsFor(kind)), owner_(owner), kind_(kind), listener_(listener)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::StrongFocus);
        // A page stays hidden until it is shown itself, also when its parent is shown after it was
        // made (the toolkit would otherwise show it with the parent, without a show report).
        if (kind == Window::Kind::Child)
            QWidget::setVisible(false);
    }

    static Qt::WindowFlags flagsFor(Window::Kind kind)
    {
        switch (kind) {
        case Window::Kind::TopLevel: return Qt::Window | Qt::FramelessWindowHint;
        case Window::Kind::Popup: return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
        case Window::Kind::Child: break;
        }
        return Qt::Widget;
    }

    bool deliver(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return listener_ ? listener_->onMessage(message, wParam, lParam) : false;
    }

    void updateMask()
    {
        if (maskEllipse_.cx <= 0)
            return;
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, width() + 1, height() + 1), maskEllipse_.cx / 2.0, maskEllipse_.cy / 2.0);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }

    Window* owner_;
    Window::Kind kind_;
    WindowListener* listener_;
    bool trackingLeave_ = false;
    bool tooltipSuppressed_ = false;
    SIZE maskEllipse_;
    std::map<int, int> timers_;  // our id -> Qt's id
    WheelSteps wheelSteps_;
    QEventLoop* modalLoop_ = nullptr;
    int modalResult_ = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        // Only the part asked for is painted: a busy animation repaints a 20-pixel square many
        // times a second, not the whole window. The listener paints in client coordinates; the
        // buffer clips to the part. The buffer has as many pixels as the screen shows for that
        // part: on a screen with a device-pixel ratio of 2 it is painted at twice the size instead
        // of being enlarged.
        const QRect part = e->rect().intersected(rect());
        DeviceContext dc(toRect(part), 0xFFFFFF, devicePixelRatioF());
        if (listener_)
            listener_->onPaint(dc);
        dc.impl().painter.end();
        QPainter screen(this);
        screen.drawImage(part.topLeft(), dc.impl().image);
    }

    void mouseMoveEvent(QMouseEvent* e) override { deliverMouse(WM_MOUSEMOVE, e); }
    void mousePressEvent(QMouseEvent* e) override { deliverButton(e, WM_LBUTTONDOWN, WM_RBUTTONDOWN); }
    // A right double click counts as a second press: nothing here tells right clicks apart.
    void mouseDoubleClickEvent(QMouseEvent* e) override { deliverButton(e, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN); }
    void mouseReleaseEvent(QMouseEvent* e) override { deliverButton(e, WM_LBUTTONUP, WM_RBUTTONUP); }
    void wheelEvent(QWheelEvent* e) override
    {
        // Small deltas from touchpads and smooth wheels are added up into whole notches first.
        const int notches = wheelSteps_.add(e->angleDelta().y());
        if (notches == 0)
            return;
        const QPoint global = e->globalPosition().toPoint();
        deliver(WM_MOUSEWHEEL, MAKEWPARAM(0, notches), MAKELPARAM(global.x(), global.y()));
    }
    void leaveEvent(QEvent*) override
    {
        if (!trackingLeave_)
            return;
        trackingLeave_ = false;
        deliver(WM_MOUSELEAVE, 0, 0);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (!deliver(WM_KEYDOWN, virtualKey(e->key()), 0))
            QWidget::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override
    {
        if (deliver(WM_CLOSE, 0, 0))
            e->ignore();
        else
            e->accept();
    }
    void resizeEvent(QResizeEvent*) override { updateMask(); }
    // A page learns when it is shown or hidden itself, as from the window system's show command:
    // not when its parent window comes and goes (hiding the main window to the tray is not leaving
    // the page). The showing page starts its slide from here.
    void setVisible(bool visible) override
    {
        const bool wasHidden = isHidden();
        QWidget::setVisible(visible);
        if (kind_ == Window::Kind::Child && wasHidden != isHidden())
            deliver(WM_SHOWWINDOW, visible ? 1 : 0, 0);
    }
    void timerEvent(QTimerEvent* e) override
    {
        for (const auto& [id, qtId] : timers_) {
            if (qtId == e->timerId()) {
                deliver(WM_TIMER, static_cast<WPARAM>(id), 0);
                return;
            }
        }
    }
    bool event(QEvent* e) override
    {
        if (e->type() == PostedMessage::type()) {
            const auto* posted = static_cast<PostedMessage*>(e);
            deliver(posted->message, posted->wParam, posted->lParam);
            return true;
        }
        if (e->type() == QEvent::ToolTip && tooltipSuppressed_) {
            e->ignore();
            return true;
        }
        if (e->type() == QEvent::WindowDeactivate && kind_ == Window::Kind::Popup)
            deliver(WM_KILLFOCUS, 0, 0);

        return QWidget::event(e);
    }

private:
    // Delivers a press or release as `left` or `right` by the button; the middle and extra buttons
    // mean nothing to the controls.
    void deliverButton(QMouseEvent* e, UINT left, UINT right)
    {
        if (e->button() == Qt::LeftButton)
            deliverMouse(left, e);
        else if (e->button() == Qt::RightButton)
            deliverMouse(right, e);
    }
    void deliverMouse(UINT message, QMouseEvent* e)
    {
        const QPoint p = e->position().toPoint();
        deliver(message, 0, MAKELPARAM(p.x(), p.y()));
    }
};

struct Window::Impl {
    QPointer<WindowWidget> widget;
};

QWidget* widgetOf(Window& window)
{
    return window.impl().widget.data();
}

Window::Window(Kind kind, WindowListener* listener, Window* parent) : impl_(std::make_unique<Impl>())
{
    QWidget* parentWidget = parent ? parent->impl_->widget.data() : nullptr;
    impl_->widget = new WindowWidget(this, kind, listener, parentWidget);
}

Window::~Window()
{
    if (g_capture == this)
        g_capture = nullptr;
    // A child's widget may already be gone with its parent's.
    delete impl_->widget.data();
}

void Window::setGeometry(const RECT& r) { impl_->widget->setGeometry(toQRect(r)); }
RECT Window::geometry() const { return toRect(impl_->widget->geometry()); }
RECT Window::clientRect() const { return RECT{0, 0, impl_->widget->width(), impl_->widget->height()}; }
void Window::resize(int width, int height) { impl_->widget->resize(width, height); }

POINT Window::clientToScreen(POINT p) const
{
    const QPoint q = impl_->widget->mapToGlobal(QPoint(p.x, p.y));
    return POINT{q.x(), q.y()};
}

POINT Window::screenToClient(POINT p) const
{
    const QPoint q = impl_->widget->mapFromGlobal(QPoint(p.x, p.y));
    return POINT{q.x(), q.y()};
}

POINT Window::cursorPos() const
{
    const QPoint global = QCursor::pos();
    return screenToClient(POINT{global.x(), global.y()});
}

void Window::setTitle(const std::string& title) { impl_->widget->setWindowTitle(toQString(title)); }

bool Window::setIcon(const std::string& path)
{
    const QIcon icon(toQString(path));
    if (icon.isNull() || icon.availableSizes().isEmpty())
        return false;
    impl_->widget->setWindowIcon(icon);
    return true;
}

void Window::show() { impl_->widget->show(); }
void Window::hide() { impl_->widget->hide(); }
bool Window::isVisible() const { return impl_->widget->isVisible(); }
void Window::minimize() { impl_->widget->showMinimized(); }

void Window::activate()
{
    impl_->widget->raise();
    impl_->widget->activateWindow();
}

void Window::invalidate(const RECT* r)
{
    const QRect area = r ? toQRect(*r) : QRect();
    WindowWidget* widget = impl_->widget.data();
    if (!widget)
        return;
    if (QThread::currentThread() == widget->thread()) {
        if (r)
            widget->update(area);
        else
            widget->update();
        return;
    }
    QPointer<WindowWidget> guard(widget);
    QMetaObject::invokeMethod(
        widget,
        [guard, area, whole = (r == nullptr)] {
            if (!guard)
                return;
            if (whole)
                guard->update();
            else
                guard->update(area);
        },
        Qt::QueuedConnection);
}

void Window::post(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (impl_->widget)
        QCoreApplication::postEvent(impl_->widget.data(), new PostedMessage(message, wParam, lParam));
}

bool Window::send(UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowWidget* widget = impl_->widget.data();
    return widget && widget->deliver(message, wParam, lParam);
}

void Window::update() { impl_->widget->repaint(); }

void Window::setCapture()
{
    // While a button is down the toolkit already sends every move and the release to the window
    // that took the press, even outside it, which is what capture means for these windows; the
    // record tells the controls who holds it.
    g_capture = this;
}

void Window::releaseCapture() { g_capture = nullptr; }
HWND Window::captureWindow() { return g_capture; }

bool Window::trackMouseLeave()
{
    impl_->widget->trackingLeave_ = true;
    return true;
}

void Window::setTimer(int id, int ms)
{
    killTimer(id);
    impl_->widget->timers_[id] = impl_->widget->startTimer(std::max(ms, 1));
}

void Window::killTimer(int id)
{
    auto& timers = impl_->widget->timers_;
    const auto found = timers.find(id);
    if (found == timers.end())
        return;
    impl_->widget->killTimer(found->second);
    timers.erase(found);
}

int Window::runModal()
{
    WindowWidget* widget = impl_->widget.data();
    QEventLoop loop;
    widget->modalLoop_ = &loop;
    widget->modalResult_ = 0;
    widget->setWindowModality(Qt::ApplicationModal);
    widget->show();
    const int result = loop.exec();
    QPointer<WindowWidget> guard(widget);
    if (guard) {
        guard->modalLoop_ = nullptr;
        guard->hide();
        guard->setWindowModality(Qt::NonModal);
    }
    return result;
}

void Window::endDialog(int result)
{
    WindowWidget* widget = impl_->widget.data();
    if (widget && widget->modalLoop_) {
        widget->modalResult_ = result;
        widget->modalLoop_->exit(result);
    }
}

bool Window::isModalRunning() const { return impl_->widget && impl_->widget->modalLoop_; }

void Window::setRoundedMask(int ew, int eh)
{
    impl_->widget->maskEllipse_ = SIZE{ew, eh};
    impl_->widget->updateMask();
}

void Window::startMove()
{
    if (QWindow* handle = impl_->widget->window()->windowHandle())
        handle->startSystemMove();
}

void Window::setTooltip(const std::string& text)
{
    impl_->widget->tooltipSuppressed_ = false;
    // The tooltip would grow as wide as the screen for a long path; it is broken into lines here.
    const QString wrapped = toQString(wrapTooltipText(text, tooltipTextWidth()));
    // A text that looks like markup is shown as it is, line for line, not interpreted.
    impl_->widget->setToolTip(Qt::mightBeRichText(wrapped) ? Qt::convertFromPlainText(wrapped, Qt::WhiteSpaceNoWrap)
                                                           : wrapped);
}

void Window::hideTooltip()
{
    impl_->widget->tooltipSuppressed_ = true;
    QToolTip::hideText();
}

void Window::relayTooltip() { impl_->widget->tooltipSuppressed_ = false; }

}  // namespace platform
