// The drawn progress bar: what it paints, what it ignores, and updates from a worker thread.
#include "kxlib/ui/KXProgressbar.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <thread>

using namespace KXLib;

namespace {

constexpr std::uint32_t argbOf(COLORREF c)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | static_cast<std::uint32_t>(GetBValue(c));
}

class KXProgressbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bar = handler.make<KXProgressbar>("KXProgressbar", "progress", RECT{10, 10, 110, 30});
        bar->fillColorTo = bar->fillColorFrom;
        bar->backColorTo = bar->backColorFrom;
    }
    controltest::RecordingHandler handler;
    KXSmartPtr<KXProgressbar> bar;
};

TEST_F(KXProgressbarTest, FillCoversThePortionAndFramesFollowIt)
{
    bar->maxPos = 100;
    bar->setPos(50);
    platform::DeviceContext dc(RECT{0, 0, 200, 50});
    bar->draw(&dc);
    EXPECT_EQ(dc.pixel(30, 20), argbOf(bar->fillColorFrom));
    EXPECT_EQ(dc.pixel(80, 20), argbOf(bar->backColorFrom));
    EXPECT_EQ(dc.pixel(30, 10), argbOf(bar->fillBorderColor));
    EXPECT_EQ(dc.pixel(80, 10), argbOf(bar->borderColor));
    EXPECT_EQ(dc.pixel(30, 11), argbOf(bar->fillInnerBorderColor));
    EXPECT_EQ(dc.pixel(80, 11), argbOf(bar->innerBorderColor));
    EXPECT_EQ(dc.pixel(109, 20), argbOf(bar->borderColor));  // the right edge only when full
}

TEST_F(KXProgressbarTest, ZeroMaximumDrawsFramesAndBackgroundOnly)
{
    bar->showText = true;
    bar->setPos(0);
    bar->pos = 40;  // set directly: there is still nothing to fill or to print
    platform::DeviceContext dc(RECT{0, 0, 200, 50});
    bar->draw(&dc);
    for (int x = 12; x < 108; ++x)
        for (int y = 12; y < 28; ++y)
            ASSERT_EQ(dc.pixel(x, y), argbOf(bar->backColorFrom)) << x << "," << y;
}

TEST_F(KXProgressbarTest, SetPosIgnoresValuesAboveTheMaximum)
{
    bar->maxPos = 100;
    bar->setPos(101);
    EXPECT_EQ(bar->pos, 0);
    bar->setPos(-3);
    EXPECT_EQ(bar->pos, -3);
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, 200, 200));
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 20, 20));  // claimed, never reported
    EXPECT_TRUE(handler.take().empty());
}

TEST_F(KXProgressbarTest, AJobThreadUpdatesThroughTheWindowThread)
{
    bar->maxPos = 1000;
    handler.window.show();
    QCoreApplication::processEvents();
    const int paintsBefore = handler.paints;
    std::thread job([bar = bar] {
        for (int i = 1; i <= 1000; ++i)
            bar->setPos(i);
    });
    job.join();
    EXPECT_EQ(bar->pos, 1000);
    // The queued repaint request, then the repaint it schedules.
    for (int i = 0; i < 5 && handler.paints == paintsBefore; ++i)
        QCoreApplication::processEvents();
    EXPECT_GT(handler.paints, paintsBefore);
    handler.window.hide();
}

}  // namespace
