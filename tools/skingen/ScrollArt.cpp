// The two scroll-bar sheets: the parts of the list scroll bars (15 x 15, with alpha) and the skin
// of the native views' scroll bars (16 x 16 cells at a 19-pixel pitch, opaque 24-bit). Every part is
// drawn for a vertical bar; the horizontal parts are the same pictures transposed, so both bars
// match pixel for pixel.
#include "tools/skingen/SkinArt.h"
#include "tools/skingen/SkinCatalogue.h"

namespace skingen {
namespace {

enum class Look { Normal = 0, Hot = 1, Pressed = 2 };

const QColor kTrack{0xF1, 0xF4, 0xF7};
const QColor kTrackEdge{0xE0, 0xE6, 0xEC};

struct ThumbColors {
    QColor fill;
    QColor border;
};

ThumbColors thumbColors(Look look)
{
    switch (look) {
    case Look::Hot: return {QColor(0xA8, 0xCC, 0xEC), QColor(0x7F, 0xB0, 0xDD)};
    case Look::Pressed: return {QColor(0x78, 0xAE, 0xE0), QColor(0x4C, 0x8C, 0xCA)};
    default: return {QColor(0xC9, 0xD2, 0xDB), QColor(0xAD, 0xB8, 0xC3)};
    }
}

// Swaps x and y: a vertical part becomes the matching horizontal one.
QImage transposed(const QImage& source)
{
    QImage out(source.height(), source.width(), source.format());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            out.setPixel(y, x, source.pixel(x, y));
    out.setDevicePixelRatio(source.devicePixelRatio());
    return out;
}

// An arrow of a vertical bar: up when first, down otherwise. With a null background the part is
// transparent around its face (the list scroll bar draws it over its track).
QImage arrowPart(int size, bool first, Look look, QColor background)
{
    QImage image = blank(size, size, background);
    QPainter p(&image);
    smooth(p);
    const double s = size;
    if (look != Look::Normal) {
        const bool pressed = look == Look::Pressed;
        p.setPen(QPen(pressed ? QColor(0x6F, 0xA6, 0xD8) : QColor(0xA9, 0xCD, 0xEE), 1));
        p.setBrush(pressed ? QColor(0xC3, 0xDD, 0xF3) : QColor(0xE3, 0xEF, 0xFA));
        p.drawRoundedRect(QRectF(1.5, 1.5, s - 3, s - 3), 2.5, 2.5);
    }
    const double cx = s / 2;
    const double cy = s / 2 + (first ? 0.5 : -0.5);
    const double w = s * 0.22;
    const double h = s * 0.12;
    QPainterPath chevron;
    chevron.moveTo(cx - w, cy + (first ? h : -h));
    chevron.lineTo(cx, cy + (first ? -h : h));
    chevron.lineTo(cx + w, cy + (first ? h : -h));
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(look == Look::Normal ? tone::inkSoft : tone::accentDark, s >= 16 ? 1.8 : 1.6));
    p.drawPath(chevron);
    return image;
}

// A thumb of a vertical bar filling the part from top to bottom: the rounded ends sit inside the
// caps, the middle is uniform so it can be repeated. capless draws only the middle (for the grip).
QImage thumbPart(int width, int height, double inset, double radius, Look look, QColor background, bool capless)
{
    QImage image = blank(width, height, background);
    QPainter p(&image);
    smooth(p);
    const ThumbColors c = thumbColors(look);
    QLinearGradient across(inset, 0, width - inset, 0);
    across.setColorAt(0, c.fill.lighter(108));
    across.setColorAt(1, c.fill.darker(104));
    p.setPen(QPen(c.border, 1));
    p.setBrush(across);
    const double extra = capless ? radius + 2 : 0;
    p.drawRoundedRect(QRectF(inset + 0.5, 0.5 - extra, width - 2 * inset - 1, height - 1 + 2 * extra), radius, radius);
    return image;
}

QImage gripPart(int size, double inset, double radius, Look look, QColor background)
{
    QImage image = thumbPart(size, size, inset, radius, look, background, true);
    QPainter p(&image);
    const ThumbColors c = thumbColors(look);
    for (int i = 0; i < 3; ++i) {
        const int y = size / 2 - 3 + i * 2;
        p.setPen(c.border.darker(110));
        p.drawLine(size / 2 - 3, y, size / 2 + 2, y);
        p.setPen(c.fill.lighter(125));
        p.drawLine(size / 2 - 3, y + 1, size / 2 + 2, y + 1);
    }
    return image;
}

// A vertical track: uniform from top to bottom so it stretches cleanly, a faint line on its inner
// edge.
QImage trackPart(int width, int height, Look look)
{
    QColor fill = kTrack;
    if (look == Look::Hot)
        fill = QColor(0xEA, 0xF1, 0xF8);
    else if (look == Look::Pressed)
        fill = QColor(0xDC, 0xE8, 0xF4);
    QImage image = blank(width, height, fill);
    QPainter p(&image);
    p.setPen(kTrackEdge);
    p.drawLine(0, 0, 0, height - 1);
    return image;
}

void place(QPainter& p, int x, int y, const QImage& part, bool horizontal)
{
    p.drawImage(x, y, horizontal ? transposed(part) : part);
}

}  // namespace

QImage paintListScrollParts()
{
    const int c = kListScrollPart;
    QImage sheet = blank(6 * c, 3 * c + c + 2);
    QPainter p(&sheet);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int look = 0; look < 3; ++look) {
        const Look l = Look(look);
        for (int h = 0; h < 2; ++h) {
            const bool horizontal = h == 1;
            const int x = (look + 3 * h) * c;
            place(p, x, 0, arrowPart(c, true, l, Qt::transparent), horizontal);
            place(p, x, c, arrowPart(c, false, l, Qt::transparent), horizontal);
            // List thumbs have 2-pixel caps, so their ends are rounded by 2 pixels.
            place(p, x, 2 * c, thumbPart(c, c, 3, 2, l, Qt::transparent, false), horizontal);
        }
    }
    // Tracks: the vertical one cx + 2 wide and cy high, the horizontal one cx wide and cy + 2 high.
    place(p, 0, 3 * c, trackPart(c + 2, c, Look::Normal), false);
    place(p, c + 2, 3 * c, trackPart(c + 2, c, Look::Normal), true);
    return sheet;
}

QImage paintScrollSkin()
{
    const int pitch = kScrollSkinPitch;
    const int cell = kScrollSkinCell;
    QImage sheet = blank(6 * pitch, 6 * pitch, Qt::white);
    QPainter p(&sheet);
    for (int row = 0; row < 6; ++row) {
        const bool horizontal = row >= 3;
        const Look look = Look(row % 3);
        const int y = row * pitch;
        place(p, 0 * pitch, y, arrowPart(cell, true, look, kTrack), horizontal);
        place(p, 1 * pitch, y, arrowPart(cell, false, look, kTrack), horizontal);
        // Thumb body: 4-pixel caps at both ends and an 8-pixel middle from offset 4.
        place(p, 2 * pitch, y, thumbPart(cell, cell, 3, 3, look, kTrack, false), horizontal);
        place(p, 3 * pitch, y, gripPart(cell, 3, 3, look, kTrack), horizontal);
        place(p, 4 * pitch, y, trackPart(cell, cell, look), horizontal);
        place(p, 5 * pitch, y, trackPart(cell, cell, Look::Normal), horizontal);
    }
    p.end();
    return sheet.convertToFormat(QImage::Format_RGB32);
}

}  // namespace skingen
