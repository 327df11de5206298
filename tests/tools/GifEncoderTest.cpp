// The GIF writer against the toolkit's GIF reader: frames that fill the LZW table (so it restarts),
// tiny palettes, transparency and per-frame delays all come back exactly as written.
#include "tools/skingen/GifEncoder.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using skingen::GifEncoder;

QList<QRgb> greyRamp(int n)
{
    QList<QRgb> palette;
    for (int i = 0; i < n; ++i)
        palette.append(qRgb(i * 255 / (n - 1), (i * 37) % 256, 255 - i * 255 / (n - 1)));
    return palette;
}

// A deterministic pseudo-random picture: little repetition, so the dictionary fills quickly.
std::vector<std::uint8_t> noise(int count, int colours, std::uint32_t seed)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(count));
    for (auto& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = std::uint8_t((seed >> 24) % std::uint32_t(colours));
    }
    return pixels;
}

struct Decoded {
    QList<QImage> frames;
    QList<int> delays;
};

Decoded decode(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    Decoded out;
    while (reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        out.frames.append(frame.convertToFormat(QImage::Format_ARGB32));
        out.delays.append(reader.nextImageDelay());
    }
    return out;
}

void expectPixels(const QImage& frame, const std::vector<std::uint8_t>& pixels, const QList<QRgb>& palette,
                  int transparent)
{
    ASSERT_EQ(std::size_t(frame.width() * frame.height()), pixels.size());
    int wrong = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const int index = pixels[std::size_t(y * frame.width() + x)];
            const QRgb got = frame.pixel(x, y);
            const bool ok = index == transparent ? qAlpha(got) == 0
                                                 : (got | 0xFF000000u) == (palette[index] | 0xFF000000u);
            wrong += ok ? 0 : 1;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(GifEncoder, LargeNoisyFramesSurviveTheDictionaryRestart)
{
    const QList<QRgb> palette = greyRamp(256);
    GifEncoder encoder(160, 120, palette, -1);
    const auto first = noise(160 * 120, 256, 7);
    const auto second = noise(160 * 120, 200, 99);
    encoder.addFrame({first, 5});
    encoder.addFrame({second, 25});
    const Decoded decoded = decode(encoder.encode());
    ASSERT_EQ(decoded.frames.size(), 2);
    expectPixels(decoded.frames[0], first, palette, -1);
    expectPixels(decoded.frames[1], second, palette, -1);
    EXPECT_EQ(decoded.delays, (QList<int>{50, 250}));
}

TEST(GifEncoder, SmallPalettesRunsAndTransparency)
{
    // Two colours still use the smallest code size GIF allows (2); long runs make long codes.
    const QList<QRgb> two{qRgb(255, 255, 255), qRgb(10, 20, 30)};
    std::vector<std::uint8_t> runs(64 * 64, 1);
    for (std::size_t i = 0; i < runs.size(); i += 97)
        runs[i] = 0;
    GifEncoder encoder(64, 64, two, 0);
    encoder.addFrame({runs, 3});
    const Decoded decoded = decode(encoder.encode());
    ASSERT_EQ(decoded.frames.size(), 1);
    expectPixels(decoded.frames[0], runs, two, 0);

    // Odd palette sizes are padded to a power of two without disturbing the used entries.
    const QList<QRgb> five = greyRamp(5);
    const auto pixels = noise(33 * 17, 5, 3);
    GifEncoder odd(33, 17, five, 4);
    odd.addFrame({pixels, 10});
    const Decoded oddDecoded = decode(odd.encode());
    ASSERT_EQ(oddDecoded.frames.size(), 1);
    expectPixels(oddDecoded.frames[0], pixels, five, 4);
}

}  // namespace
