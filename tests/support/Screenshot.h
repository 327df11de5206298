#pragma once
// Pictures of what a test shows, for a person to look at: with LUMARET_SCREENSHOT_DIR set, each
// call writes the widget as NAME.png into that folder; otherwise it does nothing. Run the control
// tests under a private X server (QT_QPA_PLATFORM=xcb) to see them as a user's display shows them:
// there the picture is the screen under the window, native child windows and pop-ups included.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

inline void saveScreenshot(QWidget* widget, const std::string& name)
{
    const char* folder = std::getenv("LUMARET_SCREENSHOT_DIR");
    if (!folder || !*folder || !widget)
        return;
    std::filesystem::create_directories(folder);
    // Lets the window system map and paint what the test just changed, and a page's slide end.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 600)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QImage shot;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && QGuiApplication::platformName() == QStringLiteral("xcb")) {
        const QRect area = widget->window()->frameGeometry();
        shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    }
    if (shot.isNull())
        shot = widget->grab().toImage();
    shot.save(QString::fromStdString((std::filesystem::path(folder) / (name + ".png")).string()), "PNG");
}

}  // namespace testsupport
