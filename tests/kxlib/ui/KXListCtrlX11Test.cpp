// The list in a real window on a real X server, driven by pointer input that xdotool sends through
// the XTest extension: wheel clicks must reach the list as WM_MOUSEWHEEL with the pointer's screen
// position and move its first visible row one row per notch; a scroll arrow held down must move
// the rows on the screen while it is held, not only when the button comes up.
#include "kxlib/ui/KXDirectUIHandler.h"
#include "kxlib/ui/KXListCtrl.h"
#include "kxlib/ui/KXScrollbar.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Image.h"
#include "platform/gui/Window.h"
#include "tests/support/TestSupport.h"
#include "tests/support/X11TestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <gtest/gtest.h>

#include <string>

using namespace KXLib;
using x11test::at;
using x11test::waitUntil;
using x11test::xdotool;

namespace {

// A window that paints its controls and routes its mouse messages to them, as every page does.
class ListWindow : public KXDirectUIHandler, public platform::WindowListener {
public:
    ListWindow() : window(platform::Window::Kind::TopLevel, this)
    {
        setDisposed(true);
        window.setGeometry(RECT{100, 100, 500, 400});
        createTooltip();
    }
    ~ListWindow() override { removeAllControls(); }

    HWND getWindow() override { return &window; }
    void onControlEvent(KXSmartPtr<KXDirectUI>, UINT, WPARAM, LPARAM) override {}
    void onPaint(platform::DeviceContext& dc) override
    {
        ++paints;
        drawControls(&dc);
    }
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_MOUSEWHEEL)
            ++wheels;
        if (message < WM_MOUSEMOVE || message > WM_MOUSEWHEEL)
            return false;
        routeMessage(MSG{&window, message, wParam, lParam});
        return true;
    }

    platform::Window window;
    int paints = 0;
    int wheels = 0;
};

bool loadGreyScrollbar(const testsupport::TempDir& dir)
{
    platform::Image strip(92, 62, 0xFF808080);
    return strip.save((dir / "scrollbar.png").string()) &&
           KXScrollbar::loadScrollbarImage((dir / "scrollbar.png").string(), SIZE{15, 15});
}

// Puts the list into the window with `rows` rows: header 15, then 16 rows of 15 in view.
void placeList(ListWindow& owner, const KXSmartPtr<KXListCtrl>& list, int rows)
{
    list->setName("list");
    list->setHandler(&owner);
    list->setRect(RECT{10, 10, 310, 265});
    list->insertColumn(0, 290);
    for (int i = 0; i < rows; ++i)
        list->insertRow(static_cast<unsigned>(i), i);
    list->updateScrollbars();
    EXPECT_TRUE(owner.addControl(list));
}

// A list that paints each row in a colour naming it: red is the row number.
class NumberedRows : public KXListCtrl {
protected:
    void drawRow(HDC dc, int row, ListRow*, const RECT& rect) override
    {
        dc->fillSolid(RECT{rect.left, rect.top + 1, rect.right, rect.bottom}, RGB(row & 0xFF, 0x40, 0x80));
    }
};

// The row number the screen shows at a point of the window's client area (the red of the pixel).
int rowShownAt(platform::Window& window, POINT client)
{
    const POINT screen = window.clientToScreen(client);
    const QImage pixel = QGuiApplication::primaryScreen()->grabWindow(0, screen.x, screen.y, 1, 1).toImage();
    return pixel.isNull() ? -1 : qRed(pixel.pixel(0, 0));
}

TEST(KXListCtrlX11Test, AHeldScrollArrowMovesTheRowsOnTheScreenWhileItIsHeld)
{
    testsupport::TempDir dir;
    ASSERT_TRUE(loadGreyScrollbar(dir));
    ListWindow owner;
    KXSmartPtr<KXListCtrl> list(new NumberedRows());
    placeList(owner, list, 200);

    owner.window.show();
    owner.window.activate();
    ASSERT_TRUE(waitUntil([&] { return owner.window.isVisible() && owner.paints > 0; }));
    const POINT topRow{150, 10 + 15 + 7};
    ASSERT_TRUE(waitUntil([&] { return rowShownAt(owner.window, topRow) == 0; }));

    // Down on the second arrow, and kept down.
    const RECT bar = *list->verticalScrollbar().getRect();
    const POINT arrow = owner.window.clientToScreen(POINT{bar.left + 8, bar.bottom - 5});
    ASSERT_TRUE(xdotool("mousemove " + at(arrow.x, arrow.y) + " mousedown 1"));
    // The rows on the screen follow the thumb: the top row shown moves past row 3 while the
    // button is still down.
    const bool moved = waitUntil([&] { return rowShownAt(owner.window, topRow) >= 3; });
    const int shownWhileHeld = rowShownAt(owner.window, topRow);
    const int firstWhileHeld = list->firstVisibleRow();
    ASSERT_TRUE(xdotool("mouseup 1"));
    EXPECT_TRUE(moved) << "the screen shows row " << shownWhileHeld << " at the top while the list's first row is "
                       << firstWhileHeld;

    // After the release the screen and the list agree.
    EXPECT_TRUE(waitUntil([&] { return rowShownAt(owner.window, topRow) == (list->firstVisibleRow() & 0xFF); }));
}

TEST(KXListCtrlX11Test, RealWheelClicksScrollTheListOneRowPerNotch)
{
    testsupport::TempDir dir;
    ASSERT_TRUE(loadGreyScrollbar(dir));
    ListWindow owner;
    KXSmartPtr<KXListCtrl> list(new KXListCtrl());
    placeList(owner, list, 500);
    ASSERT_TRUE(list->verticalScrollbar().isVisible());

    owner.window.show();
    owner.window.activate();
    ASSERT_TRUE(waitUntil([&] { return owner.window.isVisible() && owner.paints > 0; }));

    const POINT screen = owner.window.clientToScreen(POINT{150, 120});
    ASSERT_TRUE(xdotool("mousemove " + at(screen.x, screen.y)));
    // Button 5 is the wheel turned towards the user: down the list.
    ASSERT_TRUE(xdotool("click --repeat 3 --delay 30 5"));
    EXPECT_TRUE(waitUntil([&] { return list->firstVisibleRow() == 3; }))
        << "first visible row " << list->firstVisibleRow() << " after " << owner.wheels << " wheel events";

    // Button 4 turns it away: back toward the first row.
    ASSERT_TRUE(xdotool("click 4"));
    EXPECT_TRUE(waitUntil([&] { return list->firstVisibleRow() == 2; }))
        << "first visible row " << list->firstVisibleRow();

    // The wheel over the window but beside the list leaves it alone.
    const int wheelsBefore = owner.wheels;
    const POINT beside = owner.window.clientToScreen(POINT{360, 120});
    ASSERT_TRUE(xdotool("mousemove " + at(beside.x, beside.y) + " click 5"));
    ASSERT_TRUE(waitUntil([&] { return owner.wheels > wheelsBefore; }));
    EXPECT_EQ(list->firstVisibleRow(), 2);

    // What the list shows follows: the row at the top of the view is row 2.
    int row = -1;
    ASSERT_TRUE(list->hitTestRow(POINT{150, 30}, row));
    EXPECT_EQ(row, 2);
}

}  // namespace
