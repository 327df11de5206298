#pragma once
// KXSlider: a horizontal slider drawn from a track image, an optional fill image (the part left
// of the thumb) and an optional thumb image. The owner is told when the mouse enters, when the
// button goes down, on every move of a drag, and on release inside (WM_LBUTTONUP); a release
// outside ends the drag without a notification.
#include "kxlib/ui/KXDirectUI.h"
#include "platform/gui/Image.h"

namespace KXLib {

class KXSlider : public virtual KXDirectUI {
public:
    // Track and fill are drawn as they are (a picture without alpha is copied); the fill is loaded
    // only when `fillPath` is not empty. False when the track cannot be loaded.
    bool loadTrackImages(const std::string& trackPath, const std::string& fillPath);
    // The thumb, premultiplied. False when it cannot be loaded.
    bool loadThumbImage(const std::string& path);
    // Stores value clamped to 0..getMaxPos() and repaints (nothing happens when it equals the
    // position).
    void setPos(int value);
    int getPos() const { return pos_; }
    // The largest position; the position is clamped into the new range and the slider repainted.
    void setRange(int maxPos);
    int getMaxPos() const { return maxPos_; }

    // Pixel offset of the current position from the track's usable start.
    int positionOffset() const;
    // The position under client x (not clamped).
    int positionAt(int x) const;

    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    platform::Image trackImage;
    platform::Image fillImage;
    platform::Image thumbImage;
    bool vertical = false;  // not drawn: the program has no vertical sliders
    int marginStart = 0;
    int marginEnd = 0;

private:
    int usableWidth() const;

    int maxPos_ = 0;
    int pos_ = 0;
};

}  // namespace KXLib
