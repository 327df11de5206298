#include "profile/page/profileList.h"

#include "kxlib/ui/KXDraw.h"
#include "platform/gui/DeviceContext.h"
#include "profile/ProfileProperties.h"

namespace profile {

namespace {

constexpr int kLabelWidth = 150;
constexpr int kTextInset = 5;
constexpr int kIconSize = 16;
constexpr COLORREF kTextColor = 0x000000;
constexpr UINT kCellText = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;

}  // namespace

profileList::profileList(int valueWidth)
    : workingCopy(makeEmptyProfileRecord())
{
    headerHeight = 20;
    lineHeight = 20;
    drawColumnLines = true;
    insertColumn(-1, kLabelWidth);
    insertColumn(-1, valueWidth);
    for (int row = 0; row < ProfileProperties::kRowCount; ++row)
        insertRow(static_cast<unsigned>(row), row);
    // Without the strip the icon rows simply stay empty.
    KXLib::loadImage(icons_, "image/lumaret-imagelist.bmp", false);
}

void profileList::drawHeaderCell(HDC dc, int column, const RECT& cell)
{
    dc->drawText(column == 0 ? "名称" : "属性", cell, DT_SINGLELINE | DT_VCENTER | DT_CENTER, kTextColor,
                 KXLib::sharedFont());
}

void profileList::drawRow(HDC dc, int row, KXLib::ListRow*, const RECT& rowRect)
{
    const int split = rowRect.left + getColumnWidth(0);
    dc->drawText(ProfileProperties::label(row), RECT{rowRect.left + kTextInset, rowRect.top, split, rowRect.bottom},
                 kCellText, kTextColor, KXLib::sharedFont());
    const RECT value{split + kTextInset, rowRect.top, rowRect.right, rowRect.bottom};
    const int cell = ProfileProperties::iconCell(workingCopy, row);
    if (cell >= 0) {
        if (!icons_.isNull())
            dc->drawImageKeyed(icons_,
                               RECT{value.left, rowRect.top + 2, value.left + kIconSize, rowRect.top + 2 + kIconSize},
                               RECT{cell * kIconSize, 0, (cell + 1) * kIconSize, kIconSize}, RGB(255, 255, 255));
        return;
    }
    dc->drawText(ProfileProperties::valueText(workingCopy, row, contextMenuEnabled), value, kCellText, kTextColor,
                 KXLib::sharedFont());
}

}  // namespace profile
