// The image slider: position arithmetic, drags past both ends, notifications, the thumb's place.
#include "kxlib/ui/KXSlider.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace KXLib;
using controltest::Event;

namespace {

constexpr std::uint32_t kTrack = 0xFF00FF00;
constexpr std::uint32_t kThumb = 0xFFFF0000;

class KXSliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::Image track(100, 10, kTrack);
        platform::Image thumb(10, 14, kThumb);
        ASSERT_TRUE(track.save((dir / "track.png").string()));
        ASSERT_TRUE(thumb.save((dir / "thumb.png").string()));
        slider = handler.make<KXSlider>("KXSlider", "slider-hue", RECT{0, 0, 100, 14});
        ASSERT_TRUE(slider->loadTrackImages((dir / "track.png").string(), ""));
        ASSERT_TRUE(slider->loadThumbImage((dir / "thumb.png").string()));
        slider->setRange(200);
    }
    testsupport::TempDir dir;
    controltest::RecordingHandler handler;
    KXSmartPtr<KXSlider> slider;
};

TEST_F(KXSliderTest, DragPastBothEndsStaysInRangeAndReportsEveryMove)
{
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 50, 7));
    EXPECT_EQ(slider->getPos(), 100);
    EXPECT_EQ(platform::Window::captureWindow(), &handler.window);

    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, -30, 7));
    EXPECT_EQ(slider->getPos(), 0);
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, -40, 7));  // no change, still reported
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 500, 300));
    EXPECT_EQ(slider->getPos(), 200);
    // The thumb rests at the track's end.
    EXPECT_EQ(controltest::paintedAt(*slider, 95, 7), kThumb);
    EXPECT_EQ(controltest::paintedAt(*slider, 85, 7), kTrack);

    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 99, 7));
    EXPECT_EQ(slider->getState() & KXDirectUI::kPressed, 0);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"slider-hue", WM_LBUTTONDOWN},
                                                  {"slider-hue", WM_MOUSEMOVE},
                                                  {"slider-hue", WM_MOUSEMOVE},
                                                  {"slider-hue", WM_MOUSEMOVE},
                                                  {"slider-hue", WM_LBUTTONUP}}));
}

TEST_F(KXSliderTest, ReleaseOutsideEndsTheDragWithoutACommit)
{
    handler.send(WM_LBUTTONDOWN, 25, 7);
    EXPECT_EQ(slider->getPos(), 50);
    handler.take();
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 300, 100));  // claimed, not reported
    EXPECT_TRUE(handler.take().empty());
    EXPECT_EQ(slider->getState(), 0);
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, 25, 7));
}

TEST_F(KXSliderTest, HoverIsReportedOnEntryOnly)
{
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 10, 5));
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 11, 5));
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, 10, 50));
    EXPECT_EQ(slider->getState(), 0);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"slider-hue", WM_MOUSEMOVE}}));
}

TEST_F(KXSliderTest, PositionPixelArithmeticHonoursTheMargins)
{
    slider->marginStart = 10;
    slider->marginEnd = 10;  // 80 usable pixels
    slider->setPos(100);
    EXPECT_EQ(slider->positionOffset(), 40);
    EXPECT_EQ(slider->positionAt(50), 100);
    EXPECT_EQ(slider->positionAt(5), -12);  // outside the range until setPos clamps it
    slider->setPos(-12);
    EXPECT_EQ(slider->getPos(), 0);
    EXPECT_EQ(controltest::paintedAt(*slider, 15, 7), kThumb);  // at the usable start

    // A maximum of 0 must not divide by zero.
    slider->setRange(0);
    EXPECT_EQ(slider->positionOffset(), 0);
}

TEST_F(KXSliderTest, AThumbOrTrackTallerThanTheRectangleDrawsNothing)
{
    slider->setRect(RECT{0, 0, 100, 12});
    EXPECT_EQ(controltest::paintedAt(*slider, 50, 5), 0xFFFFFFFFu);
    KXSlider bare;
    bare.setDisposed(true);
    bare.setRect(RECT{0, 0, 100, 14});
    EXPECT_FALSE(bare.loadTrackImages((dir / "missing.bmp").string(), ""));
    EXPECT_EQ(controltest::paintedAt(bare, 50, 5), 0xFFFFFFFFu);
}

}  // namespace
