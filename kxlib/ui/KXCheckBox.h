#pragma once
// KXCheckBox: a button whose eight-frame strip holds the unchecked states (0-3) and the checked
// states (4-7). The check toggles right after the owner has been told of WM_LBUTTONDOWN, so the
// owner sees the press with the old state and the click (WM_LBUTTONUP) with the new one. A double
// click does not toggle.
#include "kxlib/ui/KXButtonEx.h"

namespace KXLib {

class KXCheckBox : public virtual KXButtonEx {
public:
    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace KXLib
