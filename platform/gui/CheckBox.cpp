#include "platform/gui/CheckBox.h"

#include "platform/gui/QtBridge.h"

#include <QCheckBox>

namespace platform {

CheckBox::CheckBox(Window& window, int id, const std::string& text)
    : ButtonControl(window, id, new QCheckBox(widgetOf(window)), text)
{
}

}  // namespace platform
