// lumaret-skingen: paints every skin picture into the image folder given on the command line.
//   lumaret-skingen <image folder> [--sheet <contact sheet.png>] [--hicolor <theme icon folder>]
// Every PNG and BMP but the icon list is painted a second time at twice the size as "name@2x.png"
// (or .bmp), which the programs load instead on a screen with a device-pixel ratio of 2, so the
// skin stays sharp there.
// Runs at build time; paints with QImage and QPainter only, so it needs no display and no fonts.
// Output is the same byte for byte on every run. Exits non-zero when a picture does not match its
// row of the catalogue or cannot be written, so a broken skin fails the build.
#include "tools/skingen/GifEncoder.h"
#include "tools/skingen/IconFile.h"
#include "tools/skingen/SkinArt.h"
#include "tools/skingen/SkinCatalogue.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

using namespace skingen;

namespace {

using Painter = std::function<QImage()>;

std::map<std::string_view, Painter> painters()
{
    // The ten swatches share one painter and are picked by their digit in main().
    std::map<std::string_view, Painter> map{
        {"lumaret-back.png", [] { return paintBackground(); }},
        {"sysbutton_close.png", [] { return paintCaptionButton("close", 37, false); }},
        {"sysbutton_min.png", [] { return paintCaptionButton("min", 27, false); }},
        {"sysbutton_menu.png", [] { return paintCaptionButton("menu", 27, false); }},
        {"sysbutton_close_s.png", [] { return paintCaptionButton("close", 37, true); }},
        {"uninstall-close.png", [] { return paintCaptionButton("close", 37, true); }},
        {"lumaret-movie.png", [] { return paintTab("movie"); }},
        {"lumaret-profile.png", [] { return paintTab("profile"); }},
        {"lumaret-set.png", [] { return paintTab("set"); }},
        {"lumaret-about.png", [] { return paintTab("about"); }},
        {"lumaret-accept.png", [] { return paintToolButton("accept"); }},
        {"lumaret-return.png", [] { return paintToolButton("return"); }},
        {"lumaret-add.png", [] { return paintToolButton("add"); }},
        {"lumaret-del.png", [] { return paintToolButton("del"); }},
        {"lumaret-color.png", [] { return paintColorButton(); }},
        {"lumaret-add-tip.png", [] { return paintAddTip(); }},
        {"scrollbar2.png", [] { return paintListScrollParts(); }},
        {"lumaret-btn.png", [] { return paintPushButton(false); }},
        {"uninstall-btn.png", [] { return paintPushButton(false); }},
        {"lumaret-btn2.png", [] { return paintPushButton(true); }},
        {"lumaret-btn-menu.png", [] { return paintMenuButton(); }},
        {"lumaret-wait.png", [] { return paintStatusIcon("wait"); }},
        {"lumaret-error.png", [] { return paintStatusIcon("error"); }},
        {"lumaret-complete.png", [] { return paintStatusIcon("complete"); }},
        {"lumaret-logo.png", [] { return paintLogo(176); }},
        {"lumaret-config.png", [] { return paintConfigButton(); }},
        {"lumaret-imagelist.bmp", [] { return paintProfileIcons(); }},
        {"info.png", [] { return paintMessageIcon("info"); }},
        {"error.png", [] { return paintMessageIcon("error"); }},
        {"question.png", [] { return paintMessageIcon("question"); }},
        {"lumaret-text.png", [] { return paintWordMark(); }},
        {"adj-hue.bmp", [] { return paintSliderTrack("hue"); }},
        {"adj-sum.bmp", [] { return paintSliderTrack("sum"); }},
        {"adj-lum.bmp", [] { return paintSliderTrack("lum"); }},
        {"adj-thumb.png", [] { return paintSliderThumb(); }},
        {"lumaret-scrollskin.bmp", [] { return paintScrollSkin(); }},
        // The two containers are assembled separately; their painters give the largest picture.
        {"lumaret.ico", [] { return paintLogo(256); }},
        {"lumaret-process.gif", [] { return paintBusyFrames().front(); }},
    };
    return map;
}

bool fail(const std::string& message)
{
    std::fprintf(stderr, "lumaret-skingen: %s\n", message.c_str());
    return false;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail("cannot write " + path.toStdString());
    return true;
}

// The busy animation: frames composited over the pale row colour and reduced to a ramp of 31
// shades between that colour and the accent; the row colour itself becomes transparent.
QByteArray encodeBusyAnimation()
{
    const QColor background(0xF2, 0xF7, 0xFC);
    const QColor accent = tone::accent;
    QList<QRgb> palette;
    for (int k = 0; k < 32; ++k) {
        const double t = k == 0 ? 0 : (k - 1) / 30.0;
        palette.append(qRgb(int(std::lround(background.red() + (accent.red() - background.red()) * t)),
                            int(std::lround(background.green() + (accent.green() - background.green()) * t)),
                            int(std::lround(background.blue() + (accent.blue() - background.blue()) * t))));
    }
    const double dr = accent.red() - background.red();
    const double dg = accent.green() - background.green();
    const double db = accent.blue() - background.blue();
    const double length2 = dr * dr + dg * dg + db * db;

    GifEncoder encoder(20, 20, palette, 0);
    for (const QImage& frame : paintBusyFrames()) {
        const QImage straight = frame.convertToFormat(QImage::Format_ARGB32);
        GifEncoder::Frame out;
        out.delay = kBusyDelay;
        for (int y = 0; y < straight.height(); ++y) {
            for (int x = 0; x < straight.width(); ++x) {
                const QRgb c = straight.pixel(x, y);
                if (qAlpha(c) < 16) {
                    out.pixels.push_back(0);
                    continue;
                }
                const double a = qAlpha(c) / 255.0;
                const double r = background.red() + (qRed(c) - background.red()) * a;
                const double g = background.green() + (qGreen(c) - background.green()) * a;
                const double b = background.blue() + (qBlue(c) - background.blue()) * a;
                double t = ((r - background.red()) * dr + (g - background.green()) * dg +
                            (b - background.blue()) * db) / length2;
                t = std::clamp(t, 0.0, 1.0);
                out.pixels.push_back(std::uint8_t(1 + std::lround(t * 30)));
            }
        }
        encoder.addFrame(std::move(out));
    }
    return encoder.encode();
}

bool writeFile(const SkinFile& entry, const Painter& paint, const QDir& folder, QImage* preview)
{
    const QString path = folder.filePath(QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size())));
    const std::string name(entry.name);
    if (entry.format == FileFormat::Gif) {
        *preview = paint();
        return writeBytes(path, encodeBusyAnimation());
    }
    if (entry.format == FileFormat::Ico) {
        QList<QImage> sizes;
        for (int size : kIconSizes)
            sizes.append(paintLogo(size));
        *preview = sizes.back();
        const QByteArray bytes = IconFile::build(sizes);
        return !bytes.isEmpty() ? writeBytes(path, bytes) : fail("cannot assemble " + name);
    }
    QImage image = paint();
    *preview = image;
    if (image.width() != entry.width || image.height() != entry.height)
        return fail(name + " was painted " + std::to_string(image.width()) + "x" + std::to_string(image.height()) +
                    ", the catalogue says " + std::to_string(entry.width) + "x" + std::to_string(entry.height));
    if (entry.format == FileFormat::Bmp24)
        image = image.convertToFormat(QImage::Format_RGB888);
    else
        image = image.convertToFormat(QImage::Format_ARGB32);
    return image.save(path, entry.format == FileFormat::Bmp24 ? "BMP" : "PNG") ? true : fail("cannot write " + name);
}

// The name of the double-size twin of a picture: "name@2x.png" for "name.png".
QString twinName(std::string_view name)
{
    QString twin = QString::fromUtf8(name.data(), qsizetype(name.size()));
    twin.insert(twin.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    return twin;
}

// Paints a picture of the catalogue at twice the size. Its logical size must still be the catalogue's.
bool writeTwin(const SkinFile& entry, const Painter& paint, const QDir& folder)
{
    setPaintScale(2);
    QImage image = paint();
    setPaintScale(1);
    const std::string name = twinName(entry.name).toStdString();
    if (image.width() != 2 * entry.width || image.height() != 2 * entry.height)
        return fail(name + " was painted " + std::to_string(image.width()) + "x" + std::to_string(image.height()) +
                    ", twice the catalogue's size is " + std::to_string(2 * entry.width) + "x" +
                    std::to_string(2 * entry.height));
    const bool bmp = entry.format == FileFormat::Bmp24;
    image = image.convertToFormat(bmp ? QImage::Format_RGB888 : QImage::Format_ARGB32);
    return image.save(folder.filePath(twinName(entry.name)), bmp ? "BMP" : "PNG") ? true : fail("cannot write " + name);
}

// Every picture on one page over a checkerboard, twice its size, for looking at the skin.
void writeSheet(const QString& path, const QList<std::pair<QString, QImage>>& pictures)
{
    const int columnWidth = 640;
    int height = 8;
    for (const auto& item : pictures)
        height += std::min(item.second.height(), 256) * 2 + 8;
    QImage sheet(columnWidth * 2, height / 2 + 300, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xD8, 0xEC, 0xF8));
    QPainter p(&sheet);
    int x = 8;
    int y = 8;
    for (const auto& item : pictures) {
        QImage picture = item.second;
        if (picture.width() > 300 || picture.height() > 200)
            picture = picture.scaled(picture.width() / 2, picture.height() / 2, Qt::KeepAspectRatio,
                                     Qt::SmoothTransformation);
        const QSize size = picture.size() * 2;
        if (y + size.height() + 8 > sheet.height()) {
            y = 8;
            x += columnWidth;
        }
        p.drawImage(QRect(QPoint(x, y), size), picture);
        y += size.height() + 8;
    }
    p.end();
    sheet.save(path, "PNG");
}

// The program's icon for the desktop's icon theme: "<folder>/<n>x<n>/apps/lumaret.png" at the sizes
// of the icon file, which the installer copies into the user's hicolor theme.
bool writeThemeIcons(const QString& folder)
{
    bool ok = true;
    for (int size : kIconSizes) {
        const QString sizeFolder = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(sizeFolder))
            ok = fail("cannot create " + sizeFolder.toStdString());
        else if (!paintLogo(size).convertToFormat(QImage::Format_ARGB32).save(sizeFolder + "/lumaret.png", "PNG"))
            ok = fail("cannot write the " + std::to_string(size) + " pixel theme icon");
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumaret-skingen <image folder> [--sheet <file.png>] [--hicolor <folder>]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        fail("cannot create " + folder.path().toStdString());
        return 1;
    }
    QString sheetPath;
    QString hicolorPath;
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--sheet")
            sheetPath = QString::fromLocal8Bit(argv[i + 1]);
        else if (std::string(argv[i]) == "--hicolor")
            hicolorPath = QString::fromLocal8Bit(argv[i + 1]);
    }

    const auto map = painters();
    bool ok = true;
    QList<std::pair<QString, QImage>> previews;
    for (const SkinFile& entry : kSkinFiles) {
        Painter paint;
        if (entry.name.rfind("lumaret-skin", 0) == 0 && entry.name.size() == 17) {
            const int preset = entry.name[12] - '0';
            paint = [preset] { return paintSwatch(preset); };
        } else if (const auto found = map.find(entry.name); found != map.end() && found->second) {
            paint = found->second;
        } else {
            ok = fail("no painter for " + std::string(entry.name));
            continue;
        }
        QImage preview;
        ok = writeFile(entry, paint, folder, &preview) && ok;
        if (hasDoubleSizeTwin(entry))
            ok = writeTwin(entry, paint, folder) && ok;
        previews.append({QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size())), preview});
    }
    if (!sheetPath.isEmpty())
        writeSheet(sheetPath, previews);
    if (!hicolorPath.isEmpty())
        ok = writeThemeIcons(hicolorPath) && ok;
    return ok ? 0 : 1;
}
