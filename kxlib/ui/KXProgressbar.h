#pragma once
// KXProgressbar: a drawn bar with a double frame, gradient background and fill, and an optional
// percentage. It claims the mouse over itself (so nothing behind it reacts) but never notifies.
//
// Threads: setPos() may be called from any thread (a conversion job sets its row's bar); the
// repaint it asks for is queued to the window thread. Everything else is window-thread only.
#include "kxlib/ui/KXDirectUI.h"
#include "kxlib/ui/KXPalette.h"

#include <atomic>

namespace KXLib {

class KXProgressbar : public virtual KXDirectUI {
public:
    // Ignored when value > maxPos or equal to pos; negative values are stored as given. Repaints.
    void setPos(int value);
    // A new maximum with the position back at 0, repainted. Window thread only.
    void setRange(int maximum);

    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    COLORREF borderColor = 0xF5EAD0;
    COLORREF fillBorderColor = 0xD9B664;
    COLORREF innerBorderColor = 0xE8D29D;
    COLORREF fillInnerBorderColor = 0xFEFCF7;
    COLORREF textColor = palette::kText;
    COLORREF backColorFrom = 0xFCF7ED;
    COLORREF backColorTo = 0xF9F2E2;
    COLORREF fillColorFrom = 0xDFC078;
    COLORREF fillColorTo = 0xD2A947;
    bool showText = false;
    // Read them freely; set them through setRange() and setPos(), which repaint.
    std::atomic<int> maxPos{0};
    std::atomic<int> pos{0};
};

}  // namespace KXLib
