#include "platform/gui/GroupBox.h"

#include "platform/gui/QtBridge.h"

#include <QGroupBox>

namespace platform {

GroupBox::GroupBox(Window& window, int id, const std::string& caption)
    : NativeControl(window, id, new QGroupBox(toQString(caption), widgetOf(window)), FocusLoss{}, false)
{
    auto* box = static_cast<QGroupBox*>(nativeWidget());
    box->setFlat(false);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
}

std::string GroupBox::caption() const
{
    const auto* box = static_cast<const QGroupBox*>(nativeWidget());
    return box ? toUtf8(box->title()) : std::string();
}

}  // namespace platform
