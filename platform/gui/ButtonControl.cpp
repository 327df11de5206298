#include "platform/gui/ButtonControl.h"

#include "platform/gui/QtBridge.h"

#include <QAbstractButton>

namespace platform {

namespace {
QAbstractButton* buttonOf(const NativeControl& control)
{
    return static_cast<QAbstractButton*>(control.nativeWidget());
}
}  // namespace

ButtonControl::ButtonControl(Window& window, int id, QWidget* button, const std::string& text)
    : NativeControl(window, id, button, FocusLoss{}, false)
{
    QAbstractButton* b = buttonOf(*this);
    b->setText(toQString(text));
    // The caption sits on whatever the page painted (white); nothing of the button's own fills it.
    b->setAutoFillBackground(false);
    b->setAttribute(Qt::WA_TranslucentBackground);
    QObject::connect(b, &QAbstractButton::clicked, signalContext(), [this] { notifyCommand(BN_CLICKED); });
}

std::string ButtonControl::text() const
{
    const QAbstractButton* b = buttonOf(*this);
    return b ? toUtf8(b->text()) : std::string();
}

void ButtonControl::setText(const std::string& text)
{
    if (QAbstractButton* b = buttonOf(*this))
        b->setText(toQString(text));
}

bool ButtonControl::isChecked() const
{
    const QAbstractButton* b = buttonOf(*this);
    return b && b->isChecked();
}

void ButtonControl::setChecked(bool checked)
{
    if (QAbstractButton* b = buttonOf(*this))
        b->setChecked(checked);
}

}  // namespace platform
