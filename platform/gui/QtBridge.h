#pragma once
// The Qt side of the platform types, for code inside platform/ only (native controls, dialogs,
// tests of this layer). Nothing outside platform/ includes this header.
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Font.h"
#include "platform/gui/Image.h"
#include "platform/gui/Window.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

class QWidget;

namespace platform {

struct Image::Data {
    QImage image;  // Format_ARGB32 (straight alpha), Format_ARGB32_Premultiplied or Format_RGB32
    bool premultiplied = false;
};

struct DeviceContext::Impl {
    QImage image;  // Format_ARGB32_Premultiplied, the size of the area
    QPainter painter;
};

// The widget behind a window (never null while the window exists).
QWidget* widgetOf(Window& window);

inline QRect toQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
inline RECT toRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QColor toQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline QString toQString(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }
inline QFont toQFont(const Font& font)
{
    QFont f(toQString(font.face));
    f.setPixelSize(font.pixelSize());
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    return f;
}

}  // namespace platform
