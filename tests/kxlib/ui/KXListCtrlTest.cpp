// The list control: row store, scroll bar rules, geometry against a plain row walk, hover and
// selection replays, wheel scrolling, painting only the rows in view, callbacks that tear the list
// down.
#include "kxlib/ui/KXListCtrl.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/Timer.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPointer>
#include <QRegion>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

using namespace KXLib;
using controltest::Event;

namespace {

// A derived list whose hooks record what the base asks them to draw.
class RecordingList : public KXListCtrl {
public:
    ~RecordingList() override
    {
        if (destroyed)
            *destroyed = true;
    }
    struct DrawnRow {
        int row;
        RECT rect;
        bool operator==(const DrawnRow&) const = default;
    };
    std::vector<DrawnRow> drawn;
    std::vector<int> headerCells;
    int begins = 0;
    int ends = 0;
    bool* destroyed = nullptr;
    std::function<void(int)> onDrawRow;

protected:
    void drawHeaderCell(HDC, int column, const RECT&) override { headerCells.push_back(column); }
    void beginRows(HDC, const RECT&) override { ++begins; }
    void endRows(HDC, const RECT&) override { ++ends; }
    void drawRow(HDC, int row, ListRow* entry, const RECT& rect) override
    {
        drawn.push_back({row, rect});
        if (onDrawRow)
            onDrawRow(row);
    }
};

// The row walk done the slow way, one row after the other from the first visible one.
struct PlainWalk {
    const KXListCtrl& list;

    int height(int row) const
    {
        return list.lineHeight * (row == list.getSelectedRow() ? list.selectedRowLines : list.rowLines);
    }
    bool hitTestRow(POINT p, int& out) const
    {
        const RECT& area = list.getArea();
        int y = area.top + list.headerHeight;
        for (int row = list.firstVisibleRow(); row < list.getRowCount(); ++row) {
            if (RECT{area.left, y, area.right, y + height(row)}.contains(p)) {
                out = row;
                return true;
            }
            y += height(row);
        }
        return false;
    }
    bool rowRect(int wanted, RECT& out) const
    {
        const RECT& area = list.getArea();
        if (wanted < list.firstVisibleRow() || wanted >= list.getRowCount())
            return false;
        int y = area.top + list.headerHeight;
        for (int row = list.firstVisibleRow(); row < wanted; ++row) {
            y += height(row);
            if (y > area.bottom)
                return false;
        }
        out = RECT{area.left, y, area.right, y + height(wanted)};
        return true;
    }
};

// The parts of a shown window that the toolkit repaints, as the user sees them change.
class RepaintedAreas : public QObject {
public:
    explicit RepaintedAreas(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~RepaintedAreas() override
    {
        if (widget_)
            widget_->removeEventFilter(this);
    }
    // Lets the pending repaints happen and returns what they covered since the last call.
    QRegion take()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        return std::exchange(region_, QRegion());
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            region_ += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QPointer<QWidget> widget_;
    QRegion region_;
};

class KXListCtrlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Scroll-bar cells of 15 x 15: the bar is 17 pixels wide.
        static testsupport::TempDir dir;
        platform::Image strip(92, 62, 0xFF404040);
        ASSERT_TRUE(strip.save((dir / "scrollbar.png").string()));
        ASSERT_TRUE(KXScrollbar::loadScrollbarImage((dir / "scrollbar.png").string(), SIZE{15, 15}));
    }
    void SetUp() override
    {
        list = KXSmartPtr<RecordingList>(new RecordingList());
        list->setName("list");
        list->setHandler(&handler);
        // Header 15, then room for exactly ten rows of 15.
        list->setRect(kRect);
        list->updateScrollbars();
        list->insertColumn(0, 50);
        list->insertColumn(1, 70);
        ASSERT_TRUE(handler.addControl(list));
    }
    void addRows(int count)
    {
        for (int i = 0; i < count; ++i)
            list->insertRow(static_cast<unsigned>(list->getRowCount()), 1000 + list->getRowCount());
    }
    // A point on row `row` of the view (ordinary rows only), in column 0.
    static POINT onViewRow(int row) { return POINT{kRect.left + 5, kRect.top + 15 + 15 * row + 7}; }
    void paint()
    {
        list->drawn.clear();
        platform::DeviceContext dc(RECT{0, 0, 400, 300});
        list->draw(&dc);
    }
    bool wheel(int notches, POINT client)
    {
        const POINT screen = handler.window.clientToScreen(client);
        return handler.routeMessage(MSG{&handler.window, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA),
                                        MAKELPARAM(screen.x, screen.y)});
    }

    static constexpr RECT kRect{10, 20, 210, 185};
    controltest::RecordingHandler handler;
    KXSmartPtr<RecordingList> list;
};

TEST_F(KXListCtrlTest, RowStoreAppendsOutOfRangeIndicesAndKeepsTheSelectionOnItsRow)
{
    addRows(3);
    EXPECT_EQ(list->insertRow(100, 7), 3);
    EXPECT_EQ(list->insertRow(static_cast<unsigned>(-1), 8), 4);
    EXPECT_EQ(list->getRowData(3), 7);
    EXPECT_EQ(list->getRowData(4), 8);
    EXPECT_EQ(list->getRowData(5), 0);
    EXPECT_EQ(list->getRowData(-1), 0);

    // Values as wide as a pointer survive.
    const std::intptr_t pointer = reinterpret_cast<std::intptr_t>(&handler);
    list->insertRow(0, pointer);
    EXPECT_EQ(list->getRowData(0), pointer);
    list->deleteRow(0);

    list->selectRow(2);
    EXPECT_EQ(list->insertRow(1, 9), 1);
    EXPECT_EQ(list->getSelectedRow(), 3);
    EXPECT_TRUE(list->getRow(3)->selected);
    EXPECT_EQ(list->getRowData(3), 1002);
    list->deleteRow(0);
    EXPECT_EQ(list->getSelectedRow(), 2);
    EXPECT_EQ(list->getRowData(2), 1002);

    list->deleteRow(-1);
    list->deleteRow(list->getRowCount());
    EXPECT_EQ(list->getRowCount(), 5);
    list->deleteRow(4);
    EXPECT_EQ(list->getSelectedRow(), 2);
    list->deleteRow(2);
    EXPECT_EQ(list->getSelectedRow(), -1);
    for (int row = 0; row < list->getRowCount(); ++row)
        EXPECT_FALSE(list->getRow(row)->selected);
}

TEST_F(KXListCtrlTest, ScrollBarShowsOnlyWhenRowsOverflowAndCountsTheTallSelectedRow)
{
    const KXScrollbar& bar = list->verticalScrollbar();
    addRows(10);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(list->getArea().right, kRect.right);

    addRows(1);
    ASSERT_TRUE(bar.isVisible());
    EXPECT_EQ(list->getArea().right, kRect.right - 17);
    EXPECT_EQ(*bar.getRect(), (RECT{kRect.right - 17, kRect.top, kRect.right, kRect.bottom}));
    EXPECT_EQ(bar.itemSize, 15);
    EXPECT_EQ(bar.page, 9);  // (165 - 2 * 15) / 15
    EXPECT_EQ(bar.range, 10);

    list->selectedRowLines = 3;
    list->selectRow(4);
    EXPECT_EQ(bar.range, 12);  // two more lines' worth

    // Nine rows fit on their own, but not beside a selected row three lines high.
    list->deleteRow(0);
    list->deleteRow(0);
    EXPECT_TRUE(bar.isVisible());
    list->selectRow(-1);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(list->getArea().right, kRect.right);
}

TEST_F(KXListCtrlTest, ScrollPositionStaysOnExistingRowsWhenRowsGo)
{
    addRows(40);
    KXScrollbar& bar = list->verticalScrollbar();
    bar.setPos(31);
    EXPECT_EQ(list->firstVisibleRow(), 30);  // range 39 - page 9
    for (int i = 0; i < 25; ++i)
        list->deleteRow(list->getRowCount() - 1);
    EXPECT_EQ(bar.pos, 5);  // range 14 - page 9
    paint();
    ASSERT_FALSE(list->drawn.empty());
    EXPECT_EQ(list->drawn.front().row, 5);
    EXPECT_EQ(list->drawn.back().row, 14);

    list->deleteAllRows();
    EXPECT_EQ(list->firstVisibleRow(), 0);
    addRows(12);
    EXPECT_EQ(bar.pos, 0);
}

TEST_F(KXListCtrlTest, GeometryMatchesAPlainWalkOfTheRows)
{
    // Every combination of scroll position, tall or short selected row before, in and after the
    // view, against the row walk done one row at a time.
    const PlainWalk walk{*list};
    addRows(30);
    for (int selectedLines : {1, 3, 0}) {
        for (int lines : {1, 2}) {
            for (int selected : {-1, 0, 2, 6, 9, 14, 29}) {
                for (int pos : {0, 1, 5, 9, 20}) {
                    list->rowLines = lines;
                    list->selectedRowLines = selectedLines;
                    list->selectRow(selected);
                    list->verticalScrollbar().setPos(pos);
                    SCOPED_TRACE(testing::Message() << "lines " << lines << " selected lines " << selectedLines
                                                    << " selected " << selected << " first "
                                                    << list->firstVisibleRow());
                    const RECT& area = list->getArea();
                    for (int x : {area.left - 1, area.left, area.right - 1, area.right}) {
                        for (int y = area.top - 2; y < area.bottom + 120; ++y) {
                            int expected = -1;
                            int actual = -1;
                            const bool expectedHit = walk.hitTestRow(POINT{x, y}, expected);
                            ASSERT_EQ(list->hitTestRow(POINT{x, y}, actual), expectedHit) << x << "," << y;
                            ASSERT_EQ(actual, expected) << x << "," << y;
                        }
                    }
                    for (int row = -1; row <= 31; ++row) {
                        RECT expected{};
                        RECT actual{};
                        const bool expectedHit = walk.rowRect(row, expected);
                        ASSERT_EQ(list->getCellRect(row, -1, actual), expectedHit) << row;
                        ASSERT_EQ(actual, expected) << row;
                    }
                }
            }
        }
    }
}

TEST_F(KXListCtrlTest, CellsAndHitTestsFollowColumnsAndScrolling)
{
    addRows(20);
    RECT cell;
    ASSERT_TRUE(list->getCellRect(2, 1, cell));
    EXPECT_EQ(cell, (RECT{60, 65, 130, 80}));
    EXPECT_FALSE(list->getCellRect(2, 2, cell));
    EXPECT_FALSE(list->getCellRect(2, -2, cell));
    ASSERT_TRUE(list->getCellRect(2, -1, cell));
    EXPECT_EQ(cell, (RECT{10, 65, 193, 80}));

    int row = -1;
    int column = -1;
    EXPECT_TRUE(list->hitTestCell(POINT{70, 66}, row, column));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(column, 1);
    // Right of the last column: the row is found, the column left as it was.
    column = 42;
    EXPECT_TRUE(list->hitTestCell(POINT{150, 66}, row, column));
    EXPECT_EQ(column, 42);
    EXPECT_FALSE(list->hitTestCell(POINT{70, 30}, row, column));  // the header

    list->verticalScrollbar().setPos(3);
    EXPECT_FALSE(list->getCellRect(2, 0, cell));  // scrolled out above
    ASSERT_TRUE(list->getCellRect(3, 0, cell));
    EXPECT_EQ(cell.top, 35);
    EXPECT_TRUE(list->hitTestRow(onViewRow(0), row));
    EXPECT_EQ(row, 3);
}

TEST_F(KXListCtrlTest, HoverAndSelectionReplay)
{
    addRows(5);
    list->selectedRowLines = 2;

    // Entering a row marks it hot and tells the owner.
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, onViewRow(1).x, onViewRow(1).y));
    EXPECT_EQ(list->getHoverRow(), 1);
    EXPECT_TRUE(list->getRow(1)->hot);
    EXPECT_TRUE(list->getState() & KXDirectUI::kHover);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"list", WM_MOUSEMOVE}}));

    // Within the same row: claimed, but nothing new.
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, onViewRow(1).x + 30, onViewRow(1).y + 3));
    EXPECT_TRUE(handler.take().empty());

    // To the next row: the hot mark moves.
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, onViewRow(2).x, onViewRow(2).y));
    EXPECT_EQ(list->getHoverRow(), 2);
    EXPECT_FALSE(list->getRow(1)->hot);
    EXPECT_TRUE(list->getRow(2)->hot);
    EXPECT_EQ(handler.take().size(), 1u);

    // A click selects, captures until the button comes up, and the release is the click.
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, onViewRow(2).x, onViewRow(2).y));
    EXPECT_EQ(list->getSelectedRow(), 2);
    EXPECT_TRUE(list->getRow(2)->selected);
    EXPECT_EQ(platform::Window::captureWindow(), &handler.window);
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, onViewRow(2).x, onViewRow(2).y));
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"list", WM_LBUTTONDOWN}, {"list", WM_LBUTTONUP}}));

    // The selected row is now two lines high: row 3 starts a line further down.
    int row = -1;
    EXPECT_TRUE(list->hitTestRow(onViewRow(3), row));
    EXPECT_EQ(row, 2);
    EXPECT_TRUE(list->hitTestRow(onViewRow(4), row));
    EXPECT_EQ(row, 3);

    // Below the last row: the selection stays, the press still captures.
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 20, 170));
    EXPECT_EQ(list->getSelectedRow(), 2);
    EXPECT_EQ(platform::Window::captureWindow(), &handler.window);
    // Released outside the list: no click, but the capture goes.
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 300, 250));
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"list", WM_LBUTTONDOWN}}));

    // Another row takes the selection over.
    EXPECT_TRUE(handler.send(WM_LBUTTONDBLCLK, onViewRow(0).x, onViewRow(0).y));
    handler.send(WM_LBUTTONUP, onViewRow(0).x, onViewRow(0).y);
    EXPECT_EQ(list->getSelectedRow(), 0);
    EXPECT_FALSE(list->getRow(2)->selected);

    // Leaving the list drops the hover look, hot row included, without claiming.
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, 300, 250));
    EXPECT_EQ(list->getHoverRow(), -1);
    EXPECT_FALSE(list->getState() & KXDirectUI::kHover);
    for (int r = 0; r < list->getRowCount(); ++r)
        EXPECT_FALSE(list->getRow(r)->hot);

    // So does the mouse leaving the window.
    handler.send(WM_MOUSEMOVE, onViewRow(1).x, onViewRow(1).y);
    EXPECT_EQ(list->getHoverRow(), 0);  // the selected row 0 is two lines high
    EXPECT_FALSE(handler.send(WM_MOUSELEAVE, 0, 0));
    EXPECT_EQ(list->getHoverRow(), -1);
}

TEST_F(KXListCtrlTest, HiddenOrDisabledListIgnoresTheMouse)
{
    addRows(3);
    list->setEnabled(false);
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, onViewRow(1).x, onViewRow(1).y));
    EXPECT_EQ(list->getSelectedRow(), -1);
    list->setEnabled(true);
    list->setVisible(false);
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, onViewRow(1).x, onViewRow(1).y));
    paint();
    EXPECT_TRUE(list->drawn.empty());
    EXPECT_EQ(list->begins, 0);
}

TEST_F(KXListCtrlTest, WheelScrollsOneRowPerNotchOverTheListOnly)
{
    addRows(30);
    const KXScrollbar& bar = list->verticalScrollbar();
    const POINT inside = onViewRow(3);
    EXPECT_FALSE(wheel(-1, inside));  // never claimed: the owner's other controls may see it too
    EXPECT_EQ(bar.pos, 1);
    wheel(-3, inside);
    EXPECT_EQ(bar.pos, 4);
    wheel(1, inside);  // forward scrolls toward the first row
    EXPECT_EQ(bar.pos, 3);
    wheel(-1, POINT{300, 250});
    EXPECT_EQ(bar.pos, 3);
    wheel(-100, inside);
    EXPECT_EQ(bar.pos, 20);  // range 29 - page 9
    wheel(100, inside);
    EXPECT_EQ(bar.pos, 0);

    // A list whose rows fit does not scroll.
    list->deleteAllRows();
    addRows(5);
    wheel(-1, inside);
    EXPECT_EQ(list->firstVisibleRow(), 0);
}

TEST_F(KXListCtrlTest, ThumbDragFollowsTheMouseAcrossTheRows)
{
    addRows(100);
    const KXScrollbar& bar = list->verticalScrollbar();
    const RECT barRect = *bar.getRect();
    const int thumbY = barRect.top + bar.thumbOffset() + 2;
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, barRect.left + 8, thumbY));
    EXPECT_EQ(bar.pos, 0);
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, barRect.left + 8, thumbY + 40));
    const int afterBarMove = bar.pos;
    EXPECT_GT(afterBarMove, 0);
    // Over the rows, a few pixels further: the thumb still follows.
    handler.send(WM_MOUSEMOVE, 60, thumbY + 60);
    EXPECT_GT(bar.pos, afterBarMove);
    // Outside the list too.
    const int beforeOutside = bar.pos;
    handler.send(WM_MOUSEMOVE, 300, thumbY + 90);
    handler.send(WM_MOUSEMOVE, 300, thumbY + 100);
    EXPECT_GT(bar.pos, beforeOutside);
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 300, thumbY + 100));
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_FALSE(bar.getState() & KXDirectUI::kPressed);
}

TEST_F(KXListCtrlTest, RowsAreRepaintedWithEveryStepOfAHeldArrow)
{
    addRows(100);
    handler.window.show();
    RepaintedAreas repainted(platform::widgetOf(handler.window));
    repainted.take();
    const RECT area = list->getArea();
    const QRect rows(area.left, area.top + list->headerHeight, area.right - area.left,
                     area.bottom - area.top - list->headerHeight);
    KXScrollbar& bar = list->verticalScrollbar();
    const RECT barRect = *bar.getRect();
    const POINT downArrow{barRect.left + 8, barRect.bottom - 5};

    // The step the press takes shows in the rows at once.
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, downArrow.x, downArrow.y));
    EXPECT_EQ(bar.pos, 1);
    EXPECT_TRUE(repainted.take().contains(rows));
    // So does every step of the auto-repeat while the arrow stays down.
    for (int step = 2; step <= 4; ++step) {
        bar.repeatTimer().fire();
        EXPECT_EQ(bar.pos, step);
        EXPECT_TRUE(repainted.take().contains(rows)) << "step " << step;
    }
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, downArrow.x, downArrow.y));
    EXPECT_EQ(list->firstVisibleRow(), 4);
}

TEST_F(KXListCtrlTest, SmallWheelDeltasAddUpToWholeRows)
{
    addRows(30);
    handler.routeWindowInput = true;
    QWidget* widget = platform::widgetOf(handler.window);
    const auto turn = [&](int delta) {
        const QPointF at(onViewRow(3).x, onViewRow(3).y);
        QWheelEvent event(at, widget->mapToGlobal(at), QPoint(0, delta), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::ScrollUpdate, false);
        QCoreApplication::sendEvent(widget, &event);
    };
    const KXScrollbar& bar = list->verticalScrollbar();
    // A touchpad reports a notch's travel in small pieces: three of 40 make one row.
    turn(-40);
    turn(-40);
    EXPECT_EQ(bar.pos, 0);
    turn(-40);
    EXPECT_EQ(bar.pos, 1);
    // Pieces that run past a notch keep the rest for the next one.
    turn(-100);
    turn(-100);
    EXPECT_EQ(bar.pos, 2);
    turn(-40);
    EXPECT_EQ(bar.pos, 3);
    // Turning back drops the rest of the other way: the first notch back needs a whole 120.
    turn(-100);
    turn(60);
    EXPECT_EQ(bar.pos, 3);
    turn(60);
    EXPECT_EQ(bar.pos, 2);
    // A notched wheel still scrolls one row per notch, at once.
    turn(-360);
    EXPECT_EQ(bar.pos, 5);
}

TEST_F(KXListCtrlTest, DisablingAListWhileItsArrowIsHeldLetsGoOfEverything)
{
    addRows(100);
    KXScrollbar& bar = list->verticalScrollbar();
    const RECT barRect = *bar.getRect();
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, barRect.left + 8, barRect.bottom - 5));
    EXPECT_TRUE(bar.repeatTimer().isActive());
    list->setEnabled(false);
    EXPECT_FALSE(bar.repeatTimer().isActive());
    EXPECT_EQ(bar.pressedPart, KXScrollbar::kNone);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);

    // A press on a row, the list disabled and enabled again while the button is down elsewhere:
    // the release over the list is no click.
    list->setEnabled(true);
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, onViewRow(1).x, onViewRow(1).y));
    handler.take();
    list->setEnabled(false);
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, onViewRow(1).x, onViewRow(1).y));
    list->setEnabled(true);
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, 300, 250));
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, onViewRow(1).x, onViewRow(1).y));
    EXPECT_TRUE(handler.take().empty());
}

TEST_F(KXListCtrlTest, PaintsOnlyTheRowsInViewWithTheirHighlights)
{
    list->hotRowColorFrom = list->hotRowColorTo = RGB(0, 255, 0);
    list->selectedRowColorFrom = list->selectedRowColorTo = RGB(0, 0, 255);
    list->selectedRowLines = 3;

    paint();  // no rows: header and a line under it only
    EXPECT_TRUE(list->drawn.empty());
    EXPECT_EQ(list->begins, 0);
    EXPECT_EQ(list->headerCells, (std::vector<int>{0, 1}));

    addRows(100000);
    list->verticalScrollbar().setPos(500);
    list->selectRow(502);
    handler.send(WM_MOUSEMOVE, onViewRow(0).x, onViewRow(0).y);
    ASSERT_EQ(list->getHoverRow(), 500);

    list->begins = list->ends = 0;
    platform::DeviceContext dc(RECT{0, 0, 400, 300});
    list->drawn.clear();
    list->draw(&dc);
    EXPECT_EQ(list->begins, 1);
    EXPECT_EQ(list->ends, 1);
    // Rows 500..509 fill the 150 pixels with the selected row three lines high; the last one
    // reaches the bottom and ends the walk.
    ASSERT_EQ(list->drawn.size(), 8u);
    EXPECT_EQ(list->drawn.front(), (RecordingList::DrawnRow{500, RECT{10, 35, 193, 50}}));
    EXPECT_EQ(list->drawn[2], (RecordingList::DrawnRow{502, RECT{10, 65, 193, 110}}));
    EXPECT_EQ(list->drawn.back(), (RecordingList::DrawnRow{507, RECT{10, 170, 193, 185}}));

    EXPECT_EQ(dc.pixel(100, 40), 0xFF00FF00u);  // hot row
    EXPECT_EQ(dc.pixel(100, 80), 0xFF0000FFu);  // selected row
    EXPECT_EQ(dc.pixel(100, 65), 0xFF000000u | 0xCCDADDu);  // grid line at the selected row's top
    EXPECT_EQ(dc.pixel(100, 130), 0xFFFFFFFFu);  // an ordinary row is not filled
    EXPECT_EQ(dc.pixel(100, 25), 0xFFF5F5F5u);  // header
}

TEST_F(KXListCtrlTest, RowContentsStayInsideTheRowsArea)
{
    // A hook that paints past its row lands in the off-screen rows buffer, which covers only the
    // rows' area: the header above stays intact.
    class Spilling : public KXListCtrl {
    protected:
        void drawRow(HDC dc, int, ListRow*, const RECT& r) override
        {
            dc->fillSolid(RECT{r.left, r.top - 40, r.right, r.bottom}, RGB(255, 0, 0));
        }
    };
    KXSmartPtr<Spilling> spilling(new Spilling());
    spilling->setRect(kRect);
    spilling->insertRow(0, 1);
    platform::DeviceContext dc(RECT{0, 0, 400, 300});
    spilling->draw(&dc);
    EXPECT_EQ(dc.pixel(100, 40), 0xFFFF0000u);
    EXPECT_EQ(dc.pixel(100, 25), 0xFFF5F5F5u);
}

TEST_F(KXListCtrlTest, CallbackMayReleaseTheListDuringItsClick)
{
    addRows(5);
    bool destroyed = false;
    list->destroyed = &destroyed;
    // The owner removes and drops the list when it hears of the click; the list must not be
    // touched after the callback, since nothing else holds it.
    handler.onEvent = [&](KXSmartPtr<KXDirectUI>, UINT message) {
        if (message == WM_LBUTTONUP) {
            handler.removeControl("list");
            list.reset();
        }
    };
    RecordingList* raw = list.raw();
    const LPARAM at = MAKELPARAM(onViewRow(1).x, onViewRow(1).y);
    EXPECT_TRUE(raw->handleMessage(WM_LBUTTONDOWN, 0, at));
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(raw->handleMessage(WM_LBUTTONUP, 0, at));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"list", WM_LBUTTONDOWN}, {"list", WM_LBUTTONUP}}));
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, onViewRow(1).x, onViewRow(1).y));
}

TEST_F(KXListCtrlTest, CallbackMayEmptyTheListDuringItsPress)
{
    addRows(5);
    handler.onEvent = [&](KXSmartPtr<KXDirectUI>, UINT message) {
        if (message == WM_LBUTTONDOWN)
            list->deleteAllRows();
    };
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, onViewRow(1).x, onViewRow(1).y));
    EXPECT_EQ(list->getRowCount(), 0);
    EXPECT_EQ(list->getSelectedRow(), -1);
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, onViewRow(1).x, onViewRow(1).y));
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    paint();
    EXPECT_TRUE(list->drawn.empty());
}

TEST_F(KXListCtrlTest, RowHookThatDeletesRowsEndsThePaintSafely)
{
    addRows(20);
    list->onDrawRow = [&](int row) {
        if (row == 2)
            list->deleteAllRows();
    };
    paint();
    EXPECT_EQ(list->drawn.size(), 3u);
    EXPECT_EQ(list->ends, 1);
}

}  // namespace
