#include "platform/gui/DeviceContext.h"

#include "platform/gui/QtBridge.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>

namespace platform {

namespace {

int blend(int from, int to, int step, int steps)
{
    return from + (to - from) * step / steps;
}

// A one-pixel pen: one device pixel at ratio 1 (a cosmetic pen), one logical pixel above it, so
// that outlines keep their weight on a sharper screen.
QPen thinPen(COLORREF color, double ratio)
{
    return QPen(toQColor(color), ratio > 1.0 ? 1.0 : 0.0);
}

// A rectangle of an image's logical pixels in the image's stored pixels.
QRectF storedPixels(const QImage& image, const RECT& r)
{
    const double ratio = image.devicePixelRatio();
    return QRectF(r.left * ratio, r.top * ratio, r.width() * ratio, r.height() * ratio);
}

}  // namespace

DeviceContext::DeviceContext(const RECT& area, COLORREF background, double pixelRatio)
    : area_(area), impl_(std::make_unique<Impl>())
{
    const double ratio = std::max(pixelRatio, 1.0);
    impl_->image = QImage(std::max(qCeil(area.width() * ratio), 1), std::max(qCeil(area.height() * ratio), 1),
                          QImage::Format_ARGB32_Premultiplied);
    // The painter scales logical coordinates to the buffer's pixels by itself.
    impl_->image.setDevicePixelRatio(ratio);
    impl_->image.fill(toQColor(background));
    impl_->painter.begin(&impl_->image);
    // Drawing happens in logical coordinates; the buffer's first pixel is the area's top-left.
    impl_->painter.translate(-area.left, -area.top);
}

double DeviceContext::pixelRatio() const { return impl_->image.devicePixelRatio(); }

DeviceContext::~DeviceContext() = default;

void DeviceContext::line(COLORREF color, int x1, int y1, int x2, int y2)
{
    QPainter& p = impl_->painter;
    if (y1 == y2) {
        if (x1 != x2)
            p.fillRect(QRect(std::min(x1, x2 + 1), y1, std::abs(x2 - x1), 1), toQColor(color));
        return;
    }
    if (x1 == x2) {
        p.fillRect(QRect(x1, std::min(y1, y2 + 1), 1, std::abs(y2 - y1)), toQColor(color));
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(thinPen(color, pixelRatio()));
    p.drawLine(x1, y1, x2, y2);
    p.restore();
}

void DeviceContext::rectangle(COLORREF pen, COLORREF fill, bool hollow, int x1, int y1, int x2, int y2)
{
    const RECT r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    if (r.isEmpty())
        return;
    QPainter& p = impl_->painter;
    if (!hollow)
        p.fillRect(toQRect(r), toQColor(fill));
    const QColor c = toQColor(pen);
    p.fillRect(QRect(r.left, r.top, r.width(), 1), c);
    p.fillRect(QRect(r.left, r.bottom - 1, r.width(), 1), c);
    p.fillRect(QRect(r.left, r.top, 1, r.height()), c);
    p.fillRect(QRect(r.right - 1, r.top, 1, r.height()), c);
}

void DeviceContext::roundRect(COLORREF pen, COLORREF fill, bool hollow, const RECT& r, int ew, int eh)
{
    if (r.isEmpty())
        return;
    QPainter& p = impl_->painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(thinPen(pen, pixelRatio()));
    p.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(toQColor(fill)));
    p.drawRoundedRect(QRectF(r.left, r.top, r.width() - 1, r.height() - 1), ew / 2.0, eh / 2.0);
    p.restore();
}

void DeviceContext::fillSolid(const RECT& r, COLORREF color)
{
    if (!r.isEmpty())
        impl_->painter.fillRect(toQRect(r), toQColor(color));
}

void DeviceContext::gradient(const RECT& r, COLORREF first, COLORREF second, bool vertical)
{
    if (r.isEmpty())
        return;
    // One solid line per step: the first line is exactly `first`, as the gradient's end points say.
    const int steps = vertical ? r.height() : r.width();
    QPainter& p = impl_->painter;
    for (int i = 0; i < steps; ++i) {
        const QColor c(blend(GetRValue(first), GetRValue(second), i, steps),
                       blend(GetGValue(first), GetGValue(second), i, steps),
                       blend(GetBValue(first), GetBValue(second), i, steps));
        if (vertical)
            p.fillRect(QRect(r.left, r.top + i, r.width(), 1), c);
        else
            p.fillRect(QRect(r.left + i, r.top, 1, r.height()), c);
    }
}

void DeviceContext::drawImage(const Image& image, const RECT& dst, const RECT& src)
{
    blitImage(image, dst, src, false);
}

void DeviceContext::drawImageSmooth(const Image& image, const RECT& dst, const RECT& src)
{
    blitImage(image, dst, src, true);
}

void DeviceContext::blitImage(const Image& image, const RECT& dst, const RECT& src, bool smooth)
{
    if (image.isNull() || dst.isEmpty() || src.isEmpty())
        return;
    const QImage& picture = image.data()->image;
    QPainter& p = impl_->painter;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p.drawImage(QRectF(toQRect(dst)), picture, storedPixels(picture, src));
    p.restore();
}

void DeviceContext::drawImage(const Image& image, int x, int y)
{
    drawImage(image, RECT{x, y, x + image.width(), y + image.height()}, RECT{0, 0, image.width(), image.height()});
}

void DeviceContext::drawImageKeyed(const Image& image, const RECT& dst, const RECT& src, COLORREF key)
{
    if (image.isNull() || dst.isEmpty() || src.isEmpty())
        return;
    QImage part = image.data()->image.copy(storedPixels(image.data()->image, src).toRect())
                      .convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (keyRgb & 0xFFFFFF))
                line[x] = 0;
    }
    impl_->painter.drawImage(QRectF(toQRect(dst)), part, QRectF(part.rect()));
}

void DeviceContext::drawText(const std::string& text, const RECT& r, UINT flags, COLORREF color, const Font& font)
{
    if (text.empty() || r.isEmpty())
        return;
    const QFont qfont = toQFont(font);
    QString s = toQString(text);
    if (flags & DT_END_ELLIPSIS)
        s = QFontMetrics(qfont).elidedText(s, Qt::ElideRight, r.width());
    int align = (flags & DT_CENTER) ? Qt::AlignHCenter : (flags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        align |= Qt::TextSingleLine;
        align |= (flags & DT_VCENTER) ? Qt::AlignVCenter : (flags & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    } else {
        align |= Qt::AlignTop;
    }
    if (flags & DT_WORDBREAK)
        align |= Qt::TextWordWrap;
    QPainter& p = impl_->painter;
    p.save();
    p.setFont(qfont);
    p.setPen(toQColor(color));
    p.setClipRect(toQRect(r));
    p.drawText(toQRect(r), align, s);
    p.restore();
}

SIZE DeviceContext::measureText(const std::string& text, const Font& font)
{
    const QFontMetrics metrics(toQFont(font));
    return SIZE{metrics.horizontalAdvance(toQString(text)), metrics.height()};
}

void DeviceContext::copyFrom(const DeviceContext& source, const RECT& area)
{
    const QRect wanted = toQRect(area).intersected(toQRect(area_)).intersected(toQRect(source.area_));
    if (wanted.isEmpty())
        return;
    const QRect from = wanted.translated(-source.area_.left, -source.area_.top);
    const QImage& picture = source.impl_->image;
    const double ratio = picture.devicePixelRatio();
    QPainter& p = impl_->painter;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRectF(wanted), picture,
                QRectF(from.x() * ratio, from.y() * ratio, from.width() * ratio, from.height() * ratio));
    p.restore();
}

std::uint32_t DeviceContext::pixel(int x, int y) const
{
    const double ratio = pixelRatio();
    const int bx = qFloor((x - area_.left) * ratio);
    const int by = qFloor((y - area_.top) * ratio);
    if (!impl_->image.valid(bx, by))
        return 0;
    return reinterpret_cast<const QRgb*>(impl_->image.constScanLine(by))[bx];
}

Image DeviceContext::toImage() const
{
    Image copy(impl_->image.width(), impl_->image.height(), 0);
    for (int y = 0; y < impl_->image.height(); ++y)
        for (int x = 0; x < impl_->image.width(); ++x)
            copy.setPixel(x, y, qUnpremultiply(reinterpret_cast<const QRgb*>(impl_->image.constScanLine(y))[x]));
    copy.setPixelRatio(pixelRatio());
    return copy;
}

}  // namespace platform
