#pragma once
// KXButtonEx: an image button drawn from a four-frame strip (normal, hover, pressed, disabled)
// with an optional caption. A click is reported as WM_LBUTTONUP: the left button released inside
// the button it went down on. WM_MOUSEMOVE is reported when the mouse enters, WM_LBUTTONDOWN and
// WM_LBUTTONDBLCLK when the button goes down inside.
#include "kxlib/ui/KXDirectUI.h"
#include "platform/gui/Image.h"

namespace KXLib {

class KXButtonEx : public virtual KXDirectUI {
public:
    KXButtonEx();
    ~KXButtonEx() override;

    // Loads the strip (premultiplied). On failure returns false and changes nothing.
    bool loadImage(const std::string& path, SIZE frameSize);
    // Sets the caption with the standard colours (0x301C00, disabled 0x808080), its offset from
    // the top-left and its DT_* flags (0 means DT_SINGLELINE), then repaints; needs a handler.
    void setText(const std::string& text, POINT offset, UINT format);
    bool hasImage() const { return !image_.isNull(); }
    SIZE frameSize() const { return frameSize_; }

    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Set by the owner directly (then invalidate()).
    COLORREF textColor = 0;
    COLORREF disabledTextColor = 0;
    POINT textOffset;
    bool checked = false;  // while set the button shows its pressed frame
    std::string caption;
    UINT dtFormat = 0;

protected:
    // The button's rules for the mouse; checked-box handling builds on them.
    bool handleButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void drawFrame(HDC dc, int frame, bool clipToRect);
    void drawCaption(HDC dc);

    SIZE frameSize_;
    platform::Image image_;
};

}  // namespace KXLib
