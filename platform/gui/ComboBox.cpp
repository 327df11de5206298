#include "platform/gui/ComboBox.h"

#include "platform/gui/QtBridge.h"

#include <QComboBox>
#include <QLineEdit>

namespace platform {

namespace {
QComboBox* comboOf(const NativeControl& control) { return static_cast<QComboBox*>(control.nativeWidget()); }
}  // namespace

ComboBox::ComboBox(Window& window, int id, Kind kind)
    : NativeControl(window, id, new QComboBox(widgetOf(window)), FocusLoss{WM_COMMAND, CBN_KILLFOCUS}, true),
      kind_(kind)
{
    QComboBox* combo = comboOf(*this);
    combo->setEditable(kind == Kind::Editable);
    // Typed texts are values of the current field, never new entries of the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(12);
    QObject* context = signalContext();
    QObject::connect(combo, &QComboBox::activated, context, [this] { notifyCommand(CBN_SELCHANGE); });
    if (QLineEdit* edit = combo->lineEdit()) {
        QObject::connect(edit, &QLineEdit::textEdited, context, [this] { notifyCommand(CBN_EDITCHANGE); });
    }
}

void ComboBox::setTextLimit(int characters)
{
    QComboBox* combo = comboOf(*this);
    if (combo && combo->lineEdit())
        combo->lineEdit()->setMaxLength(characters > 0 ? characters : 32767);
}

int ComboBox::textLimit() const
{
    QComboBox* combo = comboOf(*this);
    if (!combo || !combo->lineEdit())
        return 0;
    const int limit = combo->lineEdit()->maxLength();
    return limit >= 32767 ? 0 : limit;
}

int ComboBox::addString(const std::string& text)
{
    QComboBox* combo = comboOf(*this);
    if (!combo)
        return -1;
    // Adding to an empty editable box would make the first entry its text; the text stays as it was.
    const QString typed = combo->isEditable() ? combo->currentText() : QString();
    const int selected = combo->currentIndex();
    combo->addItem(toQString(text));
    if (combo->isEditable() && selected < 0) {
        combo->setCurrentIndex(-1);
        combo->setEditText(typed);
    }
    return combo->count() - 1;
}

void ComboBox::resetContent()
{
    if (QComboBox* combo = comboOf(*this))
        combo->clear();
}

int ComboBox::count() const
{
    QComboBox* combo = comboOf(*this);
    return combo ? combo->count() : 0;
}

std::string ComboBox::itemText(int index) const
{
    QComboBox* combo = comboOf(*this);
    return combo && index >= 0 && index < combo->count() ? toUtf8(combo->itemText(index)) : std::string();
}

int ComboBox::curSel() const
{
    QComboBox* combo = comboOf(*this);
    if (!combo)
        return -1;
    const int index = combo->currentIndex();
    if (index >= 0 && combo->isEditable() && combo->currentText() != combo->itemText(index))
        return -1;
    return index;
}

void ComboBox::setCurSel(int index)
{
    QComboBox* combo = comboOf(*this);
    if (!combo)
        return;
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    if (combo->currentIndex() < 0 && combo->isEditable())
        combo->setEditText(QString());
}

int ComboBox::selectString(const std::string& prefix)
{
    QComboBox* combo = comboOf(*this);
    if (!combo)
        return -1;
    const QString wanted = toQString(prefix);
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(wanted, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(i);
            return i;
        }
    }
    return -1;
}

int ComboBox::findStringExact(const std::string& text) const
{
    QComboBox* combo = comboOf(*this);
    if (!combo)
        return -1;
    const QString wanted = toQString(text);
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::string ComboBox::text() const
{
    QComboBox* combo = comboOf(*this);
    return combo ? toUtf8(combo->currentText()) : std::string();
}

void ComboBox::setText(const std::string& text)
{
    QComboBox* combo = comboOf(*this);
    if (!combo)
        return;
    if (!combo->isEditable()) {
        combo->setCurrentIndex(findStringExact(text));
        return;
    }
    QString value = toQString(text);
    const int limit = textLimit();
    if (limit > 0 && value.size() > limit)
        value.truncate(limit);
    combo->setEditText(value);
}

void ComboBox::selectAllText()
{
    QComboBox* combo = comboOf(*this);
    if (combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void ComboBox::showDropDown(bool shown)
{
    QComboBox* combo = comboOf(*this);
    if (!combo)
        return;
    if (shown)
        combo->showPopup();
    else
        combo->hidePopup();
}

}  // namespace platform
