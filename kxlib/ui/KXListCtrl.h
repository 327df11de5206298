#pragma once
// KXListCtrl: the windowless list behind the program's lists. It owns the geometry (a header band,
// columns, rows of one or more text lines, the selected row possibly taller than the others), the
// row store (one user value per row), hover and selection, a vertical KXScrollbar, and the
// painting skeleton. Derived lists draw the header texts and the row contents through four hooks.
//
// Geometry: rows are walked from the first visible row (the scroll bar's position while it is
// shown, else 0) downwards from area.top + headerHeight; an ordinary row is lineHeight * rowLines
// high, the selected row lineHeight * selectedRowLines. Since only one row can be taller, the
// place of any row follows by arithmetic: painting and hit tests cost the same for 20 rows as for
// 100,000.
//
// Ownership: the row values belong to the owner (the list never frees them). The list owns its two
// scroll bars. Like every control it lives in KXSmartPtr; a notification may remove and release
// the list, so nothing of it is touched after onControlEvent returns.
//
// Threads: window thread only.
#include "kxlib/ui/KXDirectUI.h"
#include "kxlib/ui/KXPalette.h"
#include "kxlib/ui/KXScrollbar.h"
#include "kxlib/KXSmartPtr.h"
#include "platform/core/WinTypes.h"

#include <cstdint>
#include <vector>

namespace KXLib {

struct ListRow {
    bool hot = false;       // the row is under the mouse
    bool selected = false;  // the row is the selected one
    // The owner's value, typically a pointer to its record; wide enough to hold one.
    std::intptr_t data = 0;
};

class KXListCtrl : public virtual KXDirectUI {
public:
    KXListCtrl();
    ~KXListCtrl() override;

    // Hands the handler to both scroll bars too.
    void setHandler(KXSmartPtr<KXDirectUIHandler> handler) override;
    // Stores the rectangle as the list's and as the rows' area; the owner calls updateScrollbars()
    // afterwards.
    void setRect(const RECT& rect) override;
    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A list hidden or disabled while its scroll bar is held lets go of the bar too.
    void cancelPress() override;

    // Inserts a column of `width` pixels before `index`; an index outside 0..count appends.
    void insertColumn(int index, int width);
    // Inserts a row before `index`, or appends it when `index` is not below the row count (an
    // index read as unsigned, so negative ones append too). Returns where the row now stands.
    int insertRow(unsigned index, std::intptr_t data);
    // Removes a row; out-of-range indices are ignored. Deleting the selected row clears the
    // selection.
    void deleteRow(int index);
    // Removes every row and clears hover and selection.
    void deleteAllRows();
    // The row's value; 0 for an index out of range.
    std::intptr_t getRowData(int index) const;
    // Makes `row` the selected one (-1 or any index out of range clears the selection), then
    // updates the scroll bar and repaints.
    void selectRow(int row);

    // The row under a client point: the first row of the walk whose rectangle holds the point.
    bool hitTestRow(POINT point, int& row) const;
    // As hitTestRow, then the column under the point. True when a row was found, even when no
    // column holds the point (then `column` is left as it was).
    bool hitTestCell(POINT point, int& row, int& column) const;
    // The rectangle of a cell, or of the whole row when `column` is -1. False for a row above the
    // view, a row past the end, an invalid column, or a row the walk only reaches after a row that
    // runs past the bottom of the area.
    bool getCellRect(int row, int column, RECT& out) const;
    // Recomputes whether the scroll bar shows, its place, size, page and range; call after rows,
    // sizes or the selection change. Keeps the scroll position within the new range.
    void updateScrollbars();

    int firstVisibleRow() const;
    int getRowCount() const { return static_cast<int>(rows_.size()); }
    int getColumnCount() const { return static_cast<int>(columnWidths_.size()); }
    int getColumnWidth(int column) const;
    int getHoverRow() const { return hoverRow_; }
    int getSelectedRow() const { return selectedRow_; }
    // The row's flags and value, null for an index out of range.
    const ListRow* getRow(int index) const;
    // The rows and header: the list's rectangle less the scroll bar while it is shown.
    const RECT& getArea() const { return area_; }
    KXScrollbar& verticalScrollbar() { return *vScroll_; }
    const KXScrollbar& verticalScrollbar() const { return *vScroll_; }
    KXScrollbar& horizontalScrollbar() { return *hScroll_; }

    // Appearance, set by the owner before the list is shown.
    int headerHeight = 15;
    int lineHeight = 15;
    bool hasBorder = false;
    bool drawColumnLines = false;
    bool fillBackground = false;
    COLORREF backgroundColor = 0xFFFFFF;
    COLORREF headerColor = 0xF5F5F5;
    COLORREF borderColor = palette::kDivider;
    COLORREF gridColor = 0xDDDACC;
    COLORREF hotRowColorFrom = palette::kHotRow;
    COLORREF hotRowColorTo = palette::kHotRow;
    COLORREF selectedRowColorFrom = 0xD4E8FF;
    COLORREF selectedRowColorTo = 0xD4E8FF;
    int rowLines = 1;
    int selectedRowLines = 1;

protected:
    // Drawing hooks; the base versions draw nothing. Rows are drawn into an off-screen surface
    // over `rowsArea`, so a row's contents never spill over the header or below the list.
    virtual void drawHeaderCell(HDC dc, int column, const RECT& cell);
    // Before the first row and after the last (derived lists select and restore their font).
    virtual void beginRows(HDC dc, const RECT& rowsArea);
    virtual void endRows(HDC dc, const RECT& rowsArea);
    virtual void drawRow(HDC dc, int row, ListRow* entry, const RECT& rowRect);

    // Height of an ordinary row and of the selected row.
    int rowUnit() const { return lineHeight * rowLines; }
    int selectedRowHeight() const { return lineHeight * selectedRowLines; }
    int rowHeight(int row) const { return row == selectedRow_ ? selectedRowHeight() : rowUnit(); }
    // Top of a row at or after the first visible one, as the row walk places it.
    long long rowTop(int row) const;
    // Repaints the list when it has a handler (rows may be filled before the list is placed).
    void repaint();
    // Moves the hot mark to `row` (-1: none).
    void setHoverRow(int row);

    int hoverRow_ = -1;
    int selectedRow_ = -1;
    RECT area_;
    std::vector<int> columnWidths_;
    std::vector<ListRow> rows_;
    KXSmartPtr<KXScrollbar> hScroll_;
    KXSmartPtr<KXScrollbar> vScroll_;

private:
    bool handleMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleWheel(UINT message, WPARAM wParam, LPARAM lParam);
    // Repaints, tells the handler and returns true (see KXDirectUI::notify).
    bool claim(UINT message, WPARAM wParam, LPARAM lParam);
    void paintRows(HDC dc, int& lastBottom);
    void fillRow(HDC dc, const ListRow& entry, const RECT& rowRect);
};

}  // namespace KXLib
