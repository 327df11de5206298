// Images: decoding, the premultiply rule, and drawing with and without alpha.
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Image.h"
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

namespace {

// A strip of two 4 x 2 frames (red, green) and its twin at twice the size whose frames carry a
// one-pixel pattern (red and blue columns, green and blue columns) that only a sharp copy keeps.
std::string writeStripWithTwin(const testsupport::TempDir& dir)
{
    platform::Image single(8, 2, 0xFFFF0000);
    single.fill(RECT{4, 0, 8, 2}, 0xFF00FF00);
    const std::string path = (dir / "strip.png").string();
    EXPECT_TRUE(single.save(path));
    platform::Image twin(16, 4, 0xFFFF0000);
    twin.fill(RECT{8, 0, 16, 4}, 0xFF00FF00);
    for (int x = 1; x < 16; x += 2)
        twin.fill(RECT{x, 0, x + 1, 4}, 0xFF0000FF);
    EXPECT_TRUE(twin.save((dir / "strip@2x.png").string()));
    return path;
}

TEST(ImageTest, ScreensOfRatioTwoGetTheDoubleSizeTwinAtTheSameLogicalSize)
{
    testsupport::TempDir dir;
    const std::string path = writeStripWithTwin(dir);

    platform::Image plain;
    ASSERT_TRUE(plain.load(path, 1.0));
    EXPECT_EQ(plain.pixelRatio(), 1.0);
    platform::Image sharp;
    ASSERT_TRUE(sharp.load(path, 2.0));
    EXPECT_EQ(sharp.pixelRatio(), 2.0);
    EXPECT_EQ(sharp.width(), 8);
    EXPECT_EQ(sharp.height(), 2);

    // Frame 1 (logical x 4..8) drawn at ratio 2: every buffer pixel of the twin survives.
    platform::DeviceContext dc(RECT{0, 0, 4, 2}, 0xFFFFFF, 2.0);
    dc.drawImage(sharp, RECT{0, 0, 4, 2}, RECT{4, 0, 8, 2});
    const platform::Image shown = dc.toImage();
    EXPECT_EQ(shown.pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(shown.pixel(1, 0), 0xFF0000FFu);
    EXPECT_EQ(shown.pixel(6, 3), 0xFF00FF00u);
    EXPECT_EQ(shown.pixel(7, 3), 0xFF0000FFu);

    // A twin that is not exactly twice the size is not taken.
    platform::Image odd(10, 4, 0xFF000000);
    ASSERT_TRUE(odd.save((dir / "strip@2x.png").string()));
    platform::Image fallback;
    ASSERT_TRUE(fallback.load(path, 2.0));
    EXPECT_EQ(fallback.pixelRatio(), 1.0);
    EXPECT_EQ(fallback.pixel(0, 0), 0xFFFF0000u);
}

}  // namespace
