#include "platform/gui/Animation.h"

#include "platform/gui/QtBridge.h"

#include <QImageReader>

namespace platform {

namespace {
constexpr int kDefaultDelay = 10;
}

bool Animation::load(const std::string& path)
{
    QImageReader reader(toQString(path));
    std::vector<Image> frames;
    std::vector<int> delays;
    while (true) {
        const QImage decoded = reader.read();
        if (decoded.isNull())
            break;
        Image frame(decoded.width(), decoded.height(), 0);
        // Straight alpha in, straight alpha kept: the frame is blended as the image says.
        const QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x)
                frame.setPixel(x, y, reinterpret_cast<const QRgb*>(argb.constScanLine(y))[x]);
        frames.push_back(std::move(frame));
        const int hundredths = reader.nextImageDelay() / 10;
        delays.push_back(hundredths > 1 ? hundredths : kDefaultDelay);
        if (!reader.canRead())
            break;
    }
    if (frames.empty())
        return false;
    frames_ = std::move(frames);
    delays_ = std::move(delays);
    return true;
}

const Image& Animation::frame(int i) const
{
    static const Image none;
    return i >= 0 && i < frameCount() ? frames_[static_cast<size_t>(i)] : none;
}

int Animation::delay(int i) const
{
    return i >= 0 && i < frameCount() ? delays_[static_cast<size_t>(i)] : kDefaultDelay;
}

}  // namespace platform
