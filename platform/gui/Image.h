#pragma once
// A decoded picture: PNG, BMP, ICO (and the first frame of a GIF), kept as 32-bit pixels.
// On a screen with a device-pixel ratio above 1, load() takes the picture drawn at twice the size
// beside the named one ("name@2x.png") when there is one; such a picture keeps the logical size of
// the named one (width() and height()), so layouts and frame positions do not change.
// Copies share their pixels until one of them changes (copy on write), so an Image is cheap to pass
// by value. Window thread only: images are drawn and loaded where the windows live.
#include "platform/core/WinTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class Image {
public:
    // A null image: draws nothing, width and height 0.
    Image();
    // A blank image of the given size filled with one 0xAARRGGBB value, with an alpha channel.
    Image(int width, int height, std::uint32_t argb);
    ~Image();
    Image(const Image&);
    Image& operator=(const Image&);
    Image(Image&&) noexcept;
    Image& operator=(Image&&) noexcept;

    // Decodes a file, or its "@2x" twin when the screen asks for it (see above). On failure
    // returns false and leaves the image as it was.
    bool load(const std::string& path);
    // As load(), with the device-pixel ratio given instead of the screen's: above 1 the "@2x"
    // twin is preferred.
    bool load(const std::string& path, double screenRatio);
    // Writes the image as PNG (or the format the name's ending asks for); false on failure.
    bool save(const std::string& path) const;

    bool isNull() const;
    // The logical size: the stored pixels divided by the pixel ratio.
    int width() const;
    int height() const;
    // Stored pixels per logical pixel: 2 for a picture loaded from a "@2x" file, else 1.
    double pixelRatio() const;
    void setPixelRatio(double ratio);
    SIZE size() const { return SIZE{width(), height()}; }
    // True for 32-bit pictures with an alpha channel; pictures without one are copied, not blended.
    bool hasAlpha() const;
    // True once premultiply() has run.
    bool isPremultiplied() const;

    // Turns straight alpha into premultiplied alpha: every blue, green and red becomes
    // channel * alpha / 255 rounded down, alpha is unchanged. Skin images are premultiplied once at
    // load time so that drawing is a plain blend. Does nothing on images without alpha or on an
    // image already premultiplied.
    void premultiply();

    // The stored 0xAARRGGBB value (premultiplied after premultiply()); 0 outside the image.
    // pixel(), setPixel() and fill() address stored pixels, not logical ones.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t argb);
    // Fills a rectangle with one 0xAARRGGBB value (clipped to the image).
    void fill(const RECT& area, std::uint32_t argb);

    struct Data;
    const Data* data() const { return data_.get(); }

private:
    void detach();
    std::shared_ptr<Data> data_;
};

}  // namespace platform
