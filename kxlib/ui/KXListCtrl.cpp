#include "kxlib/ui/KXListCtrl.h"

#include "kxlib/ui/KXDirectUIHandler.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXMemDc.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Window.h"

#include <algorithm>
#include <climits>

namespace KXLib {

namespace {

// Rows [first, end) of equal height `unit`, the first starting at `top`: the one that holds y,
// or -1. Rows without height hold nothing.
int rowInRun(int first, int end, long long top, int unit, int y)
{
    if (first >= end || unit <= 0 || y < top)
        return -1;
    const long long k = (y - top) / unit;
    return k < end - first ? first + static_cast<int>(k) : -1;
}

// The lowest bottom edge among rows [first, end) (first < end) of equal height `unit` starting at
// `top`: the last one's when rows have height, else the first one's.
long long lowestBottom(int first, int end, long long top, int unit)
{
    return unit > 0 ? top + static_cast<long long>(end - first) * unit : top + unit;
}

int toCoordinate(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

KXListCtrl::KXListCtrl() : hScroll_(new KXScrollbar()), vScroll_(new KXScrollbar())
{
    hScroll_->setName("h_scroll");
    hScroll_->vertical = false;
    vScroll_->setName("v_scroll");
    // The rows move with the bar, so every move of the bar repaints the whole list, including
    // the steps of an arrow held down, which come from a timer and not from a message.
    vScroll_->setMoveListener([this] { repaint(); });
}

KXListCtrl::~KXListCtrl()
{
    // Someone else may still hold the bar; its moves must not reach this list any more.
    vScroll_->setMoveListener(nullptr);
}

void KXListCtrl::cancelPress()
{
    vScroll_->cancelPress();
    KXDirectUI::cancelPress();
}

void KXListCtrl::setHandler(KXSmartPtr<KXDirectUIHandler> handler)
{
    KXDirectUI::setHandler(handler);
    vScroll_->setHandler(handler);
    hScroll_->setHandler(handler);
}

void KXListCtrl::setRect(const RECT& rect)
{
    rect_ = rect;
    area_ = rect;
}

std::string KXListCtrl::getClassName() const { return "KXListCtrl"; }

void KXListCtrl::insertColumn(int index, int width)
{
    const int at = index < 0 || index > getColumnCount() ? getColumnCount() : index;
    columnWidths_.insert(columnWidths_.begin() + at, width);
    updateScrollbars();
}

int KXListCtrl::getColumnWidth(int column) const
{
    return column >= 0 && column < getColumnCount() ? columnWidths_[column] : 0;
}

int KXListCtrl::insertRow(unsigned index, std::intptr_t data)
{
    const int at = static_cast<int>(std::min<size_t>(index, rows_.size()));
    rows_.insert(rows_.begin() + at, ListRow{false, false, data});
    // The hovered and selected rows keep their identity: they move down with the rows after them.
    if (selectedRow_ >= at)
        ++selectedRow_;
    if (hoverRow_ >= at)
        ++hoverRow_;
    updateScrollbars();
    repaint();
    return at;
}

void KXListCtrl::deleteRow(int index)
{
    if (index < 0 || index >= getRowCount())
        return;
    rows_.erase(rows_.begin() + index);
    // Indices past the deleted row move up one, so that the selection still names the row the
    // user picked (an owner acting on "the selected row" must not hit its neighbour).
    if (selectedRow_ == index)
        selectedRow_ = -1;
    else if (selectedRow_ > index)
        --selectedRow_;
    if (hoverRow_ == index)
        hoverRow_ = -1;
    else if (hoverRow_ > index)
        --hoverRow_;
    updateScrollbars();
    repaint();
}

void KXListCtrl::deleteAllRows()
{
    rows_.clear();
    selectedRow_ = -1;
    hoverRow_ = -1;
    updateScrollbars();
    repaint();
}

std::intptr_t KXListCtrl::getRowData(int index) const
{
    const ListRow* entry = getRow(index);
    return entry ? entry->data : 0;
}

const ListRow* KXListCtrl::getRow(int index) const
{
    return index >= 0 && index < getRowCount() ? &rows_[index] : nullptr;
}

void KXListCtrl::selectRow(int row)
{
    if (row != selectedRow_ && getRow(selectedRow_))
        rows_[selectedRow_].selected = false;
    selectedRow_ = getRow(row) ? row : -1;
    if (selectedRow_ >= 0)
        rows_[selectedRow_].selected = true;
    updateScrollbars();
    repaint();
}

void KXListCtrl::setHoverRow(int row)
{
    if (getRow(hoverRow_))
        rows_[hoverRow_].hot = false;
    hoverRow_ = getRow(row) ? row : -1;
    if (hoverRow_ >= 0)
        rows_[hoverRow_].hot = true;
}

int KXListCtrl::firstVisibleRow() const
{
    return vScroll_->isVisible() ? std::max(0, vScroll_->pos) : 0;
}

long long KXListCtrl::rowTop(int row) const
{
    const int first = firstVisibleRow();
    long long top = area_.top + headerHeight + static_cast<long long>(row - first) * rowUnit();
    if (selectedRow_ >= first && selectedRow_ < row)
        top += selectedRowHeight() - rowUnit();
    return top;
}

bool KXListCtrl::hitTestRow(POINT point, int& row) const
{
    if (point.x < area_.left || point.x >= area_.right)
        return false;
    // The walk in three runs: the rows before the selected one, the selected row, the rows after
    // it. Each run has one row height, so the row under the point is a division away; the runs
    // are tried in walk order so that the first row holding the point wins, as a walk finds it.
    const int first = firstVisibleRow();
    const int count = getRowCount();
    const int unit = rowUnit();
    const bool selectedInWalk = selectedRow_ >= first && selectedRow_ < count;
    int found = rowInRun(first, selectedInWalk ? selectedRow_ : count, rowTop(first), unit, point.y);
    if (found < 0 && selectedInWalk) {
        const long long top = rowTop(selectedRow_);
        const long long bottom = top + selectedRowHeight();
        if (point.y >= top && point.y < bottom)
            found = selectedRow_;
        else
            found = rowInRun(selectedRow_ + 1, count, bottom, unit, point.y);
    }
    if (found < 0)
        return false;
    row = found;
    return true;
}

bool KXListCtrl::hitTestCell(POINT point, int& row, int& column) const
{
    if (!hitTestRow(point, row))
        return false;
    int x = area_.left;
    for (int c = 0; c < getColumnCount(); ++c) {
        const int right = x + columnWidths_[c];
        if (point.x >= x && point.x < right) {
            column = c;
            break;
        }
        x = right;
    }
    return true;
}

bool KXListCtrl::getCellRect(int row, int column, RECT& out) const
{
    const int first = firstVisibleRow();
    if (row < first || row >= getRowCount())
        return false;
    if (column != -1 && (column < 0 || column >= getColumnCount()))
        return false;

    // A row reached only after a row that runs past the bottom of the area is out of view.
    if (row > first) {
        const int unit = rowUnit();
        const long long top = rowTop(first);
        long long lowest;
        if (selectedRow_ < first || selectedRow_ >= row) {
            lowest = lowestBottom(first, row, top, unit);
        } else {
            const long long selectedBottom = rowTop(selectedRow_) + selectedRowHeight();
            lowest = selectedBottom;
            if (selectedRow_ > first)
                lowest = std::max(lowest, lowestBottom(first, selectedRow_, top, unit));
            if (selectedRow_ + 1 < row)
                lowest = std::max(lowest, lowestBottom(selectedRow_ + 1, row, selectedBottom, unit));
        }
        if (lowest > area_.bottom)
            return false;
    }

    const long long top = rowTop(row);
    out.top = toCoordinate(top);
    out.bottom = toCoordinate(top + rowHeight(row));
    if (column == -1) {
        out.left = area_.left;
        out.right = area_.right;
        return true;
    }
    int x = area_.left;
    for (int c = 0; c < column; ++c)
        x += columnWidths_[c];
    out.left = x;
    out.right = x + columnWidths_[column];
    return true;
}

void KXListCtrl::updateScrollbars()
{
    const int unit = rowUnit();
    const bool selected = selectedRow_ >= 0;
    // The taller selected row takes room from the ordinary rows.
    int height = rect_.height();
    if (selected)
        height -= (selectedRowLines - rowLines) * lineHeight;
    const int count = getRowCount();
    if (unit <= 0 || (height - headerHeight) / unit >= count) {
        vScroll_->setVisible(false);
        vScroll_->pos = 0;
        area_.right = rect_.right;
        return;
    }

    const SIZE cell = KXScrollbar::partSize();
    area_.right = rect_.right - cell.cx - 2;
    vScroll_->setRect(RECT{rect_.right - cell.cx - 2, rect_.top, rect_.right, rect_.bottom});
    vScroll_->itemSize = std::max(1, unit);
    vScroll_->page = (vScroll_->getRect()->height() - 2 * cell.cy) / vScroll_->itemSize;
    vScroll_->range = count - 1;
    if (selected && selectedRowLines != rowLines)
        vScroll_->range += selectedRowLines - rowLines;
    // Rows may have gone since the position was set: keep the view on rows that exist.
    vScroll_->pos = std::max(0, std::min(vScroll_->pos, vScroll_->range - vScroll_->page));
    vScroll_->setVisible(true);
}

void KXListCtrl::repaint()
{
    if (handler_)
        invalidate();
}

void KXListCtrl::drawHeaderCell(HDC, int, const RECT&) {}
void KXListCtrl::beginRows(HDC, const RECT&) {}
void KXListCtrl::endRows(HDC, const RECT&) {}
void KXListCtrl::drawRow(HDC, int, ListRow*, const RECT&) {}

void KXListCtrl::draw(HDC dc)
{
    if (!isVisible())
        return;
    const RECT& r = rect_;
    if (fillBackground) {
        if (hasBorder)
            drawRect(dc, borderColor, backgroundColor, false, r.left, r.top, r.right, r.bottom);
        else
            dc->fillSolid(r, backgroundColor);
    }

    const int headerBottom = r.top + headerHeight;
    if (hasBorder) {
        dc->fillSolid(RECT{r.left + 1, r.top + 1, r.right - 1, headerBottom}, headerColor);
        drawLine(dc, gridColor, r.left + 1, headerBottom, r.right - 1, headerBottom);
    } else {
        dc->fillSolid(RECT{r.left, r.top, r.right, headerBottom}, headerColor);
        drawLine(dc, gridColor, r.left, headerBottom, r.right, headerBottom);
    }
    int x = area_.left;
    for (int column = 0; column < getColumnCount(); ++column) {
        const int right = x + columnWidths_[column];
        drawHeaderCell(dc, column, RECT{x, r.top, right, headerBottom});
        x = right;
        drawLine(dc, gridColor, x, r.top + 2, x, headerBottom - 2);
    }

    const int rowsTop = area_.top + headerHeight;
    int lastBottom = rowsTop;
    if (rows_.empty())
        drawLine(dc, gridColor, area_.left, rowsTop, area_.right, rowsTop);
    else
        paintRows(dc, lastBottom);

    if (drawColumnLines) {
        x = r.left;
        for (int width : columnWidths_) {
            x += width;
            drawLine(dc, gridColor, x, rowsTop, x, lastBottom);
        }
    }
    if (hasBorder)
        drawRect(dc, borderColor, 0, true, r.left, r.top, r.right, r.bottom);
    vScroll_->draw(dc);
    hScroll_->draw(dc);
}

void KXListCtrl::paintRows(HDC dc, int& lastBottom)
{
    const RECT rowsArea{area_.left, area_.top + headerHeight, area_.right, area_.bottom};
    KXMemDc memDc(dc, rowsArea, true);
    beginRows(&memDc, rowsArea);
    // Only the rows in view: the walk starts at the first visible row and stops at the first row
    // that reaches the bottom. The count is read afresh on every step because a hook may change
    // the rows.
    long long top = rowTop(firstVisibleRow());
    for (int row = firstVisibleRow(); row < getRowCount(); ++row) {
        const RECT rowRect{area_.left, toCoordinate(top), area_.right, toCoordinate(top + rowHeight(row))};
        fillRow(&memDc, rows_[row], rowRect);
        drawLine(&memDc, gridColor, rowRect.left, rowRect.top, rowRect.right, rowRect.top);
        drawLine(&memDc, gridColor, rowRect.left, rowRect.bottom, rowRect.right, rowRect.bottom);
        drawRow(&memDc, row, &rows_[row], rowRect);
        lastBottom = rowRect.bottom;
        if (rowRect.bottom >= area_.bottom)
            break;
        top = rowRect.bottom;
    }
    endRows(&memDc, rowsArea);
}

void KXListCtrl::fillRow(HDC dc, const ListRow& entry, const RECT& rowRect)
{
    COLORREF from;
    COLORREF to;
    if (entry.selected) {
        from = selectedRowColorFrom;
        to = selectedRowColorTo;
    } else if (entry.hot) {
        from = hotRowColorFrom;
        to = hotRowColorTo;
    } else {
        return;
    }
    if (from == to)
        dc->fillSolid(rowRect, from);
    else
        gradientFill(dc, from, to, true, rowRect.left, rowRect.top, rowRect.right, rowRect.bottom);
}

bool KXListCtrl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (ignoresInput())
        return false;
    switch (message) {
    case WM_MOUSEMOVE: return handleMouseMove(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return handleButtonDown(message, wParam, lParam);
    case WM_LBUTTONUP: return handleButtonUp(message, wParam, lParam);
    case WM_MOUSEWHEEL: return handleWheel(message, wParam, lParam);
    case WM_MOUSELEAVE:
        // The mouse left the window: nothing is under it any more.
        if (hasState(kHover) || hoverRow_ >= 0) {
            setStateBit(kHover, false);
            setHoverRow(-1);
            repaint();
        }
        return false;
    default: return false;
    }
}

bool KXListCtrl::handleMouseMove(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = pointFromLParam(lParam);
    if (!rect_.contains(point)) {
        // The list never claims a move outside itself; a thumb drag that left the list still
        // moves the scroll bar.
        if (!hasState(kHover) && !vScroll_->handleMessage(message, wParam, lParam))
            return false;
        setStateBit(kHover, false);
        setHoverRow(-1);
        repaint();
        return false;
    }
    if (area_.contains(point)) {
        setStateBit(kHover, true);
        // A thumb drag goes on while the mouse crosses the rows; it scrolls before the row under
        // the mouse is looked up, so the hot row is the one the mouse is over afterwards.
        if (vScroll_->getState() & kPressed)
            vScroll_->handleMessage(message, wParam, lParam);
        int row = -1;
        hitTestRow(point, row);
        if (row == hoverRow_)
            return true;
        setHoverRow(row);
        return claim(message, wParam, lParam);
    }
    if (!vScroll_->handleMessage(message, wParam, lParam))
        return false;
    return claim(message, wParam, lParam);
}

bool KXListCtrl::handleButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = pointFromLParam(lParam);
    if (!rect_.contains(point))
        return false;
    if (vScroll_->isVisible() && vScroll_->hitTest(point))
        return vScroll_->handleMessage(message, wParam, lParam);
    int row = -1;
    if (hitTestRow(point, row))
        selectRow(row);
    // Pressed and captured even below the last row, so the button's release comes back here.
    pressAndCapture();
    return claim(message, wParam, lParam);
}

bool KXListCtrl::handleButtonUp(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = pointFromLParam(lParam);
    if (hasState(kPressed)) {
        releasePress();
        if (area_.contains(point))
            return claim(message, wParam, lParam);
        repaint();
        return true;
    }
    if (!vScroll_->handleMessage(message, wParam, lParam))
        return false;
    repaint();
    return true;
}

bool KXListCtrl::handleWheel(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The wheel reports the cursor in screen coordinates.
    HWND window = ownerWindow();
    if (!window)
        return false;
    const POINT point = window->screenToClient(pointFromLParam(lParam));
    if (!rect_.contains(point))
        return false;
    vScroll_->handleMessage(message, wParam, lParam);
    repaint();
    return false;
}

bool KXListCtrl::claim(UINT message, WPARAM wParam, LPARAM lParam)
{
    repaint();
    return notify(message, wParam, lParam);
}

}  // namespace KXLib
