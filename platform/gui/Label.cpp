#include "platform/gui/Label.h"

#include "platform/gui/QtBridge.h"

#include <QLabel>
#include <QPalette>

namespace platform {

namespace {
QLabel* labelOf(const NativeControl& control) { return static_cast<QLabel*>(control.nativeWidget()); }
}  // namespace

Label::Label(Window& window, int id, const std::string& text)
    : NativeControl(window, id, new QLabel(toQString(text), widgetOf(window)), FocusLoss{}, false)
{
    QLabel* label = labelOf(*this);
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
}

std::string Label::text() const
{
    const QLabel* label = labelOf(*this);
    return label ? toUtf8(label->text()) : std::string();
}

void Label::setText(const std::string& text)
{
    if (QLabel* label = labelOf(*this))
        label->setText(toQString(text));
}

void Label::setColor(COLORREF color)
{
    QLabel* label = labelOf(*this);
    if (!label)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(color));
    label->setPalette(palette);
}

}  // namespace platform
