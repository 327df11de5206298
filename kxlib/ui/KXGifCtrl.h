#pragma once
// KXGifCtrl: plays an animated GIF for its owner, which paints it: the control times the frames by
// their own delays and asks the owner window to repaint `drawRect` at each change; the owner calls
// draw() from its painting. Window thread only; destroying the control stops the animation.
#include "platform/gui/Animation.h"
#include "platform/core/WinTypes.h"

#include <memory>
#include <string>

namespace platform {
class Timer;
}

namespace KXLib {

class KXGifCtrl {
public:
    KXGifCtrl();
    ~KXGifCtrl();
    KXGifCtrl(const KXGifCtrl&) = delete;
    KXGifCtrl& operator=(const KXGifCtrl&) = delete;

    // Decodes the file (a relative path is taken from the program's folder) and remembers the
    // window to repaint. False when the file cannot be decoded or there is no window.
    bool load(const std::string& path, HWND parent);
    // Shows frame 0 and starts the animation.
    void play();
    // Stops the animation at the next tick (the frame shown stays).
    void stop() { playing = false; }
    // Draws the frame shown, scaled into drawRect.
    void draw(HDC dc);

    int frameCount() const { return animation_.frameCount(); }
    int shownFrame() const { return shownFrame_; }
    // Delay of frame i in hundredths of a second.
    int frameDelay(int i) const { return animation_.delay(i); }
    platform::Timer& timer() { return *timer_; }

    int currentFrame = 0;  // the frame the next tick shows
    bool playing = false;
    RECT drawRect;

private:
    void showFrame(int frame);
    void onTimer();

    platform::Animation animation_;
    HWND parent_ = nullptr;
    int shownFrame_ = 0;
    std::unique_ptr<platform::Timer> timer_;
};

}  // namespace KXLib
