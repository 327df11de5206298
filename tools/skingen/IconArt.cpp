// Icons and pictures: status and message icons, the logo and word mark, the profile-type icons,
// the busy animation and the slider pieces.
#include "tools/skingen/SkinArt.h"

#include <QPainterPathStroker>
#include <QTransform>

#include <cmath>
#include <cstring>

namespace skingen {
namespace {

bool is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// A round badge with a light top, used by the status and message icons.
void badge(QPainter& p, QPointF c, double r, QColor base)
{
    QRadialGradient fill(QPointF(c.x(), c.y() - r * 0.6), r * 1.6);
    fill.setColorAt(0, base.lighter(150));
    fill.setColorAt(1, base);
    p.setPen(QPen(base.darker(130), 1));
    p.setBrush(fill);
    p.drawEllipse(c, r - 0.5, r - 0.5);
}

void exclamation(QPainter& p, QPointF c, double scale)
{
    p.setPen(glyphPen(Qt::white, 2.4 * scale));
    p.drawLine(QPointF(c.x(), c.y() - 5 * scale), QPointF(c.x(), c.y() + 1.2 * scale));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(c.x(), c.y() + 5 * scale), 1.4 * scale, 1.4 * scale);
}

void tick(QPainter& p, QPointF c, double scale)
{
    QPainterPath path;
    path.moveTo(c.x() - 4.5 * scale, c.y() + 0.2 * scale);
    path.lineTo(c.x() - 1.3 * scale, c.y() + 3.4 * scale);
    path.lineTo(c.x() + 4.6 * scale, c.y() - 3.4 * scale);
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(Qt::white, 2.3 * scale));
    p.drawPath(path);
}

// The mark of the program: a rounded tile holding a play sign inside two turning arrows (a film
// going round into another form). Drawn on a unit box of 100 and scaled.
void logoMark(QPainter& p, double size, bool simple)
{
    p.save();
    p.scale(size / 100.0, size / 100.0);
    const QRectF tile(6, 6, 88, 88);
    QLinearGradient fill(0, 6, 0, 94);
    fill.setColorAt(0, QColor(0x7C, 0xC4, 0xF4));
    fill.setColorAt(1, QColor(0x1E, 0x6F, 0xC0));
    p.setPen(QPen(QColor(0x17, 0x5C, 0xA2), simple ? 3 : 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(tile, 20, 20);
    if (!simple) {
        // Gloss over the upper half.
        QPainterPath gloss;
        gloss.moveTo(8, 40);
        gloss.cubicTo(30, 30, 70, 28, 92, 36);
        gloss.lineTo(92, 26);
        gloss.arcTo(QRectF(52, 8, 40, 40), 0, 90);
        gloss.lineTo(28, 8);
        gloss.arcTo(QRectF(8, 8, 40, 40), 90, 90);
        gloss.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(vertical(8, 40, QColor(255, 255, 255, 90), QColor(255, 255, 255, 20)));
        p.drawPath(gloss);
        // Two arrows turning round the centre.
        p.setBrush(Qt::NoBrush);
        p.setPen(glyphPen(QColor(255, 255, 255, 215), 6));
        const QRectF ring(22, 22, 56, 56);
        p.drawArc(ring, 100 * 16, 130 * 16);
        p.drawArc(ring, 280 * 16, 130 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 215));
        auto head = [&](double angleDegrees) {
            const double a = angleDegrees * M_PI / 180;
            const QPointF tip(50 + 28 * std::cos(a), 50 - 28 * std::sin(a));
            const QPointF along(std::sin(a), std::cos(a));  // direction of travel (clockwise)
            const QPointF out(std::cos(a), -std::sin(a));
            QPainterPath arrow;
            arrow.moveTo(tip + along * 9);
            arrow.lineTo(tip + out * 8);
            arrow.lineTo(tip - out * 8);
            arrow.closeSubpath();
            p.drawPath(arrow);
        };
        head(100);
        head(280);
    }
    QPainterPath play;
    const double k = simple ? 1.35 : 1.0;
    play.moveTo(50 - 10 * k, 50 - 14 * k);
    play.lineTo(50 + 15 * k, 50);
    play.lineTo(50 - 10 * k, 50 + 14 * k);
    play.closeSubpath();
    p.setPen(glyphPen(Qt::white, simple ? 5 : 3));
    p.setBrush(Qt::white);
    p.drawPath(play);
    p.restore();
}

// Letters of the word mark as strokes on a grid where the base line is y = 31 and the x-height
// runs from 15 to 31. Each returns its advance.
double letter(QPainterPath& path, char ch, double x)
{
    switch (ch) {
    case 'L':
        path.moveTo(x, 7);
        path.lineTo(x, 31);
        path.lineTo(x + 12, 31);
        return 13;
    case 'u':
        path.moveTo(x, 15);
        path.lineTo(x, 25);
        path.arcTo(QRectF(x, 19, 12, 12), 180, 180);
        path.moveTo(x + 12, 15);
        path.lineTo(x + 12, 31);
        return 12;
    case 'm':
        path.moveTo(x, 31);
        path.lineTo(x, 15);
        path.moveTo(x, 21);
        path.arcTo(QRectF(x, 15, 9, 10), 180, -180);
        path.lineTo(x + 9, 31);
        path.moveTo(x + 9, 21);
        path.arcTo(QRectF(x + 9, 15, 9, 10), 180, -180);
        path.lineTo(x + 18, 31);
        return 18;
    case 'a':
        path.addEllipse(QRectF(x, 15, 12, 16));
        path.moveTo(x + 12, 15);
        path.lineTo(x + 12, 31);
        return 12;
    case 'r':
        path.moveTo(x, 31);
        path.lineTo(x, 15);
        path.moveTo(x, 23);
        path.arcTo(QRectF(x, 15, 16, 16), 180, -90);
        return 9;
    case 'e':
        path.moveTo(x + 0.5, 23);
        path.lineTo(x + 13, 23);
        path.arcTo(QRectF(x, 15, 13, 16), 0, 300);
        return 13;
    case 't':
        path.moveTo(x + 4, 8);
        path.lineTo(x + 4, 26);
        path.arcTo(QRectF(x + 4, 21, 10, 10), 180, 90);
        path.moveTo(x, 15);
        path.lineTo(x + 9, 15);
        return 9;
    default:
        return 8;
    }
}

QColor kindColor(char kind)
{
    switch (kind) {
    case 'V': return QColor(0x2B, 0x7E, 0xCC);  // video containers
    case 'A': return QColor(0x2E, 0x9A, 0x5C);  // audio
    case 'I': return QColor(0xE0, 0x8A, 0x22);  // pictures
    case 'D': return QColor(0x7A, 0x55, 0xC6);  // disc and device formats
    default: return QColor(0x6E, 0x7C, 0x89);   // raw streams and samples
    }
}

}  // namespace

QImage paintStatusIcon(const char* kind)
{
    QImage image = blank(20, 20);
    QPainter p(&image);
    smooth(p);
    const QPointF c(10, 10);
    if (is(kind, "wait")) {
        p.setPen(QPen(tone::accent, 1.4));
        p.setBrush(vertical(1, 19, Qt::white, QColor(0xE4, 0xEF, 0xFA)));
        p.drawEllipse(c, 8.3, 8.3);
        p.setPen(glyphPen(tone::ink, 1.5));
        p.drawLine(c, QPointF(10, 5));
        p.drawLine(c, QPointF(13.6, 11.8));
        p.setPen(Qt::NoPen);
        p.setBrush(tone::accentDark);
        p.drawEllipse(c, 1.2, 1.2);
    } else if (is(kind, "error")) {
        badge(p, c, 9.3, tone::bad);
        exclamation(p, c, 0.95);
    } else {
        badge(p, c, 9.3, tone::good);
        tick(p, QPointF(10, 10.2), 0.95);
    }
    return image;
}

QImage paintMessageIcon(const char* kind)
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    smooth(p);
    const QPointF c(16, 16);
    // A faint shadow under the badge.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 20, 40, 30));
    p.drawEllipse(QPointF(16, 17.2), 14.6, 14.6);
    if (is(kind, "info")) {
        badge(p, c, 14.5, tone::accent);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.2), 2.3, 2.3);
        p.drawRoundedRect(QRectF(14, 13.2, 4, 11.5), 1.5, 1.5);
    } else if (is(kind, "error")) {
        badge(p, c, 14.5, tone::bad);
        p.setPen(glyphPen(Qt::white, 3.2));
        p.drawLine(QPointF(10.8, 10.8), QPointF(21.2, 21.2));
        p.drawLine(QPointF(21.2, 10.8), QPointF(10.8, 21.2));
    } else {
        badge(p, c, 14.5, QColor(0x2A, 0x9C, 0xB8));
        QPainterPath hook;
        hook.moveTo(11.6, 12.2);
        hook.cubicTo(11.6, 6.6, 20.6, 6.4, 20.6, 11.8);
        hook.cubicTo(20.6, 15.6, 16, 15.4, 16, 19.2);
        p.setBrush(Qt::NoBrush);
        p.setPen(glyphPen(Qt::white, 3));
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 24.2), 2, 2);
    }
    return image;
}

QImage paintLogo(int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    smooth(p);
    logoMark(p, size, size < 24);
    return image;
}

QImage paintWordMark()
{
    QPainterPath strokes;
    double x = 0;
    for (const char ch : std::string_view("Lumaret"))
        x += letter(strokes, ch, x) + 4.5;
    const double width = x - 4.5;
    QPainterPathStroker stroker;
    stroker.setWidth(3.4);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath outline = stroker.createStroke(strokes).simplified();
    // Fit the 24-pixel-high word (y 7 to 31 plus the stroke) into the picture with a little room.
    const double scale = 1.3;
    QTransform place;
    place.translate((160 - width * scale) / 2, (40 - 26 * scale) / 2 - 5.3 * scale);
    place.scale(scale, scale);
    outline = place.map(outline);

    QImage image = blank(160, 40);
    QPainter p(&image);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawPath(outline.translated(0, 1.2));
    p.setBrush(vertical(4, 36, tone::accent, tone::accentDark));
    p.drawPath(outline);
    return image;
}

QImage paintProfileIcons()
{
    // Labels and kinds of the 52 conversion types, in type order; cell 0 is the category folder.
    struct TypeIcon {
        const char* label;
        char kind;
    };
    static const TypeIcon kTypes[52] = {
        {"3G2", 'V'}, {"3GP", 'V'}, {"AC3", 'A'}, {"AAC", 'A'}, {"AIF", 'A'}, {"AMR", 'A'}, {"ASF", 'V'},
        {"AU", 'A'},  {"AVI", 'V'}, {"DV", 'V'},  {"DVD", 'D'}, {"FFM", 'V'}, {"FLA", 'A'}, {"FLV", 'V'},
        {"GIF", 'I'}, {"MMF", 'A'}, {"MOV", 'V'}, {"MP2", 'A'}, {"MP3", 'A'}, {"MP4", 'V'}, {"MPG", 'V'},
        {"PS", 'V'},  {"TS", 'V'},  {"NUT", 'V'}, {"OGG", 'A'}, {"OGV", 'V'}, {"PSP", 'D'}, {"YUV", 'R'},
        {"RM", 'V'},  {"SVC", 'D'}, {"SWF", 'V'}, {"VCD", 'D'}, {"VOB", 'D'}, {"VOC", 'A'}, {"WAV", 'A'},
        {"Y4M", 'R'}, {"M1V", 'V'}, {"M2V", 'V'}, {"M4V", 'V'}, {"261", 'V'}, {"263", 'V'}, {"MJP", 'V'},
        {"MPJ", 'V'}, {"U16", 'R'}, {"U16", 'R'}, {"U8", 'R'},  {"S16", 'R'}, {"S16", 'R'}, {"S8", 'R'},
        {"MUL", 'R'}, {"ALA", 'R'}, {"WMV", 'V'},
    };
    // White is the mask colour of the tree's image list, so the background is pure white and
    // nothing inside an icon is.
    QImage image = blank(16 * 53, 16, Qt::white);
    {
        QPainter p(&image);
        smooth(p);
        // Cell 0: a category folder.
        p.setPen(QPen(QColor(0xC2, 0x8A, 0x1A), 1));
        p.setBrush(QColor(0xF2, 0xB8, 0x3E));
        p.drawRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1);
        p.setBrush(vertical(4, 14, QColor(0xFC, 0xD8, 0x70), QColor(0xF0, 0xB0, 0x38)));
        p.drawRoundedRect(QRectF(1.5, 5.5, 13, 8.5), 1.2, 1.2);
        for (int t = 0; t < 52; ++t) {
            const double x = 16.0 * (t + 1);
            const QColor base = kindColor(kTypes[t].kind);
            p.setPen(QPen(base.darker(135), 1));
            p.setBrush(vertical(1, 15, base.lighter(125), base));
            p.drawRoundedRect(QRectF(x + 0.5, 1.5, 15, 13), 2.2, 2.2);
            // The little-endian twin of a sample format gets a pale corner so the pair differ.
            if (t == 44 || t == 47) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0xF4, 0xF4, 0xF4));
                p.drawRect(QRectF(x + 12, 2, 3, 2));
            }
        }
    }
    for (int t = 0; t < 52; ++t) {
        const int x = 16 * (t + 1) + (16 - pixelTextWidth(kTypes[t].label) + 1) / 2;
        pixelText(image, x, 6, kTypes[t].label, qRgb(0xFC, 0xFC, 0xFC));
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QList<QImage> paintBusyFrames()
{
    // Twelve dots on a ring; the bright one walks round clockwise and leaves a fading tail.
    QList<QImage> frames;
    for (int f = 0; f < 12; ++f) {
        QImage image = blank(20, 20);
        QPainter p(&image);
        smooth(p);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 12; ++i) {
            const int age = (f - i + 12) % 12;
            QColor dot = tone::accent;
            dot.setAlpha(age < 6 ? 255 - age * 38 : 50);
            p.setBrush(dot);
            const double a = i * M_PI / 6 - M_PI / 2;
            const double r = age == 0 ? 2.2 : 1.8;
            p.drawEllipse(QPointF(10 + 7 * std::cos(a), 10 + 7 * std::sin(a)), r, r);
        }
        frames.append(image);
    }
    return frames;
}

QImage paintSliderTrack(const char* which)
{
    // The tracks show what the slider does to the default blue: hue turns it round the colour
    // circle (the middle is no change), saturation runs from grey to vivid, luminosity from black
    // through the colour to white.
    const QColor base = tone::accent;
    QImage image = blank(124, 8, Qt::white);
    for (int x = 0; x < 124; ++x) {
        const double t = x / 123.0;
        QColor c;
        if (is(which, "hue")) {
            const double hue = std::fmod(base.hslHueF() * 360 + (t - 0.5) * 360 + 720, 360);
            c = QColor::fromHslF(float(hue / 360), 0.75f, 0.55f);
        } else if (is(which, "sum")) {
            c = QColor::fromHslF(base.hslHueF(), float(std::min(1.0, t)), 0.55f);
        } else {
            c = QColor::fromHslF(base.hslHueF(), 0.75f, float(t));
        }
        // One column of the track, in the catalogue's pixels whatever the paint scale.
        QPainter column(&image);
        column.fillRect(QRect(x, 1, 1, 6), c.rgb());
    }
    QPainter p(&image);
    p.setPen(QColor(0xA9, 0xB5, 0xC1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 123, 7);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage paintSliderThumb()
{
    QImage image = blank(11, 14);
    QPainter p(&image);
    smooth(p);
    QPainterPath pointer;
    pointer.moveTo(0.5, 1.5);
    pointer.quadTo(0.5, 0.5, 1.5, 0.5);
    pointer.lineTo(9.5, 0.5);
    pointer.quadTo(10.5, 0.5, 10.5, 1.5);
    pointer.lineTo(10.5, 8.5);
    pointer.lineTo(5.5, 13.5);
    pointer.lineTo(0.5, 8.5);
    pointer.closeSubpath();
    p.setPen(QPen(tone::inkSoft, 1));
    p.setBrush(vertical(0, 14, Qt::white, QColor(0xD8, 0xE3, 0xEE)));
    p.drawPath(pointer);
    p.setPen(QPen(tone::accent, 1));
    p.drawLine(QPointF(5.5, 3), QPointF(5.5, 8));
    return image;
}

}  // namespace skingen
