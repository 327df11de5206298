// lumaret-gallery: shows every custom-drawn control in each of its states in one window.
//   lumaret-gallery                          interactive
//   lumaret-gallery --screenshot FILE        writes a PNG of the window once it has painted, then exits
//   lumaret-gallery --skin-popup             opens the skin colour pop-up as well (with --screenshot:
//                                            the picture shows it over the window)
//   lumaret-gallery --open NAME              opens what a dialog button opens (open-question,
//                                            open-about, ...; see GalleryWindow::open)
//   lumaret-gallery --native                 shows the native controls of the pages instead
//   lumaret-gallery --native-menu            the same with the pop-up menu open over it
// The exit status is 0 when the screenshot was written and shows more than a blank window.
#include "platform/core/MessagePresenter.h"
#include "app/page/SkinMessagePresenter.h"
#include "platform/gui/QtBridge.h"
#include "platform/core/Paths.h"
#include "tools/gallery/GalleryWindow.h"
#include "tools/gallery/NativeGallery.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// A blank or failed grab has one or two colours; the gallery has hundreds.
bool looksPainted(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            colours.insert(image.pixel(x, y));
            if (colours.size() > 50)
                return true;
        }
    }
    return false;
}

// The screen's pixels under the gallery (so pop-ups over it are in the picture); the window's own
// rendering where the platform cannot read the screen back.
QImage grabGallery(platform::Window& window)
{
    QWidget* widget = platform::widgetOf(window);
    QImage shot;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = widget->frameGeometry();
        shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    }
    if (shot.isNull() || !looksPainted(shot))
        shot = widget->grab().toImage();
    return shot;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    std::string screenshot;
    bool skinPopup = false;
    std::string opened;
    bool native = false;
    bool nativeMenu = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            screenshot = argv[++i];
        else if (std::strcmp(argv[i], "--skin-popup") == 0)
            skinPopup = true;
        else if (std::strcmp(argv[i], "--open") == 0 && i + 1 < argc)
            opened = argv[++i];
        else if (std::strcmp(argv[i], "--native") == 0)
            native = true;
        else if (std::strcmp(argv[i], "--native-menu") == 0)
            native = nativeMenu = true;
        else {
            std::fprintf(stderr, "usage: lumaret-gallery [--screenshot FILE] [--skin-popup] [--open NAME]"
                                 " [--native | --native-menu]\n");
            return 2;
        }
    }
    // Relative skin paths resolve against the program's folder, as in the program itself; the
    // screenshot's name is taken relative to where the gallery was started.
    if (!screenshot.empty())
        screenshot = std::filesystem::absolute(screenshot).string();
    std::filesystem::current_path(platform::Paths::programDirectory());

    gallery::GalleryWindow gallery;
    auto presenter = std::make_shared<app::SkinMessagePresenter>(&gallery.window());
    platform::setMessagePresenter(presenter);
    std::unique_ptr<gallery::NativeGallery> nativeGallery;
    if (native) {
        nativeGallery = std::make_unique<gallery::NativeGallery>();
        nativeGallery->show(40, 40);
        if (nativeMenu)
            QTimer::singleShot(200, [&] { nativeGallery->openMenu(POINT{300, 200}); });
    } else {
        gallery.show(40, 40);
    }
    platform::Window& shown = native ? nativeGallery->window() : gallery.window();
    if (skinPopup && !gallery.openSkinPopup())
        std::fprintf(stderr, "lumaret-gallery: the skin colour pop-up did not open\n");
    if (!opened.empty() && !gallery.open(opened)) {
        std::fprintf(stderr, "lumaret-gallery: nothing is called %s\n", opened.c_str());
        return 2;
    }

    int status = 0;
    if (!screenshot.empty()) {
        // Give the window system time to map and paint both windows, then take the picture.
        QTimer::singleShot(800, [&] {
            const QImage shot = grabGallery(shown);
            if (shot.isNull() || !shot.save(QString::fromStdString(screenshot), "PNG")) {
                std::fprintf(stderr, "lumaret-gallery: cannot write %s\n", screenshot.c_str());
                status = 1;
            } else if (!looksPainted(shot)) {
                std::fprintf(stderr, "lumaret-gallery: %s looks blank\n", screenshot.c_str());
                status = 1;
            } else if (skinPopup && !gallery.isSkinPopupOpen()) {
                std::fprintf(stderr, "lumaret-gallery: the skin colour pop-up closed before the picture\n");
                status = 1;
            }
            QApplication::exit(0);
        });
    } else {
        // Closing the gallery window ends the program.
        QObject::connect(&application, &QApplication::lastWindowClosed, &application, &QApplication::quit);
    }
    const int result = application.exec();
    platform::setMessagePresenter(nullptr);
    return status ? status : result;
}
