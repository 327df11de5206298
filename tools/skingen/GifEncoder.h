#pragma once
// A minimal GIF89a writer for the skin's animations: one global palette of up to 256 colours, one
// optional transparent index, frames of indexed pixels with their own delays, looping forever.
// Qt reads GIF but cannot write it, so the generator carries this encoder.
#include <QByteArray>
#include <QList>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace skingen {

class GifEncoder {
public:
    struct Frame {
        std::vector<std::uint8_t> pixels;  // width * height palette indices, row by row
        int delay = 10;                    // hundredths of a second
    };

    // palette: 2 to 256 colours. transparentIndex: -1 for none.
    GifEncoder(int width, int height, QList<QRgb> palette, int transparentIndex);

    void addFrame(Frame frame);
    // The whole file. Frames whose pixel count is wrong are a programming error (asserted).
    QByteArray encode() const;

    // The LZW-compressed image data (minimum code size byte excluded, sub-blocks excluded), for the
    // given minimum code size. Exposed for tests of the bit packing.
    static QByteArray compress(const std::vector<std::uint8_t>& pixels, int minCodeSize);

private:
    int paletteBits() const;

    int width_;
    int height_;
    QList<QRgb> palette_;
    int transparentIndex_;
    std::vector<Frame> frames_;
};

}  // namespace skingen
