#include "platform/gui/EditBox.h"

#include "platform/gui/QtBridge.h"

#include <QLineEdit>

namespace platform {

namespace {
QLineEdit* editOf(const NativeControl& control) { return static_cast<QLineEdit*>(control.nativeWidget()); }
}  // namespace

EditBox::EditBox(Window& window, int id, bool readOnly)
    : NativeControl(window, id, new QLineEdit(widgetOf(window)), FocusLoss{WM_COMMAND, EN_KILLFOCUS}, true)
{
    QLineEdit* edit = editOf(*this);
    edit->setReadOnly(readOnly);
    QObject::connect(edit, &QLineEdit::textEdited, signalContext(), [this] { notifyCommand(EN_CHANGE); });
}

std::string EditBox::text() const
{
    const QLineEdit* edit = editOf(*this);
    return edit ? toUtf8(edit->text()) : std::string();
}

void EditBox::setText(const std::string& text)
{
    if (QLineEdit* edit = editOf(*this))
        edit->setText(toQString(text));
}

void EditBox::setReadOnly(bool readOnly)
{
    if (QLineEdit* edit = editOf(*this))
        edit->setReadOnly(readOnly);
}

bool EditBox::isReadOnly() const
{
    const QLineEdit* edit = editOf(*this);
    return edit && edit->isReadOnly();
}

void EditBox::setTextLimit(int characters)
{
    if (QLineEdit* edit = editOf(*this))
        edit->setMaxLength(characters > 0 ? characters : 32767);
}

void EditBox::selectAll()
{
    if (QLineEdit* edit = editOf(*this)) {
        edit->selectAll();
        edit->end(true);
    }
}

}  // namespace platform
