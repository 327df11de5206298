#pragma once
// KXCheckBox: a button whose eight-frame strip holds the unchecked states (0-3) and the checked
// states (4-7). The check toggles when the left button goes down on it, so the owner receives
// WM_LBUTTONDOWN with the new state already set and the click (WM_LBUTTONUP) with it as well.
// A double click does not toggle.
#include "kxlib/KXButtonEx.h"

namespace KXLib {

class KXCheckBox : public virtual KXButtonEx {
public:
    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace KXLib
