#include "tools/skingen/IconFile.h"

#include <QBuffer>

namespace skingen {
namespace {

void putWord(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void putLong(QByteArray& out, quint32 value)
{
    putWord(out, int(value & 0xFFFF));
    putWord(out, int(value >> 16));
}

}  // namespace

QByteArray IconFile::build(const QList<QImage>& pictures)
{
    QList<QByteArray> encoded;
    for (const QImage& picture : pictures) {
        if (picture.width() != picture.height() || picture.width() < 1 || picture.width() > 256)
            return {};
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG"))
            return {};
        encoded.append(png);
    }

    const int headerSize = 6 + 16 * int(pictures.size());
    QByteArray out;
    putWord(out, 0);  // reserved
    putWord(out, 1);  // icon, not cursor
    putWord(out, int(pictures.size()));
    quint32 offset = quint32(headerSize);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const int size = pictures[i].width();
        out.append(char(size == 256 ? 0 : size));  // 0 stands for 256
        out.append(char(size == 256 ? 0 : size));
        out.append(char(0));  // no palette
        out.append(char(0));  // reserved
        putWord(out, 1);      // colour planes
        putWord(out, 32);     // bits per pixel
        putLong(out, quint32(encoded[i].size()));
        putLong(out, offset);
        offset += quint32(encoded[i].size());
    }
    for (const QByteArray& png : encoded)
        out.append(png);
    return out;
}

}  // namespace skingen
