#include "platform/gui/RadioButton.h"

#include "platform/gui/QtBridge.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVariant>

namespace platform {

namespace {

// The window remembers the group begun last under this property.
constexpr const char* kGroupProperty = "lumaret.radioGroup";

QButtonGroup* groupFor(QWidget* host, bool startsGroup)
{
    auto* group = qobject_cast<QButtonGroup*>(host->property(kGroupProperty).value<QObject*>());
    if (startsGroup || !group) {
        group = new QButtonGroup(host);
        group->setExclusive(true);
        host->setProperty(kGroupProperty, QVariant::fromValue<QObject*>(group));
    }
    return group;
}

}  // namespace

RadioButton::RadioButton(Window& window, int id, const std::string& text, bool startsGroup)
    : ButtonControl(window, id, new QRadioButton(widgetOf(window)), text)
{
    auto* button = static_cast<QRadioButton*>(nativeWidget());
    // Groups are the window's, not the toolkit's per-parent default.
    button->setAutoExclusive(false);
    groupFor(widgetOf(window), startsGroup)->addButton(button);
}

}  // namespace platform
