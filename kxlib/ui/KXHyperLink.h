#pragma once
// KXHyperLink: underlined text that opens `url` with the desktop's opener when clicked. Hover
// drops the underline and switches to `hotColor`. A link keeps its hover look until the next mouse
// move over the window tells it the mouse has gone.
#include "kxlib/ui/KXDirectUI.h"

namespace KXLib {

class KXHyperLink : public virtual KXDirectUI {
public:
    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string text;
    std::string url;
    // `url` is a local file's path, opened with the desktop's viewer for its type.
    bool localFile = false;
    COLORREF normalColor = 0;
    COLORREF hotColor = 0;
};

}  // namespace KXLib
