#include "tools/skingen/GifEncoder.h"

#include <cassert>
#include <unordered_map>

namespace skingen {
namespace {

void putWord(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// Packs variable-width codes least significant bit first, as GIF wants them.
class BitWriter {
public:
    void put(int code, int width)
    {
        accumulator_ |= std::uint32_t(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            out_.append(char(accumulator_ & 0xFF));
            accumulator_ >>= 8;
            bits_ -= 8;
        }
    }
    QByteArray finish()
    {
        if (bits_ > 0)
            out_.append(char(accumulator_ & 0xFF));
        accumulator_ = 0;
        bits_ = 0;
        return out_;
    }

private:
    QByteArray out_;
    std::uint32_t accumulator_ = 0;
    int bits_ = 0;
};

}  // namespace

GifEncoder::GifEncoder(int width, int height, QList<QRgb> palette, int transparentIndex)
    : width_(width), height_(height), palette_(std::move(palette)), transparentIndex_(transparentIndex)
{
    assert(palette_.size() >= 2 && palette_.size() <= 256);
}

void GifEncoder::addFrame(Frame frame)
{
    assert(frame.pixels.size() == std::size_t(width_) * std::size_t(height_));
    frames_.push_back(std::move(frame));
}

int GifEncoder::paletteBits() const
{
    int bits = 1;
    while ((1 << bits) < palette_.size())
        ++bits;
    return bits;
}

QByteArray GifEncoder::compress(const std::vector<std::uint8_t>& pixels, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    BitWriter writer;
    // The dictionary maps (prefix code, next index) to a code.
    std::unordered_map<std::uint32_t, int> dictionary;
    int nextCode = endCode + 1;
    int codeWidth = minCodeSize + 1;

    writer.put(clearCode, codeWidth);
    if (pixels.empty()) {
        writer.put(endCode, codeWidth);
        return writer.finish();
    }
    int prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const int index = pixels[i];
        const std::uint32_t key = (std::uint32_t(prefix) << 8) | std::uint32_t(index);
        const auto found = dictionary.find(key);
        if (found != dictionary.end()) {
            prefix = found->second;
            continue;
        }
        writer.put(prefix, codeWidth);
        if (nextCode < 4096) {
            dictionary.emplace(key, nextCode);
            // The decoder widens its codes once the code it is about to add needs the extra bit.
            if (nextCode == (1 << codeWidth) && codeWidth < 12)
                ++codeWidth;
            ++nextCode;
        } else {
            // A full table starts over, so long frames stay decodable.
            writer.put(clearCode, codeWidth);
            dictionary.clear();
            nextCode = endCode + 1;
            codeWidth = minCodeSize + 1;
        }
        prefix = index;
    }
    writer.put(prefix, codeWidth);
    writer.put(endCode, codeWidth);
    return writer.finish();
}

QByteArray GifEncoder::encode() const
{
    const int bits = paletteBits();
    QByteArray out("GIF89a");
    putWord(out, width_);
    putWord(out, height_);
    out.append(char(0x80 | ((bits - 1) << 4) | (bits - 1)));  // global colour table, its size
    out.append(char(transparentIndex_ >= 0 ? transparentIndex_ : 0));  // background colour index
    out.append(char(0));                                               // no aspect ratio
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < palette_.size() ? palette_[i] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    // Loop forever.
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);

    const int minCodeSize = bits < 2 ? 2 : bits;
    for (const Frame& frame : frames_) {
        // Graphic control: each frame replaces the previous one (disposal 2, restore to
        // background), so transparent pixels never show an older frame.
        out.append("\x21\xF9\x04", 3);
        out.append(char((2 << 2) | (transparentIndex_ >= 0 ? 1 : 0)));
        putWord(out, frame.delay);
        out.append(char(transparentIndex_ >= 0 ? transparentIndex_ : 0));
        out.append(char(0));
        // Image descriptor: the whole canvas, no local palette, not interlaced.
        out.append(char(0x2C));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, width_);
        putWord(out, height_);
        out.append(char(0));
        out.append(char(minCodeSize));
        const QByteArray data = compress(frame.pixels, minCodeSize);
        for (qsizetype pos = 0; pos < data.size(); pos += 255) {
            const qsizetype n = std::min<qsizetype>(255, data.size() - pos);
            out.append(char(n));
            out.append(data.constData() + pos, n);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}

}  // namespace skingen
