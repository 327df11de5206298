#include "kxlib/ui/KXCheckBox.h"

#include "kxlib/ui/KXDraw.h"

namespace KXLib {

std::string KXCheckBox::getClassName() const { return "KXCheckBox"; }

void KXCheckBox::draw(HDC dc)
{
    if (!isVisible() || image_.isNull())
        return;
    drawFrame(dc, stripFrame(state_, false) + (isChecked() ? 4 : 0), false);
    drawCaption(dc);
}

bool KXCheckBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The press is reported before the check flips; this reference keeps the box alive for the
    // flip even when the owner's callback drops it.
    KXSmartPtr<KXDirectUI> self(this);
    const bool claimed = handleButtonMessage(message, wParam, lParam);
    if (claimed && message == WM_LBUTTONDOWN) {
        setChecked(!isChecked());
    }
    return claimed;
}

}  // namespace KXLib
