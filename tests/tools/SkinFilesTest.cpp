// The painted skin against its catalogue: every file present with its exact size and frame
// layout, containers that the toolkit decodes, and output that repeats byte for byte.
#include "tests/support/TestSupport.h"
#include "tools/skingen/SkinCatalogue.h"

#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using skingen::FileFormat;
using skingen::Layout;
using skingen::SkinFile;

QString builtFile(std::string_view name)
{
    return QString(LUMARET_BUILT_IMAGE_DIR) + "/" + QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QImage readImage(std::string_view name)
{
    QImageReader reader(builtFile(name));
    return reader.read();
}

// "name@2x.png" for "name.png".
std::string twinOf(std::string_view name)
{
    std::string twin(name);
    twin.insert(twin.rfind('.'), "@2x");
    return twin;
}

int bmpBitsPerPixel(std::string_view name)
{
    const auto bytes = testsupport::readBytes(builtFile(name).toStdString());
    if (bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M')
        return -1;
    return bytes[28] | (bytes[29] << 8);
}

TEST(SkinFiles, EveryCatalogueFileExistsWithItsSizeAndFormat)
{
    for (const SkinFile& entry : skingen::kSkinFiles) {
        SCOPED_TRACE(std::string(entry.name));
        ASSERT_TRUE(std::filesystem::exists(builtFile(entry.name).toStdString()));
        QImageReader reader(builtFile(entry.name));
        const QByteArray expectedFormat = entry.format == FileFormat::Png    ? "png"
                                          : entry.format == FileFormat::Bmp24 ? "bmp"
                                          : entry.format == FileFormat::Gif   ? "gif"
                                                                              : "ico";
        EXPECT_EQ(reader.format(), expectedFormat);
        if (entry.format == FileFormat::Ico || entry.format == FileFormat::Gif)
            continue;  // checked below with their frames
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), entry.width);
        EXPECT_EQ(image.height(), entry.height);
        if (entry.format == FileFormat::Bmp24) {
            EXPECT_EQ(bmpBitsPerPixel(entry.name), 24);
        } else {
            EXPECT_TRUE(image.hasAlphaChannel()) << "skin PNGs are blended with their alpha";
        }
        if (entry.layout == Layout::Strip || entry.layout == Layout::Cells) {
            EXPECT_EQ(entry.frameWidth * entry.frames, entry.width);
        }
    }
}

TEST(SkinFiles, StripFramesShowFourDifferentStates)
{
    for (const SkinFile& entry : skingen::kSkinFiles) {
        if (entry.layout != Layout::Strip)
            continue;
        SCOPED_TRACE(std::string(entry.name));
        const QImage image = readImage(entry.name).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.width(), entry.frameWidth * 4);
        QSet<QByteArray> frames;
        for (int i = 0; i < 4; ++i) {
            const QImage frame = image.copy(i * entry.frameWidth, 0, entry.frameWidth, entry.frameHeight);
            frames.insert(QByteArray(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes()));
        }
        EXPECT_EQ(frames.size(), 4) << "normal, hover, pressed and disabled must differ";
    }
}

TEST(SkinFiles, BusyAnimationDecodesWithItsFramesAndDelays)
{
    QImageReader reader(builtFile("lumaret-process.gif"));
    ASSERT_TRUE(reader.supportsAnimation());
    EXPECT_EQ(reader.imageCount(), skingen::kBusyFrames);
    EXPECT_EQ(reader.loopCount(), -1) << "loops forever";
    QSet<QByteArray> distinct;
    int frames = 0;
    while (reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        // The delay the reader reports is the one of the frame just read.
        const int delay = reader.nextImageDelay();
        ++frames;
        EXPECT_EQ(frame.size(), QSize(20, 20));
        EXPECT_EQ(delay, skingen::kBusyDelay * 10);
        // The corners stay transparent so the row's own background shows round the dots.
        EXPECT_EQ(qAlpha(frame.pixel(0, 0)), 0);
        const QImage argb = frame.convertToFormat(QImage::Format_ARGB32);
        distinct.insert(QByteArray(reinterpret_cast<const char*>(argb.constBits()), argb.sizeInBytes()));
    }
    EXPECT_EQ(frames, skingen::kBusyFrames);
    EXPECT_EQ(distinct.size(), skingen::kBusyFrames) << "every frame moves the animation on";
}

TEST(SkinFiles, IconHoldsEverySize)
{
    QImageReader reader(builtFile("lumaret.ico"));
    ASSERT_EQ(reader.imageCount(), int(skingen::kIconSizes.size()));
    QList<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), image.height());
        EXPECT_GT(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 0);
        sizes.append(image.width());
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, QList<int>(skingen::kIconSizes.begin(), skingen::kIconSizes.end()));
}

TEST(SkinFiles, ProfileIconsAreDistinctAndSurviveTheWhiteMask)
{
    const QImage image = readImage("lumaret-imagelist.bmp").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.width(), 16 * skingen::kProfileIconCount);
    QSet<QByteArray> cells;
    for (int n = 0; n < skingen::kProfileIconCount; ++n) {
        SCOPED_TRACE(n);
        const QImage cell = image.copy(16 * n, 0, 16, 16);
        cells.insert(QByteArray(reinterpret_cast<const char*>(cell.constBits()), cell.sizeInBytes()));
        // White is the mask colour: the corner is background, the body of the icon is not.
        EXPECT_EQ(cell.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_NE(cell.pixel(8, 12) & 0xFFFFFF, 0xFFFFFFu);
    }
    EXPECT_EQ(cells.size(), skingen::kProfileIconCount);
}

TEST(SkinFiles, ScrollSkinCellsRepeatAlongTheBarAndDifferByState)
{
    const QImage skin = readImage("lumaret-scrollskin.bmp").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(skin.size(), QSize(114, 114));
    const int pitch = skingen::kScrollSkinPitch;
    auto cell = [&](int column, int row) { return skin.copy(column * pitch, row * pitch, 16, 16); };
    for (int row : {0, 3}) {
        const bool horizontal = row == 3;
        // The thumb body's middle (offset 4 to 11) is the same all along, so it can be repeated.
        const QImage body = cell(2, row);
        for (int i = 4; i < 12; ++i)
            for (int j = 0; j < 16; ++j)
                EXPECT_EQ(horizontal ? body.pixel(i, j) : body.pixel(j, i),
                          horizontal ? body.pixel(4, j) : body.pixel(j, 4));
        // Arrows: normal, hot and pressed are three different pictures.
        for (int column : {0, 1}) {
            EXPECT_NE(cell(column, row), cell(column, row + 1));
            EXPECT_NE(cell(column, row + 1), cell(column, row + 2));
        }
    }
}

TEST(SkinFiles, PicturesHaveASharperTwinOfTwiceTheirSizeShowingTheSamePicture)
{
    for (const SkinFile& entry : skingen::kSkinFiles) {
        if (!skingen::hasDoubleSizeTwin(entry))
            continue;
        SCOPED_TRACE(std::string(entry.name));
        QImageReader reader(builtFile(twinOf(entry.name)));
        const QImage twin = reader.read();
        ASSERT_FALSE(twin.isNull());
        EXPECT_EQ(twin.width(), 2 * entry.width);
        EXPECT_EQ(twin.height(), 2 * entry.height);
        EXPECT_EQ(twin.hasAlphaChannel(), entry.format == FileFormat::Png);
        EXPECT_EQ(twin.devicePixelRatio(), 2.0) << "the toolkit reads the name as a double-size picture";

        // The same picture: shrunk back, it is close to the single-size one frame by frame.
        const QImage single = readImage(entry.name).convertToFormat(QImage::Format_ARGB32);
        const QImage shrunk = twin.scaled(entry.width, entry.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        long long difference = 0;
        for (int y = 0; y < entry.height; ++y)
            for (int x = 0; x < entry.width; ++x) {
                const QRgb a = single.pixel(x, y);
                const QRgb b = shrunk.pixel(x, y);
                difference += std::abs(qAlpha(a) - qAlpha(b)) + std::abs(qGray(a) - qGray(b));
            }
        EXPECT_LT(difference / (entry.width * entry.height), 24) << "mean difference per pixel";
    }
}

TEST(SkinFiles, GeneratorRepeatsItselfByteForByte)
{
    testsupport::TempDir dir;
    QProcess generator;
    generator.start(LUMARET_SKINGEN_PATH, {QString::fromStdString(dir.path().string())});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    for (const SkinFile& entry : skingen::kSkinFiles) {
        SCOPED_TRACE(std::string(entry.name));
        EXPECT_EQ(testsupport::readBytes(dir / std::string(entry.name)),
                  testsupport::readBytes(builtFile(entry.name).toStdString()));
        if (skingen::hasDoubleSizeTwin(entry)) {
            const std::string twin = twinOf(entry.name);
            EXPECT_EQ(testsupport::readBytes(dir / twin), testsupport::readBytes(builtFile(twin).toStdString()));
        }
    }
}

}  // namespace
