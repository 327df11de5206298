// The icon container: the toolkit's reader finds every entry and decodes its pixels; sizes the
// format cannot hold are refused rather than written wrong.
#include "tools/skingen/IconFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using skingen::IconFile;

QImage sample(int size, QColor colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(0, 0, size / 2, size, colour);
    return image;
}

TEST(IconFile, EntriesComeBackWithTheirPixels)
{
    const QList<QImage> pictures{sample(16, Qt::red), sample(48, Qt::green), sample(256, Qt::blue)};
    QByteArray bytes = IconFile::build(pictures);
    ASSERT_FALSE(bytes.isEmpty());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), pictures[i].size());
        EXPECT_EQ(image.pixel(1, 1), pictures[i].pixel(1, 1));
        EXPECT_EQ(qAlpha(image.pixel(image.width() - 1, 0)), 0);
    }
}

TEST(IconFile, RefusesSizesTheFormatCannotHold)
{
    EXPECT_TRUE(IconFile::build({sample(16, Qt::red), QImage(300, 300, QImage::Format_ARGB32)}).isEmpty());
    EXPECT_TRUE(IconFile::build({QImage(16, 32, QImage::Format_ARGB32)}).isEmpty());
}

}  // namespace
