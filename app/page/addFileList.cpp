#include "app/page/addFileList.h"

#include "convert/page/convertList.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/gui/DeviceContext.h"

namespace app {

namespace {

constexpr COLORREF kTextColor = 0x000000;
constexpr COLORREF kHeaderTextColor = KXLib::palette::kText;
constexpr UINT kOneLine = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
constexpr UINT kCentred = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS;
constexpr int kSourceIndent = 3;

}  // namespace

addFileList::addFileList(const GatheredFiles& files) : files_(files) {}

std::string addFileList::getClassName() const { return "KXListCtrl"; }

void addFileList::syncRows()
{
    const int wanted = static_cast<int>(files_.size());
    while (getRowCount() > wanted)
        deleteRow(getRowCount() - 1);
    while (getRowCount() < wanted)
        insertRow(static_cast<unsigned>(getRowCount()), 0);
    updateScrollbars();
    repaint();
}

void addFileList::drawHeaderCell(HDC dc, int column, const RECT& cell)
{
    if (column >= 0 && column < ColumnCount)
        dc->drawText(kColumnTitles[column], cell, kCentred, kHeaderTextColor, KXLib::sharedFont());
}

void addFileList::drawRow(HDC dc, int row, KXLib::ListRow*, const RECT& rowRect)
{
    if (row < 0 || static_cast<std::size_t>(row) >= files_.size())
        return;
    const GatheredFiles::Entry& entry = files_.entries()[static_cast<std::size_t>(row)];
    // The selected row is two lines high; its texts stay on the first line.
    const RECT line{rowRect.left, rowRect.top, rowRect.right, rowRect.top + lineHeight};
    const int sourceRight = line.left + getColumnWidth(SourceColumn);
    const platform::Font& font = KXLib::sharedFont();
    dc->drawText(entry.path, RECT{line.left + kSourceIndent, line.top, sourceRight, line.bottom}, kOneLine, kTextColor,
                 font);
    dc->drawText(convert::convertList::sizeText(entry.size),
                 RECT{sourceRight, line.top, sourceRight + getColumnWidth(SizeColumn), line.bottom}, kOneLine,
                 kTextColor, font);
}

bool addFileList::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN)
        lastMouse_ = pointFromLParam(lParam);
    return KXListCtrl::handleMessage(message, wParam, lParam);
}

bool addFileList::getTooltip(std::string& out) const { return tooltipAt(lastMouse_, out); }

bool addFileList::tooltipAt(POINT point, std::string& out) const
{
    int row = -1;
    int column = -1;
    if (!hitTestCell(point, row, column) || column != SourceColumn || row < 0 ||
        static_cast<std::size_t>(row) >= files_.size())
        return false;
    out = files_.entries()[static_cast<std::size_t>(row)].path;
    return true;
}

}  // namespace app
