// The window chrome and the control strips: caption buttons, tabs, tool buttons, push buttons,
// swatches, the header decoration.
#include "tools/skingen/SkinArt.h"

#include <QPainterPath>

#include <cmath>
#include <cstring>

namespace skingen {
namespace {

bool is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// A rectangle whose top edge is flush and whose bottom corners are rounded: caption buttons hang
// from the window's top edge.
QPainterPath hangingShape(QRectF r, double radius)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right(), r.top());
    path.lineTo(r.right(), r.bottom() - radius);
    path.quadTo(r.right(), r.bottom(), r.right() - radius, r.bottom());
    path.lineTo(r.left() + radius, r.bottom());
    path.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - radius);
    path.closeSubpath();
    return path;
}

void drawGear(QPainter& p, QPointF centre, double outer, double inner, double hole, QColor from, QColor to,
              QColor border, int teeth = 8)
{
    QPainterPath gear;
    const double step = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const double a = i * step - M_PI / 2;
        const double points[4][2] = {{a - step * 0.30, inner}, {a - step * 0.17, outer},
                                     {a + step * 0.17, outer}, {a + step * 0.30, inner}};
        for (int k = 0; k < 4; ++k) {
            const QPointF pt(centre.x() + std::cos(points[k][0]) * points[k][1],
                             centre.y() + std::sin(points[k][0]) * points[k][1]);
            if (i == 0 && k == 0)
                gear.moveTo(pt);
            else
                gear.lineTo(pt);
        }
    }
    gear.closeSubpath();
    QPainterPath holePath;
    holePath.addEllipse(centre, hole, hole);
    gear = gear.subtracted(holePath);
    p.setPen(QPen(border, 1));
    p.setBrush(vertical(centre.y() - outer, centre.y() + outer, from, to));
    p.drawPath(gear);
}

// Tab pictures, 32 x 32 with their origin at the top-left of the icon box.
void tabIcon(QPainter& p, const char* icon)
{
    if (is(icon, "movie")) {
        const QRectF body(2.5, 5.5, 27, 21);
        p.setPen(QPen(tone::accentDark, 1));
        p.setBrush(vertical(5, 27, tone::accentLight, tone::accent));
        p.drawRoundedRect(body, 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(Qt::white, 230));
        for (int i = 0; i < 6; ++i) {
            p.drawRoundedRect(QRectF(5 + i * 4.2, 7.5, 2.4, 2.4), 0.6, 0.6);
            p.drawRoundedRect(QRectF(5 + i * 4.2, 22.1, 2.4, 2.4), 0.6, 0.6);
        }
        QPainterPath play;
        play.moveTo(13, 11.5);
        play.lineTo(21.5, 16);
        play.lineTo(13, 20.5);
        play.closeSubpath();
        p.setBrush(Qt::white);
        p.setPen(glyphPen(Qt::white, 1.2));
        p.drawPath(play);
    } else if (is(icon, "profile")) {
        QPainterPath sheet;
        sheet.moveTo(6.5, 2.5);
        sheet.lineTo(20.5, 2.5);
        sheet.lineTo(26.5, 8.5);
        sheet.lineTo(26.5, 29.5);
        sheet.lineTo(6.5, 29.5);
        sheet.closeSubpath();
        p.setPen(QPen(tone::inkSoft, 1));
        p.setBrush(vertical(2, 30, Qt::white, QColor(0xEE, 0xF3, 0xF8)));
        p.drawPath(sheet);
        p.setBrush(QColor(0xD8, 0xE2, 0xEC));
        QPainterPath fold;
        fold.moveTo(20.5, 2.5);
        fold.lineTo(20.5, 8.5);
        fold.lineTo(26.5, 8.5);
        fold.closeSubpath();
        p.drawPath(fold);
        // Three setting rows, each a track with a knob.
        const double knobs[3] = {18, 12, 21};
        for (int i = 0; i < 3; ++i) {
            const double y = 13 + i * 5.5;
            p.setPen(glyphPen(QColor(0xB5, 0xC2, 0xCF), 1.6));
            p.drawLine(QPointF(10, y), QPointF(23, y));
            p.setPen(QPen(tone::accentDark, 1));
            p.setBrush(vertical(y - 2.2, y + 2.2, tone::accentLight, tone::accent));
            p.drawEllipse(QPointF(knobs[i], y), 2.3, 2.3);
        }
    } else if (is(icon, "set")) {
        drawGear(p, QPointF(16, 16), 13.5, 10.5, 4.2, tone::accentLight, tone::accent, tone::accentDark, 9);
        p.setPen(QPen(withAlpha(Qt::white, 160), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 7.2, 7.2);
    } else {  // about
        p.setPen(QPen(tone::accentDark, 1));
        p.setBrush(vertical(3, 29, tone::accentLight, tone::accent));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
        p.drawRoundedRect(QRectF(14.1, 13.5, 3.8, 11), 1.4, 1.4);
    }
}

void badgeGlyph(QPainter& p, const char* glyph, QPointF c, QColor ink)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(ink, 2.2));
    if (is(glyph, "accept")) {
        QPainterPath tick;
        tick.moveTo(c.x() - 4.2, c.y() + 0.2);
        tick.lineTo(c.x() - 1.2, c.y() + 3.2);
        tick.lineTo(c.x() + 4.4, c.y() - 3.2);
        p.drawPath(tick);
    } else if (is(glyph, "return")) {
        QPainterPath back;
        back.moveTo(c.x() + 3.8, c.y() + 4.2);
        back.cubicTo(c.x() + 5.2, c.y() - 1.5, c.x() + 1.5, c.y() - 3.2, c.x() - 3.2, c.y() - 2.2);
        p.drawPath(back);
        QPainterPath head;
        head.moveTo(c.x() - 0.6, c.y() - 5.2);
        head.lineTo(c.x() - 4, c.y() - 2.2);
        head.lineTo(c.x() - 0.6, c.y() + 0.8);
        p.drawPath(head);
    } else if (is(glyph, "add")) {
        p.drawLine(QPointF(c.x() - 4.5, c.y()), QPointF(c.x() + 4.5, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - 4.5), QPointF(c.x(), c.y() + 4.5));
    } else {  // del
        p.drawLine(QPointF(c.x() - 3.6, c.y() - 3.6), QPointF(c.x() + 3.6, c.y() + 3.6));
        p.drawLine(QPointF(c.x() + 3.6, c.y() - 3.6), QPointF(c.x() - 3.6, c.y() + 3.6));
    }
}

QColor badgeColor(const char* glyph)
{
    if (is(glyph, "accept"))
        return tone::good;
    if (is(glyph, "del"))
        return tone::bad;
    if (is(glyph, "return"))
        return QColor(0x72, 0x86, 0x9A);
    return tone::accent;
}

QColor fromColorRef(unsigned value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

}  // namespace

QImage paintBackground()
{
    QImage image = blank(628, 96);
    QPainter p(&image);
    smooth(p);
    // A pale band behind the title and the caption buttons.
    p.fillRect(QRectF(0, 0, 628, 20), vertical(0, 20, withAlpha(Qt::white, 120), withAlpha(Qt::white, 40)));
    p.setPen(QPen(withAlpha(Qt::white, 150), 1));
    p.drawLine(QPointF(0, 20.5), QPointF(628, 20.5));
    // Two broad soft sweeps of light across the header; white over any skin colour keeps its hue.
    for (int i = 0; i < 2; ++i) {
        QPainterPath sweep;
        const double y0 = 58 + i * 18;
        sweep.moveTo(0, y0);
        sweep.cubicTo(180, y0 - 46 + i * 10, 380, y0 + 30, 628, y0 - 40 + i * 6);
        sweep.lineTo(628, 96);
        sweep.lineTo(0, 96);
        sweep.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(vertical(20, 96, withAlpha(Qt::white, 34 + i * 10), withAlpha(Qt::white, 8)));
        p.drawPath(sweep);
    }
    // A round glow at the top right, where the caption buttons sit.
    QRadialGradient glow(QPointF(560, 10), 150);
    glow.setColorAt(0, withAlpha(Qt::white, 90));
    glow.setColorAt(1, withAlpha(Qt::white, 0));
    p.fillRect(QRectF(300, 0, 328, 96), glow);
    return image;
}

QImage paintCaptionButton(const char* glyph, int width, bool small)
{
    const bool close = is(glyph, "close");
    return strip(width, 18, [&](QPainter& p, State s) {
        const QRectF shape(0.5, 0, width - 1, 17.5);
        QColor ink = tone::ink;
        if (s == State::Hover || s == State::Pressed) {
            QColor face = close ? (s == State::Hover ? QColor(0xE8, 0x4E, 0x42) : QColor(0xC0, 0x36, 0x2C))
                                : (s == State::Hover ? withAlpha(Qt::white, 200)
                                                     : withAlpha(QColor(0xD6, 0xE6, 0xF5), 235));
            QColor border = close ? QColor(0xA8, 0x2E, 0x25) : withAlpha(tone::lineHot, 200);
            p.setPen(QPen(border, 1));
            p.setBrush(face);
            p.drawPath(hangingShape(shape, 4));
            if (close)
                ink = Qt::white;
        } else if (s == State::Disabled) {
            ink = tone::disabledInk;
        }
        const QPointF c(width / 2.0, 8.5);
        const double r = small ? 3.4 : 4.0;
        p.setBrush(Qt::NoBrush);
        p.setPen(glyphPen(ink, 1.7));
        if (close) {
            p.drawLine(QPointF(c.x() - r, c.y() - r), QPointF(c.x() + r, c.y() + r));
            p.drawLine(QPointF(c.x() + r, c.y() - r), QPointF(c.x() - r, c.y() + r));
        } else if (is(glyph, "min")) {
            p.drawLine(QPointF(c.x() - r, c.y() + 3), QPointF(c.x() + r, c.y() + 3));
        } else {  // menu: hide to the notification area, an arrow down onto a tray
            p.drawLine(QPointF(c.x() - 4.5, c.y() + 4.5), QPointF(c.x() + 4.5, c.y() + 4.5));
            p.drawLine(QPointF(c.x(), c.y() - 4.5), QPointF(c.x(), c.y() + 1.5));
            QPainterPath head;
            head.moveTo(c.x() - 3, c.y() - 1.5);
            head.lineTo(c.x(), c.y() + 1.5);
            head.lineTo(c.x() + 3, c.y() - 1.5);
            p.drawPath(head);
        }
    });
}

QImage paintTab(const char* icon)
{
    QImage picture = blank(32, 32);
    {
        QPainter p(&picture);
        smooth(p);
        tabIcon(p, icon);
    }
    // A soft shadow under the icon keeps it legible on any skin colour.
    QImage shadow = blank(32, 32);
    {
        QPainter p(&shadow);
        p.drawImage(0, 0, picture);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(shadow.rect(), QColor(0, 30, 60, 60));
    }
    const QImage grey = desaturated(picture, 0.55);
    return strip(74, 68, [&](QPainter& p, State s) {
        if (s == State::Hover || s == State::Pressed) {
            const bool pressed = s == State::Pressed;
            p.setPen(QPen(withAlpha(pressed ? tone::accentDark : Qt::white, pressed ? 110 : 170), 1));
            p.setBrush(vertical(2, 66, withAlpha(Qt::white, pressed ? 235 : 120),
                                withAlpha(Qt::white, pressed ? 200 : 40)));
            p.drawRoundedRect(QRectF(2.5, 2.5, 69, 64), 5, 5);
        }
        if (s == State::Disabled) {
            p.drawImage(21, 9, grey);
            return;
        }
        const int lift = s == State::Pressed ? 1 : 0;
        p.drawImage(21, 10 + lift, shadow);
        p.drawImage(21, 8 + lift, picture);
    });
}

QImage paintToolButton(const char* glyph)
{
    return strip(24, 24, [&](QPainter& p, State s) {
        QColor base = s == State::Disabled ? QColor(0xC4, 0xCA, 0xD0) : badgeColor(glyph);
        const double lift = s == State::Pressed ? 0.8 : 0;
        const QPointF c(12, 12 + lift);
        if (s == State::Hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(base, 50));
            p.drawEllipse(c, 11.5, 11.5);
            base = base.lighter(112);
        } else if (s == State::Pressed) {
            base = base.darker(115);
        }
        p.setPen(QPen(base.darker(125), 1));
        p.setBrush(vertical(c.y() - 9, c.y() + 9, base.lighter(135), base));
        p.drawEllipse(c, 9, 9);
        badgeGlyph(p, glyph, c, s == State::Disabled ? QColor(0xF6, 0xF7, 0xF8) : Qt::white);
    });
}

QImage paintColorButton()
{
    const QColor quarters[4] = {tone::accent, QColor(0xF0, 0x8A, 0x3C), QColor(0x4C, 0xB8, 0x6E),
                                QColor(0xD9, 0x4F, 0x9A)};
    return strip(18, 18, [&](QPainter& p, State s) {
        const QPointF c(9, 9);
        if (s == State::Hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(Qt::white, 140));
            p.drawEllipse(c, 8.8, 8.8);
        }
        const double r = s == State::Pressed ? 6.2 : 6.8;
        for (int i = 0; i < 4; ++i) {
            QColor q = s == State::Disabled ? QColor(0xC8, 0xCC, 0xD0).lighter(100 + i * 5) : quarters[i];
            if (s == State::Pressed)
                q = q.darker(112);
            p.setPen(Qt::NoPen);
            p.setBrush(q);
            p.drawPie(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 90 * 16 * i, 90 * 16);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawEllipse(c, r, r);
        p.setPen(QPen(withAlpha(tone::ink, s == State::Disabled ? 60 : 110), 1));
        p.drawEllipse(c, r + 1.2, r + 1.2);
    });
}

QImage paintAddTip()
{
    QImage image = blank(44, 44);
    QPainter p(&image);
    smooth(p);
    // A small light bulb: the hint that the line beside it tells what to do next.
    QRadialGradient glass(QPointF(20, 15), 12);
    glass.setColorAt(0, QColor(0xFF, 0xF1, 0xB8));
    glass.setColorAt(1, QColor(0xF5, 0xBE, 0x3C));
    QPainterPath bulb;
    bulb.addEllipse(QPointF(22, 19), 9.5, 9.5);
    QPainterPath neck;
    neck.addRoundedRect(QRectF(17.5, 24, 9, 6), 2, 2);
    bulb = bulb.united(neck);
    p.setPen(QPen(QColor(0xC8, 0x8A, 0x1E), 1));
    p.setBrush(glass);
    p.drawPath(bulb);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(30, 37, QColor(0x9A, 0xA6, 0xB2), QColor(0x6E, 0x7C, 0x89)));
    p.drawRoundedRect(QRectF(17.5, 30, 9, 6.5), 1.8, 1.8);
    p.setPen(QPen(withAlpha(Qt::white, 170), 1));
    p.drawLine(QPointF(18.5, 33.2), QPointF(25.5, 33.2));
    p.setPen(glyphPen(withAlpha(Qt::white, 200), 1.6));
    p.drawArc(QRectF(16, 13, 8, 8), 100 * 16, 80 * 16);
    p.setPen(glyphPen(QColor(0xF0, 0xA8, 0x30), 1.5));
    p.drawLine(QPointF(22, 3.5), QPointF(22, 6));
    p.drawLine(QPointF(9.5, 9), QPointF(11.5, 10.8));
    p.drawLine(QPointF(34.5, 9), QPointF(32.5, 10.8));
    p.drawLine(QPointF(7, 19), QPointF(9.5, 19));
    p.drawLine(QPointF(37, 19), QPointF(34.5, 19));
    return image;
}

QImage paintPushButton(bool emphasised)
{
    return strip(69, 21, [&](QPainter& p, State s) {
        const QRectF r(0, 0, 69, 21);
        switch (s) {
        case State::Normal:
            if (emphasised)
                roundedFace(p, r, 3, QColor(0xF2, 0xF9, 0xFF), QColor(0xC4, 0xE1, 0xF8), QColor(0x5C, 0x9E, 0xD6));
            else
                roundedFace(p, r, 3, tone::faceTop, tone::faceBottom, tone::line);
            break;
        case State::Hover:
            if (emphasised)
                roundedFace(p, r, 3, QColor(0xFA, 0xFD, 0xFF), QColor(0xAE, 0xD6, 0xF6), tone::linePressed);
            else
                roundedFace(p, r, 3, tone::hotTop, tone::hotBottom, tone::lineHot);
            break;
        case State::Pressed:
            if (emphasised)
                roundedFace(p, r, 3, QColor(0x9C, 0xCB, 0xF0), QColor(0xC8, 0xE3, 0xF8), tone::accentDark);
            else
                roundedFace(p, r, 3, tone::pressedTop, tone::pressedBottom, tone::linePressed);
            break;
        case State::Disabled:
            roundedFace(p, r, 3, tone::disabledFace, tone::disabledFace, tone::disabledLine);
            break;
        }
    });
}

QImage paintMenuButton()
{
    const QImage faces = paintPushButton(true);
    return strip(20, 21, [&](QPainter& p, State s) {
        // The same faces as the start button beside it, cut down to 20 pixels with both ends rounded.
        // Cut in the faces' own pixels, which are the paint scale's multiple of the catalogue's.
        const int k = paintScale();
        const QImage face = faces.copy(int(s) * 69 * k, 0, 69 * k, 21 * k);
        p.drawImage(QRectF(0, 0, 10, 21), face, QRectF(0, 0, 10 * k, 21 * k));
        p.drawImage(QRectF(10, 0, 10, 21), face, QRectF(59 * k, 0, 10 * k, 21 * k));
        QPainterPath chevron;
        chevron.moveTo(6.5, 8.5);
        chevron.lineTo(10, 12);
        chevron.lineTo(13.5, 8.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(glyphPen(s == State::Disabled ? tone::disabledInk : tone::ink, 1.6));
        p.drawPath(chevron);
    });
}

QImage paintConfigButton()
{
    return strip(22, 22, [&](QPainter& p, State s) {
        if (s == State::Hover)
            roundedFace(p, QRectF(0, 0, 22, 22), 3, tone::hotTop, tone::hotBottom, tone::lineHot);
        else if (s == State::Pressed)
            roundedFace(p, QRectF(0, 0, 22, 22), 3, tone::pressedTop, tone::pressedBottom, tone::linePressed);
        const bool off = s == State::Disabled;
        drawGear(p, QPointF(11, 11), 8, 6, 2.6, off ? QColor(0xD4, 0xD8, 0xDC) : tone::accentLight,
                 off ? QColor(0xC0, 0xC6, 0xCC) : tone::accent, off ? tone::disabledLine : tone::accentDark, 8);
    });
}

QImage paintSwatch(int preset)
{
    // The preset colour pairs of the skin, as stored colour values (0x00BBGGRR).
    static const unsigned kPresets[10][2] = {
        {0xF9C232, 0xF7B300}, {0xEDA863, 0xE9933D}, {0xE48A4E, 0xDE6D23}, {0x6FF7DB, 0x0FF1C2},
        {0xBF8484, 0xB06666}, {0x51BD87, 0x27AD6A}, {0xE44D99, 0xDD2280}, {0xE44DC6, 0xDD22B8},
        {0x7A4DE4, 0x5A22DD}, {0x999999, 0x808080},
    };
    const QColor first = fromColorRef(kPresets[preset][0]);
    const QColor second = fromColorRef(kPresets[preset][1]);
    QImage face = blank(30, 30);
    {
        QPainter p(&face);
        smooth(p);
        p.setPen(QPen(second.darker(135), 1));
        p.setBrush(vertical(3, 27, first.lighter(112), second));
        p.drawRoundedRect(QRectF(3.5, 3.5, 23, 23), 4, 4);
        p.setPen(QPen(withAlpha(Qt::white, 120), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(4.5, 4.5, 21, 21), 3, 3);
    }
    const QImage grey = desaturated(face, 0.6);
    return strip(30, 30, [&](QPainter& p, State s) {
        if (s == State::Disabled) {
            p.drawImage(0, 0, grey);
            return;
        }
        if (s == State::Hover || s == State::Pressed) {
            p.setPen(QPen(s == State::Pressed ? QColor(0x20, 0x34, 0x4A) : tone::lineHot, 1.6));
            p.setBrush(s == State::Pressed ? QBrush(Qt::white) : QBrush(withAlpha(Qt::white, 150)));
            p.drawRoundedRect(QRectF(1, 1, 28, 28), 5.5, 5.5);
        }
        p.drawImage(0, 0, face);
        if (s == State::Pressed) {
            // The chosen swatch carries a tick in its lower right corner.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x20, 0x34, 0x4A));
            p.drawEllipse(QPointF(22, 22), 5, 5);
            QPainterPath tick;
            tick.moveTo(19.6, 22.2);
            tick.lineTo(21.4, 24);
            tick.lineTo(24.6, 20.4);
            p.setBrush(Qt::NoBrush);
            p.setPen(glyphPen(Qt::white, 1.4));
            p.drawPath(tick);
        }
    });
}

}  // namespace skingen
