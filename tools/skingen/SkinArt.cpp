// Helpers shared by every painter of the skin.
#include "tools/skingen/SkinArt.h"

#include <cstring>

namespace skingen {

namespace {
int g_paintScale = 1;
}  // namespace

void setPaintScale(int scale) { g_paintScale = scale < 1 ? 1 : scale; }
int paintScale() { return g_paintScale; }

QImage blank(int width, int height, QColor fill)
{
    QImage image(width * g_paintScale, height * g_paintScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(g_paintScale);
    image.fill(fill);
    return image;
}

void smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QImage strip(int frameWidth, int frameHeight, const std::function<void(QPainter&, State)>& paintFrame)
{
    QImage image = blank(frameWidth * 4, frameHeight);
    QPainter p(&image);
    smooth(p);
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(i * frameWidth, 0);
        p.setClipRect(0, 0, frameWidth, frameHeight);
        paintFrame(p, State(i));
        p.restore();
    }
    return image;
}

QLinearGradient vertical(double top, double bottom, QColor from, QColor to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

void roundedFace(QPainter& p, QRectF rect, double radius, QColor top, QColor bottom, QColor border)
{
    const QRectF inner = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(border, 1));
    p.setBrush(vertical(rect.top(), rect.bottom(), top, bottom));
    p.drawRoundedRect(inner, radius, radius);
    // A faint inner highlight along the top edge gives the face its soft lift.
    QColor shine = Qt::white;
    shine.setAlpha(150);
    p.setPen(QPen(shine, 1));
    p.drawLine(QPointF(inner.left() + radius, inner.top() + 1), QPointF(inner.right() - radius, inner.top() + 1));
}

QPen glyphPen(QColor color, double width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QImage desaturated(const QImage& image, double opacity)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = line[x];
            const int grey = (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100;
            const int lifted = grey + (255 - grey) * 2 / 5;  // disabled pictures sit lighter
            line[x] = qRgba(lifted, lifted, lifted, int(qAlpha(c) * opacity));
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

namespace {

// The tiny face of the type icons: five rows per glyph, '#' is ink. Most glyphs are three pixels
// wide; M and W need five to stay readable.
struct PixelGlyph {
    char ch;
    const char* rows[5];
};

constexpr PixelGlyph kGlyphs[] = {
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"##.", "..#", ".#.", "#..", "###"}}, {'3', {"##.", "..#", ".#.", "..#", "##."}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "##.", "..#", "##."}},
    {'6', {".##", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", ".#.", ".#.", ".#."}},
    {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "##."}},
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {".##", "#..", "#..", "#..", ".##"}}, {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}}, {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'G', {".##", "#..", "#.#", "#.#", ".##"}}, {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'J', {"..#", "..#", "..#", "#.#", ".#."}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}}, {'L', {"#..", "#..", "#..", "#..", "###"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}}, {'N', {"#.#", "###", "###", "#.#", "#.#"}},
    {'O', {".#.", "#.#", "#.#", "#.#", ".#."}}, {'P', {"##.", "#.#", "##.", "#..", "#.."}},
    {'R', {"##.", "#.#", "##.", "#.#", "#.#"}}, {'S', {".##", "#..", ".#.", "..#", "##."}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}}, {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
    {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}}, {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}}, {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
};

const PixelGlyph* findGlyph(char ch)
{
    for (const PixelGlyph& g : kGlyphs)
        if (g.ch == ch)
            return &g;
    return nullptr;
}

}  // namespace

int pixelTextWidth(const char* text)
{
    int width = 0;
    for (const char* c = text; *c; ++c) {
        const PixelGlyph* g = findGlyph(*c);
        width += (g ? int(std::strlen(g->rows[0])) : 2) + (c[1] ? 1 : 0);
    }
    return width;
}

void pixelText(QImage& image, int x, int y, const char* text, QRgb color)
{
    for (const char* c = text; *c; ++c) {
        const PixelGlyph* g = findGlyph(*c);
        if (!g) {
            x += 3;
            continue;
        }
        const int w = int(std::strlen(g->rows[0]));
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < w; ++col)
                if (g->rows[row][col] == '#' && image.valid(x + col, y + row))
                    image.setPixel(x + col, y + row, color);
        x += w + 1;
    }
}

}  // namespace skingen
