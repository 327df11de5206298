#include "tools/gallery/GalleryList.h"

#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/gui/DeviceContext.h"

#include <array>
#include <string>

namespace gallery {

namespace {

constexpr COLORREF kTextColor = KXLib::palette::kText;
constexpr std::array<const char*, 3> kHeaders{"文件", "格式", "状态"};
constexpr std::array<const char*, 4> kFormats{"MP4", "AVI", "WMV", "MKV"};
constexpr std::array<const char*, 4> kStates{"等待", "转换中", "完成", "失败"};

RECT inset(const RECT& r, int dx) { return RECT{r.left + dx, r.top, r.right - dx, r.bottom}; }

}  // namespace

void GalleryList::fill(int rows, int width)
{
    headerHeight = 20;
    lineHeight = 20;
    hasBorder = true;
    fillBackground = true;
    drawColumnLines = true;
    insertColumn(-1, width / 2);
    insertColumn(-1, width / 4);
    insertColumn(-1, width - width / 2 - width / 4);
    for (int i = 0; i < rows; ++i)
        insertRow(static_cast<unsigned>(i), i);
}

void GalleryList::drawHeaderCell(HDC dc, int column, const RECT& cell)
{
    if (column >= 0 && column < static_cast<int>(kHeaders.size()))
        dc->drawText(kHeaders[column], inset(cell, 4), DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, kTextColor,
                     KXLib::sharedFont());
}

void GalleryList::drawRow(HDC dc, int row, KXLib::ListRow* entry, const RECT& rowRect)
{
    const int n = static_cast<int>(entry->data);
    const std::string texts[] = {"第 " + std::to_string(n + 1) + " 个视频 clip-" + std::to_string(n + 1) + ".mov",
                                 kFormats[n % kFormats.size()], kStates[n % kStates.size()]};
    for (int column = 0; column < getColumnCount(); ++column) {
        RECT cell;
        if (!getCellRect(row, column, cell))
            return;
        dc->drawText(texts[column], inset(cell, 4), DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, kTextColor,
                     KXLib::sharedFont());
    }
}

}  // namespace gallery
