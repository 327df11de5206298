// The image scroll bar: geometry, clamping, arrows with auto-repeat, track paging, thumb drag, wheel.
#include "kxlib/ui/KXScrollbar.h"
#include "platform/gui/Timer.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace KXLib;

namespace {

class KXScrollbarTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // A 6 x 4 grid of 15-pixel cells plus the track row's two extra pixels.
        static testsupport::TempDir dir;
        platform::Image strip(92, 62, 0xFF404040);
        strip.fill(RECT{0, 45, 17, 60}, 0xFFC0C0C0);  // vertical track
        ASSERT_TRUE(strip.save((dir / "scrollbar.png").string()));
        ASSERT_TRUE(KXScrollbar::loadScrollbarImage((dir / "scrollbar.png").string(), SIZE{15, 15}));
    }
    void SetUp() override
    {
        bar = handler.make<KXScrollbar>("KXScrollbar", "v_scroll", RECT{0, 0, 17, 100});
        bar->itemSize = 10;
        bar->setRect(RECT{0, 0, 17, 100});
        bar->range = 20;
    }
    controltest::RecordingHandler handler;
    KXSmartPtr<KXScrollbar> bar;
};

TEST_F(KXScrollbarTest, GeometryFollowsRangePageAndPosition)
{
    EXPECT_EQ(bar->page, 7);  // (100 - 2 * 15) / 10
    EXPECT_EQ(bar->thumbLength(), 25);
    EXPECT_EQ(bar->thumbOffset(), 15);
    bar->setPos(100);
    EXPECT_EQ(bar->pos, 13);
    EXPECT_EQ(bar->thumbOffset(), 60);  // the thumb ends where the second arrow starts
    EXPECT_EQ(bar->hitTestPart(POINT{8, 5}), KXScrollbar::kFirstArrow);
    EXPECT_EQ(bar->hitTestPart(POINT{8, 95}), KXScrollbar::kSecondArrow);
    EXPECT_EQ(bar->hitTestPart(POINT{8, 70}), KXScrollbar::kThumb);
    EXPECT_EQ(bar->hitTestPart(POINT{8, 30}), KXScrollbar::kTrackBefore);
    EXPECT_EQ(bar->hitTestPart(POINT{0, 30}), KXScrollbar::kNone);
    bar->setPos(-5);
    EXPECT_EQ(bar->pos, 0);
}

TEST_F(KXScrollbarTest, EmptyRangeOrLongPageKeepsThePositionSane)
{
    bar->range = 0;
    bar->setPos(3);
    EXPECT_EQ(bar->pos, 0);
    // No thumb: the track shows where the thumb would be.
    EXPECT_EQ(controltest::paintedAt(*bar, 8, 20), 0xFFC0C0C0u);

    bar->range = 5;  // fewer items than a page
    bar->setPos(3);
    EXPECT_EQ(bar->pos, 0);
    EXPECT_EQ(bar->thumbLength(), 70);  // as long as the track allows, not over the arrows
    EXPECT_EQ(bar->thumbOffset(), 15);
}

TEST_F(KXScrollbarTest, HoldingAnArrowStepsOnceThenRepeatsAfterTheDelay)
{
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 8, 92));
    EXPECT_EQ(bar->pos, 1);
    EXPECT_EQ(bar->pressedPart, KXScrollbar::kSecondArrow);
    EXPECT_EQ(platform::Window::captureWindow(), &handler.window);
    platform::Timer& repeat = bar->repeatTimer();
    EXPECT_TRUE(repeat.isActive());
    EXPECT_EQ(repeat.interval(), KXScrollbar::kRepeatDelayMs);

    repeat.fire();
    EXPECT_EQ(bar->pos, 2);
    EXPECT_EQ(repeat.interval(), KXScrollbar::kRepeatIntervalMs);
    repeat.fire();
    EXPECT_EQ(bar->pos, 3);

    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 8, 92));
    EXPECT_FALSE(repeat.isActive());
    EXPECT_EQ(bar->pressedPart, KXScrollbar::kNone);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    repeat.fire();  // a tick already queued does nothing after the release
    EXPECT_EQ(bar->pos, 3);
    EXPECT_TRUE(handler.take().empty());  // a scroll bar never notifies
}

TEST_F(KXScrollbarTest, TrackPagesAndThumbDragFollowsTheMouse)
{
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 8, 80));
    EXPECT_EQ(bar->pos, 7);
    handler.send(WM_LBUTTONUP, 8, 80);
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 8, 20));
    EXPECT_EQ(bar->pos, 0);
    handler.send(WM_LBUTTONUP, 8, 20);

    ASSERT_TRUE(handler.send(WM_LBUTTONDOWN, 8, 20));  // on the thumb (15..40)
    EXPECT_TRUE(bar->dragging);
    EXPECT_EQ(bar->dragOffset, 5);
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 8, 42));
    EXPECT_EQ(bar->pos, 6);  // MulDiv(22, 13, 45)
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 300, 500));
    EXPECT_EQ(bar->pos, 13);
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 300, 500));  // released outside: still claimed
    EXPECT_FALSE(bar->dragging);
}

TEST_F(KXScrollbarTest, WheelForwardScrollsTowardTheFirstItemWithoutClaiming)
{
    bar->setPos(5);
    EXPECT_FALSE(handler.routeMessage(MSG{&handler.window, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0}));
    EXPECT_EQ(bar->pos, 3);
    EXPECT_FALSE(handler.routeMessage(MSG{&handler.window, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0}));
    EXPECT_EQ(bar->pos, 4);
}

}  // namespace
