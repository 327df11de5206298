#include "platform/gui/Image.h"

#include "platform/gui/QtBridge.h"

#include <QFileInfo>
#include <QGuiApplication>
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

namespace {

// "dir/name@2x.png" for "dir/name.png".
QString doubleSizeTwin(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString twin = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("@2x");
    return suffix.isEmpty() ? twin : twin + QLatin1Char('.') + suffix;
}

QImage decode(const QString& path)
{
    QImageReader reader(path);
    return reader.read();
}

}  // namespace

bool Image::load(const std::string& path)
{
    return load(path, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

bool Image::load(const std::string& path, double screenRatio)
{
    const QString named = toQString(path);
    QImage decoded;
    if (screenRatio > 1.0) {
        // The twin is twice the size of the named picture: it is only taken when it is exactly
        // that, so a stray file cannot change a layout.
        decoded = decode(doubleSizeTwin(named));
        if (!decoded.isNull()) {
            const QSize expected = QImageReader(named).size();
            if (expected.isValid() && decoded.size() != expected * 2)
                decoded = QImage();
            else
                decoded.setDevicePixelRatio(2.0);
        }
    }
    if (decoded.isNull()) {
        decoded = decode(named);
        decoded.setDevicePixelRatio(1.0);
    }
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
int Image::width() const { return data_ ? qRound(data_->image.width() / data_->image.devicePixelRatio()) : 0; }
int Image::height() const { return data_ ? qRound(data_->image.height() / data_->image.devicePixelRatio()) : 0; }
double Image::pixelRatio() const { return data_ ? data_->image.devicePixelRatio() : 1.0; }

void Image::setPixelRatio(double ratio)
{
    if (isNull() || ratio <= 0.0)
        return;
    detach();
    data_->image.setDevicePixelRatio(ratio);
}
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
