// Images: decoding, the premultiply rule, and drawing with and without alpha.
#include "platform/DeviceContext.h"
#include "platform/Image.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageTest, PremultiplyRoundsDownAndKeepsAlpha)
{
    platform::Image image(3, 1, 0);
    image.setPixel(0, 0, 0xC8826432);  // alpha 200: 130, 100, 50
    image.setPixel(1, 0, 0x80FFFFFF);
    image.setPixel(2, 0, 0x00FFFFFF);
    const platform::Image original = image;
    image.premultiply();
    EXPECT_TRUE(image.isPremultiplied());
    EXPECT_EQ(image.pixel(0, 0), 0xC8654E27u);  // 101, 78, 39: floors, where rounding would give 102
    EXPECT_EQ(image.pixel(1, 0), 0x80808080u);
    EXPECT_EQ(image.pixel(2, 0), 0x00000000u);
    EXPECT_EQ(original.pixel(0, 0), 0xC8826432u);  // copies do not share the change
    image.premultiply();                             // only once
    EXPECT_EQ(image.pixel(0, 0), 0xC8654E27u);
}

TEST(ImageTest, LoadsPngAndBmpAndRefusesGarbage)
{
    testsupport::TempDir dir;
    platform::Image picture(4, 2, 0x80FF0000);
    ASSERT_TRUE(picture.save((dir / "a.png").string()));
    ASSERT_TRUE(picture.save((dir / "a.bmp").string()));
    testsupport::writeBytes(dir / "bad.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});

    platform::Image png;
    ASSERT_TRUE(png.load((dir / "a.png").string()));
    EXPECT_EQ(png.size(), (SIZE{4, 2}));
    EXPECT_TRUE(png.hasAlpha());
    EXPECT_EQ(png.pixel(3, 1), 0x80FF0000u);

    platform::Image bmp;
    ASSERT_TRUE(bmp.load((dir / "a.bmp").string()));
    EXPECT_EQ(bmp.width(), 4);

    EXPECT_FALSE(png.load((dir / "bad.png").string()));
    EXPECT_FALSE(png.load((dir / "missing.png").string()));
    EXPECT_EQ(png.pixel(3, 1), 0x80FF0000u);  // a failed load keeps the picture
    EXPECT_EQ(png.pixel(9, 9), 0u);
}

TEST(ImageTest, BlendsAlphaCopiesOpaqueAndLeavesOutTheKeyColour)
{
    platform::Image half(2, 2, 0x80000000);  // black at half opacity
    half.premultiply();
    platform::Image opaque(2, 2, 0xFF00FF00);
    opaque.setPixel(1, 1, 0xFFFF00FF);

    platform::DeviceContext dc(RECT{0, 0, 10, 10});
    dc.drawImage(half, 0, 0);
    const std::uint32_t blended = dc.pixel(0, 0);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 127, 1);

    dc.drawImageKeyed(opaque, RECT{4, 4, 6, 6}, RECT{0, 0, 2, 2}, RGB(255, 0, 255));
    EXPECT_EQ(dc.pixel(4, 4), 0xFF00FF00u);
    EXPECT_EQ(dc.pixel(5, 5), 0xFFFFFFFFu);

    // Stretch: the 2 x 2 picture fills 4 x 4 by nearest pixel.
    dc.drawImage(opaque, RECT{6, 6, 10, 10}, RECT{0, 0, 2, 2});
    EXPECT_EQ(dc.pixel(6, 6), 0xFF00FF00u);
    EXPECT_EQ(dc.pixel(9, 9), 0xFFFF00FFu);
}

}  // namespace
