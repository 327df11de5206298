#pragma once
// The painters of the skin: one function per picture (or per family of pictures), and the few
// helpers they share so that every picture takes its colours, corner radii and strokes from one
// place. All painting is QImage + QPainter with no window system, so the generator runs anywhere
// the build runs.
#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace skingen {

// The palette: soft greys and whites, one blue accent, and the dark navy the controls write with.
namespace tone {
inline const QColor accent{0x2B, 0x8A, 0xD6};
inline const QColor accentLight{0x6F, 0xB6, 0xEC};
inline const QColor accentDark{0x1C, 0x63, 0xA6};
inline const QColor ink{0x30, 0x3C, 0x48};        // glyph strokes
inline const QColor inkSoft{0x6E, 0x7C, 0x89};
inline const QColor line{0xA9, 0xB5, 0xC1};       // resting borders
inline const QColor lineHot{0x5E, 0xA3, 0xDC};
inline const QColor linePressed{0x3A, 0x7F, 0xC0};
inline const QColor faceTop{0xFF, 0xFF, 0xFF};
inline const QColor faceBottom{0xE8, 0xED, 0xF2};
inline const QColor hotTop{0xFA, 0xFD, 0xFF};
inline const QColor hotBottom{0xDB, 0xEC, 0xFA};
inline const QColor pressedTop{0xC9, 0xDF, 0xF3};
inline const QColor pressedBottom{0xE4, 0xF0, 0xFA};
inline const QColor disabledFace{0xF2, 0xF3, 0xF4};
inline const QColor disabledLine{0xCF, 0xD3, 0xD7};
inline const QColor disabledInk{0xB4, 0xBA, 0xC0};
inline const QColor good{0x2E, 0xA6, 0x5A};
inline const QColor bad{0xD9, 0x44, 0x3A};
inline const QColor warm{0xF0, 0xA8, 0x30};
}  // namespace tone

// The four states of a strip, in strip order.
enum class State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

// The scale the pictures are painted at: 1 for the pictures the catalogue lists, 2 for their
// "@2x" twins for screens with a device-pixel ratio of 2. Every painter works in the catalogue's
// pixels either way: blank() makes a picture of scale times the size with that device-pixel
// ratio, so a painter drawing on it draws at the scale by itself.
void setPaintScale(int scale);
int paintScale();

// A transparent ARGB32 picture of width x height catalogue pixels (at the paint scale), with
// antialiasing switched on by the painter helpers.
QImage blank(int width, int height, QColor fill = Qt::transparent);
// Lays out four frames side by side, asking paintFrame for each state with the painter's origin at
// the frame's top-left and the clip set to the frame.
QImage strip(int frameWidth, int frameHeight, const std::function<void(QPainter&, State)>& paintFrame);
void smooth(QPainter& p);
QLinearGradient vertical(double top, double bottom, QColor from, QColor to);
// A rounded face with a one-pixel border, the shape of every push button: rect in pixels, the
// border drawn on the pixel centres inside it.
void roundedFace(QPainter& p, QRectF rect, double radius, QColor top, QColor bottom, QColor border);
// A round-capped pen for glyphs.
QPen glyphPen(QColor color, double width);
// Draws text in the tiny 3 x 5 pixel face of the type icons (capitals, digits). Returns its width.
int pixelTextWidth(const char* text);
void pixelText(QImage& image, int x, int y, const char* text, QRgb color);
// A grey version of a picture, for disabled frames.
QImage desaturated(const QImage& image, double opacity);

// One painter per picture or family; the generator maps each catalogue name to one of these.
QImage paintBackground();
QImage paintCaptionButton(const char* glyph, int width, bool small);  // "close", "min", "menu"
QImage paintTab(const char* icon);                                     // "movie", "profile", "set", "about"
QImage paintToolButton(const char* glyph);                             // "accept", "return", "add", "del"
QImage paintColorButton();
QImage paintAddTip();
QImage paintPushButton(bool emphasised);
QImage paintMenuButton();
QImage paintConfigButton();
QImage paintStatusIcon(const char* kind);                              // "wait", "error", "complete"
QImage paintMessageIcon(const char* kind);                             // "info", "error", "question"
QImage paintLogo(int size);
QImage paintWordMark();
QImage paintSwatch(int preset);
QImage paintSliderTrack(const char* which);                            // "hue", "sum", "lum"
QImage paintSliderThumb();
QImage paintProfileIcons();
QImage paintListScrollParts();
QImage paintScrollSkin();
QList<QImage> paintBusyFrames();

}  // namespace skingen
