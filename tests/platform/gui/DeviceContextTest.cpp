// Drawing primitives, text and the off-screen copy.
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXMemDc.h"
#include "platform/gui/DeviceContext.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

int inkIn(const platform::DeviceContext& dc, const RECT& area)
{
    int ink = 0;
    for (int x = area.left; x < area.right; ++x)
        for (int y = area.top; y < area.bottom; ++y)
            ink += dc.pixel(x, y) != kWhite;
    return ink;
}

TEST(DeviceContextTest, LinesExcludeTheirEndAndRectanglesNormaliseCorners)
{
    platform::DeviceContext dc(RECT{0, 0, 20, 20});
    KXLib::drawLine(&dc, RGB(255, 0, 0), 2, 2, 6, 2);
    EXPECT_EQ(dc.pixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(dc.pixel(5, 2), 0xFFFF0000u);
    EXPECT_EQ(dc.pixel(6, 2), kWhite);
    KXLib::drawLine(&dc, RGB(255, 0, 0), 10, 9, 10, 5);  // upwards
    EXPECT_EQ(dc.pixel(10, 9), 0xFFFF0000u);
    EXPECT_EQ(dc.pixel(10, 5), kWhite);

    KXLib::drawRect(&dc, RGB(0, 0, 255), RGB(0, 255, 0), false, 18, 18, 12, 12);
    EXPECT_EQ(dc.pixel(12, 12), 0xFF0000FFu);
    EXPECT_EQ(dc.pixel(17, 17), 0xFF0000FFu);
    EXPECT_EQ(dc.pixel(15, 15), 0xFF00FF00u);
    EXPECT_EQ(dc.pixel(18, 18), kWhite);
    KXLib::drawRect(&dc, RGB(0, 0, 255), 0, true, 0, 10, 8, 18);
    EXPECT_EQ(dc.pixel(4, 14), kWhite);
}

TEST(DeviceContextTest, VerticalGradientStartsWithTheFirstColourAtTheTop)
{
    platform::DeviceContext dc(RECT{0, 0, 10, 100});
    KXLib::gradientFill(&dc, RGB(255, 255, 255), RGB(0, 0, 0), true, 0, 0, 10, 100);
    EXPECT_EQ(dc.pixel(5, 0), kWhite);
    EXPECT_LT(dc.pixel(5, 99) & 0xFF, 5u);
    KXLib::gradientFill(&dc, RGB(0, 0, 0), RGB(255, 255, 255), false, 0, 0, 10, 100);
    EXPECT_EQ(dc.pixel(0, 50), 0xFF000000u);
}

TEST(DeviceContextTest, ChineseTextRendersAndEllipsisStaysInside)
{
    const SIZE size = platform::DeviceContext::measureText("请添加需要转换格式的文件", KXLib::sharedFont());
    EXPECT_GT(size.cx, 12 * 8);  // twelve wide glyphs
    EXPECT_GE(size.cy, 12);

    platform::DeviceContext dc(RECT{0, 0, 200, 40});
    dc.drawText("确定", RECT{0, 0, 200, 20}, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, KXLib::sharedFont());
    EXPECT_GT(inkIn(dc, RECT{80, 0, 120, 20}), 20);
    EXPECT_EQ(inkIn(dc, RECT{0, 0, 70, 20}), 0);

    dc.drawText("a very long status line that cannot fit", RECT{0, 20, 60, 40}, DT_SINGLELINE | DT_END_ELLIPSIS, 0,
                KXLib::sharedFont());
    EXPECT_GT(inkIn(dc, RECT{0, 20, 60, 40}), 0);
    EXPECT_EQ(inkIn(dc, RECT{60, 20, 200, 40}), 0);
}

TEST(DeviceContextTest, MemDcPaintsOffScreenAndCopiesBackOnce)
{
    platform::DeviceContext target(RECT{0, 0, 100, 100});
    KXLib::drawRect(&target, RGB(255, 0, 0), RGB(255, 0, 0), false, 0, 0, 100, 100);
    {
        KXLib::KXMemDc mem(&target, RECT{20, 20, 60, 60}, true);
        EXPECT_EQ(mem.pixel(30, 30), 0xFFFF0000u);  // started as a copy of the target
        KXLib::drawRect(&mem, RGB(0, 0, 255), RGB(0, 0, 255), false, 30, 30, 40, 40);
        EXPECT_EQ(target.pixel(35, 35), 0xFFFF0000u);  // nothing reaches the target yet
        KXLib::drawRect(&mem, RGB(0, 0, 255), RGB(0, 0, 255), false, 0, 0, 100, 100);
    }
    EXPECT_EQ(target.pixel(35, 35), 0xFF0000FFu);
    EXPECT_EQ(target.pixel(10, 10), 0xFFFF0000u);  // outside the area untouched
    {
        KXLib::KXMemDc blank(&target, RECT{70, 70, 80, 80}, false);
    }
    EXPECT_EQ(target.pixel(75, 75), kWhite);
}

TEST(DeviceContextTest, MulDivRoundsLikeTheClassicHelper)
{
    EXPECT_EQ(mulDiv(7, 70, 20), 25);  // 24.5 rounds away from zero
    EXPECT_EQ(mulDiv(-7, 70, 20), -25);
    EXPECT_EQ(mulDiv(-3, 1, -2), 2);  // both signs negative: still away from zero
    EXPECT_EQ(mulDiv(3, 1, -2), -2);
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
    EXPECT_EQ(mulDiv(2000000000, 3, 4), 1500000000);
    EXPECT_EQ(mulDiv(4294967296LL, 10, 4294967296LL * 4), 3);  // ranges wider than an int
}

TEST(DeviceContextTest, AtRatioTwoEveryLogicalPixelIsTwoByTwoAndTheCopyBackKeepsThem)
{
    platform::DeviceContext dc(RECT{10, 10, 30, 30}, 0xFFFFFF, 2.0);
    EXPECT_EQ(dc.pixelRatio(), 2.0);
    KXLib::drawLine(&dc, RGB(255, 0, 0), 12, 12, 16, 12);
    const platform::Image buffer = dc.toImage();
    EXPECT_EQ(buffer.width(), 20);  // logical size
    EXPECT_EQ(buffer.pixel(4, 4), 0xFFFF0000u);
    EXPECT_EQ(buffer.pixel(4, 5), 0xFFFF0000u);
    EXPECT_EQ(buffer.pixel(4, 6), kWhite);
    EXPECT_EQ(buffer.pixel(11, 4), 0xFFFF0000u);
    EXPECT_EQ(buffer.pixel(12, 4), kWhite);

    // Text at ratio 2 is drawn with the buffer's pixels, not enlarged: some column of ink has a
    // neighbour that differs from it within the same logical pixel.
    {
        KXLib::KXMemDc mem(&dc, RECT{12, 16, 30, 30}, true);
        EXPECT_EQ(mem.pixelRatio(), 2.0);
        mem.drawText("Ag", RECT{12, 16, 30, 30}, DT_SINGLELINE, RGB(0, 0, 0), platform::Font::standard());
    }
    const platform::Image text = dc.toImage();
    bool finerThanLogical = false;
    for (int y = 12; y < 40 && !finerThanLogical; ++y)
        for (int x = 4; x < 40; x += 2)
            finerThanLogical = finerThanLogical || text.pixel(x, y) != text.pixel(x + 1, y);
    EXPECT_TRUE(finerThanLogical);
    EXPECT_EQ(text.pixel(4, 4), 0xFFFF0000u) << "the copy back leaves the rest alone";
}

}  // namespace
