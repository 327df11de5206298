#pragma once
// A surface to paint on: a 32-bit premultiplied off-screen picture with a logical origin, so that
// drawing in a window's client coordinates lands at the right place in a buffer that covers only
// part of the window. Every repaint of a window paints one such buffer and copies it to the screen
// in one step, so nothing flickers. On a screen with a device-pixel ratio above 1 the buffer holds
// that many pixels per logical pixel, so that what is drawn is as sharp as the screen allows; all
// coordinates stay logical. Window thread only.
#include "platform/gui/Font.h"
#include "platform/gui/Image.h"
#include "platform/core/WinTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class DeviceContext {
public:
    // A buffer covering `area` of logical coordinates (its top-left pixel is area.left, area.top),
    // filled with `background` (a COLORREF, opaque), with `pixelRatio` buffer pixels per logical
    // pixel along each axis (a window paints at its screen's ratio; 1 or more).
    explicit DeviceContext(const RECT& area, COLORREF background = 0xFFFFFF, double pixelRatio = 1.0);
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // The logical area the buffer covers.
    const RECT& area() const { return area_; }
    // Buffer pixels per logical pixel.
    double pixelRatio() const;

    // Solid one-pixel line from (x1, y1) towards (x2, y2); the end point is not drawn.
    void line(COLORREF color, int x1, int y1, int x2, int y2);
    // One-pixel outline in `pen` just inside the rectangle; the inside filled with `fill` unless
    // `hollow`. The corners are normalised first.
    void rectangle(COLORREF pen, COLORREF fill, bool hollow, int x1, int y1, int x2, int y2);
    // Rounded outline in `pen` with a corner ellipse of ew x eh; filled unless `hollow`.
    void roundRect(COLORREF pen, COLORREF fill, bool hollow, const RECT& r, int ew, int eh);
    void fillSolid(const RECT& r, COLORREF color);
    // Linear blend from `first` at the top (or left) edge to `second` at the bottom (or right).
    void gradient(const RECT& r, COLORREF first, COLORREF second, bool vertical);

    // Draws the part `src` of `image` into `dst`, scaled when the sizes differ (nearest pixel).
    // Images with alpha are blended source-over (premultiplied or straight, as the image says);
    // images without alpha are copied. `src` is in the image's logical pixels (Image::width()), so
    // a skin strip drawn at twice the size is cut at the same frame positions.
    void drawImage(const Image& image, const RECT& dst, const RECT& src);
    // As drawImage, but scaled with filtering: for a picture shown at another size than its own
    // (a logo), not for skin frames, whose edges must stay sharp.
    void drawImageSmooth(const Image& image, const RECT& dst, const RECT& src);
    void drawImage(const Image& image, int x, int y);
    // Copies the part `src` into `dst` leaving out every pixel of colour `key`.
    void drawImageKeyed(const Image& image, const RECT& dst, const RECT& src, COLORREF key);

    // Draws UTF-8 text with the DT_* flags used here: DT_SINGLELINE, DT_CENTER, DT_RIGHT,
    // DT_VCENTER, DT_BOTTOM, DT_END_ELLIPSIS, DT_WORDBREAK. The background stays as it is.
    void drawText(const std::string& text, const RECT& r, UINT flags, COLORREF color, const Font& font);
    // Width and height of the text on one line in the given font.
    static SIZE measureText(const std::string& text, const Font& font);

    // Copies the pixels of `area` (logical coordinates, clipped to both) from `source`.
    void copyFrom(const DeviceContext& source, const RECT& area);
    // The pixel at a logical point as 0xAARRGGBB (the buffer's top-left pixel of that point when
    // the ratio is above 1); 0 outside the buffer.
    std::uint32_t pixel(int x, int y) const;
    // The buffer as an image (a copy, at the buffer's ratio).
    Image toImage() const;

    struct Impl;
    Impl& impl() { return *impl_; }
    const Impl& impl() const { return *impl_; }

private:
    void blitImage(const Image& image, const RECT& dst, const RECT& src, bool smooth);

    RECT area_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
