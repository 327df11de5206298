#include "app/BottomLineLayout.h"

#include <algorithm>

namespace app {

BottomLineLayout::Placement BottomLineLayout::place(int clientLeft, int clientRight, int labelWidth, int countWidth)
{
    Placement p;
    p.profileLeft = clientLeft + kProfileIndent;
    p.countRight = clientRight - kGap;
    const int usualLeft = clientRight - kCountFromRight;
    const int fittingLeft = p.countRight - std::max(countWidth, 0);
    // The profile line keeps at least its label; the count gives way to that and no further.
    const int leftmost = p.profileLeft + std::max(labelWidth, 0) + kGap;
    p.countLeft = std::max(std::min(usualLeft, fittingLeft), std::min(leftmost, usualLeft));
    p.profileRight = std::max(p.countLeft - kGap, p.profileLeft);
    return p;
}

}  // namespace app
