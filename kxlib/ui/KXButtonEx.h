#pragma once
// KXButtonEx: an image button drawn from a four-frame strip (normal, hover, pressed, disabled)
// with an optional caption. A click is reported as WM_LBUTTONUP: the left button released inside
// the button it went down on. WM_MOUSEMOVE is reported when the mouse enters, WM_LBUTTONDOWN and
// WM_LBUTTONDBLCLK when the button goes down inside.
#include "kxlib/ui/KXDirectUI.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/gui/Image.h"

namespace KXLib {

class KXButtonEx : public virtual KXDirectUI {
public:
    KXButtonEx();
    ~KXButtonEx() override;

    // Loads the strip (premultiplied). On failure returns false and changes nothing.
    bool loadImage(const std::string& path, SIZE frameSize);
    bool hasImage() const { return !image_.isNull(); }
    SIZE frameSize() const { return frameSize_; }

    // The state that shows on screen. Each setter repaints the button when the value changes (once
    // the button has a handler: before that, nothing of it is on screen).
    //
    // The caption, its offset from the top-left and its DT_* flags (0 means DT_SINGLELINE). The
    // caption colours stay as they are.
    void setText(const std::string& text, POINT offset, UINT format);
    // Only the caption; offset and flags stay.
    void setCaption(const std::string& text);
    const std::string& caption() const { return caption_; }
    POINT textOffset() const { return textOffset_; }
    UINT textFormat() const { return textFormat_; }
    // The caption colours while enabled and disabled; palette::kText and palette::kDisabledText
    // until set.
    void setTextColors(COLORREF enabled, COLORREF disabled);
    COLORREF textColor() const { return textColor_; }
    COLORREF disabledTextColor() const { return disabledTextColor_; }
    // While checked the button shows its pressed frame (a check box, its checked frames).
    void setChecked(bool checked);
    bool isChecked() const { return checked_; }

    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The button's rules for the mouse; checked-box handling builds on them.
    bool handleButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void drawFrame(HDC dc, int frame, bool clipToRect);
    void drawCaption(HDC dc);

    SIZE frameSize_;
    platform::Image image_;

private:
    COLORREF textColor_ = palette::kText;
    COLORREF disabledTextColor_ = palette::kDisabledText;
    POINT textOffset_{0, 0};
    bool checked_ = false;
    std::string caption_;
    UINT textFormat_ = 0;
};

}  // namespace KXLib
