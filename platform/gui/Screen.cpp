#include "platform/gui/Screen.h"

#include "platform/gui/QtBridge.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

RECT Screen::workArea()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return toRect(screen->availableGeometry());
    return RECT{0, 0, 1024, 768};
}

}  // namespace platform
