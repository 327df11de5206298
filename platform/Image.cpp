#include "platform/Image.h"

#include "platform/QtBridge.h"

#include <QImageReader>

namespace platform {

Image::Image() = default;

Image::Image(int width, int height, std::uint32_t argb) : data_(std::make_shared<Data>())
{
    data_->image = QImage(width, height, QImage::Format_ARGB32);
    data_->image.fill(argb);
}

Image::~Image() = default;
Image::Image(const Image&) = default;
Image& Image::operator=(const Image&) = default;
Image::Image(Image&&) noexcept = default;
Image& Image::operator=(Image&&) noexcept = default;

bool Image::load(const std::string& path)
{
    QImageReader reader(toQString(path));
    QImage decoded = reader.read();
    if (decoded.isNull())
        return false;
    auto loaded = std::make_shared<Data>();
    loaded->image = decoded.hasAlphaChannel() ? decoded.convertToFormat(QImage::Format_ARGB32)
                                              : decoded.convertToFormat(QImage::Format_RGB32);
    data_ = std::move(loaded);
    return true;
}

bool Image::save(const std::string& path) const
{
    return data_ && data_->image.save(toQString(path));
}

bool Image::isNull() const { return !data_ || data_->image.isNull(); }
int Image::width() const { return data_ ? data_->image.width() : 0; }
int Image::height() const { return data_ ? data_->image.height() : 0; }
bool Image::hasAlpha() const { return data_ && data_->image.hasAlphaChannel(); }
bool Image::isPremultiplied() const { return data_ && data_->premultiplied; }

void Image::detach()
{
    if (data_ && data_.use_count() > 1)
        data_ = std::make_shared<Data>(*data_);
}

void Image::premultiply()
{
    if (!hasAlpha() || data_->premultiplied)
        return;
    detach();
    QImage& image = data_->image;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const unsigned a = qAlpha(p);
            line[x] = qRgba(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255, a);
        }
    }
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    data_->premultiplied = true;
}

std::uint32_t Image::pixel(int x, int y) const
{
    if (isNull() || !data_->image.valid(x, y))
        return 0;
    return reinterpret_cast<const QRgb*>(data_->image.constScanLine(y))[x];
}

void Image::setPixel(int x, int y, std::uint32_t argb)
{
    if (isNull() || !data_->image.valid(x, y))
        return;
    detach();
    reinterpret_cast<QRgb*>(data_->image.scanLine(y))[x] = argb;
}

void Image::fill(const RECT& area, std::uint32_t argb)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            setPixel(x, y, argb);
}

}  // namespace platform
