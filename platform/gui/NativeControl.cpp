#include "platform/gui/NativeControl.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace platform {

struct NativeControl::Widget {
    QPointer<QWidget> widget;
    QPointer<QObject> watch;
};

// Watches the toolkit control for the keys and the focus loss its owner wants to hear about.
class NativeControl::EventWatch : public QObject {
public:
    explicit EventWatch(NativeControl* control) : QObject(control->nativeWidget()), control_(control) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && control_->editorKeys_) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                control_->notifyKey(IDOK);
                return true;
            }
            if (key == Qt::Key_Escape) {
                control_->notifyKey(IDCANCEL);
                return true;
            }
        }
        // The drop-down list of a combo box takes the focus while it is open; that is not leaving
        // the control.
        if (event->type() == QEvent::FocusOut && control_->focusLoss_.message != 0 &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            const FocusLoss loss = control_->focusLoss_;
            if (loss.message == WM_COMMAND)
                control_->notifyCommand(loss.code);
            else
                control_->notifyNotify(loss.code);
        }
        return false;
    }

private:
    NativeControl* control_;
};

NativeControl::NativeControl(Window& window, int id, QWidget* widget, FocusLoss focusLoss, bool editorKeys)
    : window_(window), id_(id), widget_(std::make_unique<Widget>()), focusLoss_(focusLoss),
      editorKeys_(editorKeys), alive_(std::make_shared<bool>(true))
{
    widget_->widget = widget;
    QFont font(toQString(Font::standard().face));
    font.setPixelSize(Font::standard().pixelSize());
    widget->setFont(font);
    widget->hide();
    widget_->watch = new EventWatch(this);
    widget->installEventFilter(widget_->watch);
}

NativeControl::~NativeControl()
{
    *alive_ = false;
    // The toolkit may still be inside one of the control's own handlers (the owner destroys an
    // editor from its Enter report), so the widget goes once that handler has returned.
    if (QWidget* widget = widget_->widget.data()) {
        // The watch is also the context of every signal connection the control made, so deleting it
        // silences the control before the widget is hidden (hiding moves the focus away).
        delete widget_->watch.data();
        widget->hide();
        widget->deleteLater();
    }
}

QWidget* NativeControl::nativeWidget() const { return widget_->widget.data(); }

QObject* NativeControl::signalContext() const { return widget_->watch.data(); }

void NativeControl::setRect(const RECT& r)
{
    if (QWidget* w = nativeWidget())
        w->setGeometry(toQRect(r));
}

RECT NativeControl::rect() const
{
    const QWidget* w = nativeWidget();
    return w ? toRect(w->geometry()) : RECT{};
}

void NativeControl::show()
{
    if (QWidget* w = nativeWidget()) {
        w->show();
        w->raise();
    }
}

void NativeControl::hide()
{
    if (QWidget* w = nativeWidget())
        w->hide();
}

bool NativeControl::isVisible() const
{
    const QWidget* w = nativeWidget();
    return w && !w->isHidden();
}

void NativeControl::setEnabled(bool enabled)
{
    if (QWidget* w = nativeWidget())
        w->setEnabled(enabled);
}

bool NativeControl::isEnabled() const
{
    const QWidget* w = nativeWidget();
    return w && w->isEnabled();
}

void NativeControl::setFocus()
{
    if (QWidget* w = nativeWidget()) {
        w->activateWindow();
        w->setFocus(Qt::OtherFocusReason);
    }
}

bool NativeControl::hasFocus() const
{
    const QWidget* w = nativeWidget();
    return w && w->hasFocus();
}

void NativeControl::setFont(const Font& font)
{
    QWidget* w = nativeWidget();
    if (!w)
        return;
    QFont f(toQString(font.face));
    f.setPixelSize(font.pixelSize());
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    w->setFont(f);
}

bool NativeControl::guarded(UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::shared_ptr<bool> alive = alive_;
    window_.send(message, wParam, lParam);
    return *alive;
}

bool NativeControl::notifyCommand(int code) { return guarded(WM_COMMAND, MAKEWPARAM(id_, code), 0); }

bool NativeControl::notifyNotify(int code) { return guarded(WM_NOTIFY, static_cast<WPARAM>(id_), code); }

bool NativeControl::notifyKey(int command) { return guarded(WM_COMMAND, MAKEWPARAM(command, 0), id_); }

}  // namespace platform
