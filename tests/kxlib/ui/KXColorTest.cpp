// The skin colour transform and its HSL conversions.
#include "kxlib/ui/KXColor.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace KXLib;

namespace {

const COLORREF kPresets[] = {0xF9C232, 0xF7B300, 0xEDA863, 0xE9933D, 0xE48A4E, 0xDE6D23, 0x6FF7DB,
                             0x0FF1C2, 0xBF8484, 0xB06666, 0x51BD87, 0x27AD6A, 0xE44D99, 0xDD2280,
                             0xE44DC6, 0xDD22B8, 0x7A4DE4, 0x5A22DD, 0x999999, 0x808080};

TEST(KXColorTest, IdentityAndRefusalLeaveTheOutputAlone)
{
    COLORREF out = 0x123456;
    EXPECT_TRUE(adjustColor(0xF9C232, &out, 0, 100, 100));
    EXPECT_EQ(out, 0x123456u);
    EXPECT_FALSE(adjustColor(0xF9C232, &out, 30, 100, -1));
    EXPECT_EQ(out, 0x123456u);
}

TEST(KXColorTest, ZeroLuminosityIsBlackAndGreysStayGrey)
{
    for (COLORREF c : kPresets) {
        COLORREF out = 0x123456;
        EXPECT_TRUE(adjustColor(c, &out, 45, 150, 0));
        EXPECT_EQ(out, 0u) << std::hex << c;
    }
    for (COLORREF grey : {0x000000u, 0x808080u, 0x999999u, 0xFFFFFFu}) {
        const HslColor hsl = rgbToHsl(grey);
        EXPECT_EQ(hsl.h, 0.0f);
        EXPECT_EQ(hsl.s, 0.0f);
        COLORREF out = 0;
        EXPECT_TRUE(adjustColor(grey, &out, -180, 200, 100));
        EXPECT_EQ(GetRValue(out), GetGValue(out));
        EXPECT_EQ(GetGValue(out), GetBValue(out));
        EXPECT_LE(std::abs(GetRValue(out) - GetRValue(grey)), 1);
    }
}

TEST(KXColorTest, PresetsSurviveTheRoundTripWithinTruncation)
{
    for (COLORREF c : kPresets) {
        const COLORREF back = hslToRgb(rgbToHsl(c));
        EXPECT_LE(std::abs(GetRValue(back) - GetRValue(c)), 1) << std::hex << c;
        EXPECT_LE(std::abs(GetGValue(back) - GetGValue(c)), 1) << std::hex << c;
        EXPECT_LE(std::abs(GetBValue(back) - GetBValue(c)), 1) << std::hex << c;
    }
}

TEST(KXColorTest, HueShiftsAndSaturation)
{
    COLORREF out = 0;
    // Pure red shifted by 120 degrees is green, by -180 (the hue slider at 0) cyan.
    EXPECT_TRUE(adjustColor(RGB(255, 0, 0), &out, 120, 100, 99));
    EXPECT_EQ(GetRValue(out), 0);
    EXPECT_GT(GetGValue(out), 240);
    EXPECT_TRUE(adjustColor(RGB(255, 0, 0), &out, -180, 100, 99));
    EXPECT_EQ(GetRValue(out), 0);
    EXPECT_EQ(GetGValue(out), GetBValue(out));
    // Saturation 0 gives a grey.
    EXPECT_TRUE(adjustColor(0xF9C232, &out, 0, 0, 100));
    EXPECT_EQ(GetRValue(out), GetBValue(out));
    // A shift read from a damaged settings file still ends.
    EXPECT_TRUE(adjustColor(0xF9C232, &out, 2000000000, 100, 100));
    EXPECT_TRUE(adjustColor(0xF9C232, &out, -2000000000, 100, 100));
}

}  // namespace
