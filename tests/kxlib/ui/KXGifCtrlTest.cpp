// The GIF player: frames follow their own delays, and stopping holds the frame shown.
#include "kxlib/ui/KXGifCtrl.h"
#include "platform/gui/Timer.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace KXLib;

namespace {

// Two 1 x 1 frames, red then blue, with delays of 5 and 0 hundredths.
std::vector<unsigned char> twoFrameGif()
{
    return {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
            0xFF, 0, 0, 0, 0, 0xFF,                         // colour table: red, blue
            0x21, 0xF9, 4, 0, 5, 0, 0, 0,                   // frame 1: delay 5
            0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0,
            0x21, 0xF9, 4, 0, 0, 0, 0, 0,                   // frame 2: no delay given
            0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0,
            0x3B};
}

TEST(KXGifCtrlTest, FramesAdvanceByTheirDelaysAndStopHoldsTheFrame)
{
    testsupport::TempDir dir;
    testsupport::writeBytes(dir / "busy.gif", twoFrameGif());
    controltest::RecordingHandler owner;
    KXGifCtrl gif;
    EXPECT_FALSE(gif.load((dir / "busy.gif").string(), nullptr));
    EXPECT_FALSE(gif.load((dir / "missing.gif").string(), &owner.window));
    ASSERT_TRUE(gif.load((dir / "busy.gif").string(), &owner.window));
    ASSERT_EQ(gif.frameCount(), 2);
    EXPECT_EQ(gif.frameDelay(0), 5);
    EXPECT_EQ(gif.frameDelay(1), 10);  // a missing delay must not spin the window thread
    gif.drawRect = RECT{10, 10, 26, 26};

    const auto shownColour = [&] {
        platform::DeviceContext dc(RECT{0, 0, 50, 50});
        gif.draw(&dc);
        return dc.pixel(18, 18);
    };
    gif.play();
    EXPECT_EQ(gif.shownFrame(), 0);
    EXPECT_EQ(gif.currentFrame, 1);
    EXPECT_EQ(gif.timer().interval(), 50);
    EXPECT_EQ(shownColour(), 0xFFFF0000u);

    gif.timer().fire();
    EXPECT_EQ(gif.shownFrame(), 1);
    EXPECT_EQ(gif.timer().interval(), 100);
    EXPECT_EQ(gif.currentFrame, 0);
    EXPECT_EQ(shownColour(), 0xFF0000FFu);

    gif.timer().fire();
    EXPECT_EQ(gif.shownFrame(), 0);
    gif.stop();
    gif.timer().fire();
    EXPECT_EQ(gif.shownFrame(), 0);
    EXPECT_FALSE(gif.timer().isActive());
}

TEST(KXGifCtrlTest, NothingLoadedDrawsNothing)
{
    KXGifCtrl gif;
    gif.drawRect = RECT{0, 0, 10, 10};
    gif.play();
    EXPECT_FALSE(gif.playing);
    platform::DeviceContext dc(RECT{0, 0, 10, 10});
    gif.draw(&dc);
    EXPECT_EQ(dc.pixel(5, 5), 0xFFFFFFFFu);
}

}  // namespace
