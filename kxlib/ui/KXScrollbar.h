#pragma once
// KXScrollbar: an image scroll bar (arrows, thumb, track) over `range` items of which `page` show.
// It never notifies: the owner reads `pos` when it paints. Holding an arrow steps once at once,
// then, after 300 ms, repeatedly until the button comes up. The strip image is shared by every
// scroll bar of the process.
#include "kxlib/ui/KXDirectUI.h"
#include "kxlib/KXTime.h"
#include "platform/gui/Image.h"

#include <functional>
#include <memory>

namespace platform {
class Timer;
}

namespace KXLib {

class KXScrollbar : public virtual KXDirectUI {
public:
    enum Part { kNone = 0, kFirstArrow = 1, kSecondArrow = 2, kThumb = 3, kTrackBefore = 4, kTrackAfter = 5 };
    static constexpr int kRepeatDelayMs = 300;
    static constexpr int kRepeatIntervalMs = 50;

    KXScrollbar();
    ~KXScrollbar() override;

    // Loads the process-wide strip with cells of `partSize`. On failure returns false and keeps
    // the previous strip and size.
    static bool loadScrollbarImage(const std::string& path, SIZE partSize);
    static SIZE partSize();

    // Stores the rectangle and recomputes `page` from it and `itemSize`.
    void setRect(const RECT& rect) override;
    // Clamps to 0..range-page; nothing when range <= 0 or the value is unchanged. A change
    // repaints the bar and calls the move listener.
    void setPos(int value);
    // Called after every change of `pos`, whatever moved it (an arrow held down, the track, the
    // thumb, the wheel). A list that embeds the bar repaints its rows here, so they follow the
    // thumb while an arrow is held and not only when the button comes up. Empty to stop.
    void setMoveListener(std::function<void()> listener);

    int thumbLength() const;
    // Thumb offset from the bar's start (top or left), arrows included.
    int thumbOffset() const;
    // Which part lies under a client point (0 when none).
    int hitTestPart(POINT point) const;

    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The auto-repeat timer (running while an arrow is held).
    platform::Timer& repeatTimer();

    int range = 0;
    int pos = 0;
    int page = 0;
    int itemSize = 1;
    int pressedPart = kNone;
    int dragOffset = 0;
    bool dragging = false;
    KXTime pressTime;
    bool vertical = true;

    // Drops a held arrow's repeating and a thumb drag with the press.
    void cancelPress() override;

private:
    int length() const;      // along the bar
    int arrowSize() const;   // along the bar
    int startOf() const;     // rect top (vertical) or left
    void onRepeat();
    void stopRepeat();

    std::unique_ptr<platform::Timer> repeat_;
    std::function<void()> moveListener_;
};

}  // namespace KXLib
