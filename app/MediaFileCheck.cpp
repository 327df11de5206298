#include "app/MediaFileCheck.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

// The extensions of the video and audio files the scripts menus (which filter nothing) pass on.
constexpr std::array kMediaExtensions = {
    "3g2", "3gp", "aac", "ac3", "aif", "aiff", "amr", "amv", "ape", "asf", "au", "avi", "caf", "divx",
    "dts", "dv", "f4v", "flac", "flv", "h264", "m2t", "m2ts", "m2v", "m4a", "m4b", "m4v", "mka", "mkv",
    "mod", "mov", "mp2", "mp3", "mp4", "mpc", "mpe", "mpeg", "mpg", "mts", "mxf", "nut", "oga", "ogg",
    "ogm", "ogv", "opus", "qt", "ra", "ram", "rm", "rmvb", "swf", "ts", "vob", "wav", "webm", "wma",
    "wmv", "wv", "y4m",
};

// A signature: these bytes at this offset.
struct Signature {
    std::size_t offset;
    std::string_view bytes;
};

using namespace std::string_view_literals;

constexpr std::array kSignatures = {
    Signature{4, "ftyp"sv},                                 // MP4, M4A, 3GP, QuickTime
    Signature{4, "moov"sv}, Signature{4, "mdat"sv},         // QuickTime without ftyp
    Signature{4, "wide"sv}, Signature{4, "free"sv},
    Signature{0, "\x1A\x45\xDF\xA3"sv},                     // Matroska, WebM
    Signature{0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11"sv},     // ASF, WMV, WMA
    Signature{0, "FLV\x01"sv},
    Signature{0, "\x00\x00\x01\xBA"sv},                     // MPEG program stream, VOB
    Signature{0, "\x00\x00\x01\xB3"sv},                     // MPEG video elementary stream
    Signature{0, "OggS"sv},
    Signature{0, ".RMF"sv},                                 // RealMedia
    Signature{0, ".ra\xFD"sv},                              // RealAudio
    Signature{0, "ID3"sv},                                  // MP3 (also AAC) with a tag in front
    Signature{0, "fLaC"sv},
    Signature{0, "\x0B\x77"sv},                             // AC-3
    Signature{0, "#!AMR"sv},
    Signature{0, "MAC "sv},                                 // Monkey's Audio
    Signature{0, "wvpk"sv},                                 // WavPack
    Signature{0, "caff"sv},                                 // Core Audio
    Signature{0, "\x06\x0E\x2B\x34\x02\x05\x01\x01"sv},     // MXF header partition
    Signature{0, "YUV4MPEG2"sv},
    Signature{0, "nut/multimedia container"sv},
    Signature{0, ".snd"sv},                                 // Sun audio
};

bool hasAt(std::string_view head, std::size_t offset, std::string_view bytes)
{
    return head.size() >= offset + bytes.size() && head.substr(offset, bytes.size()) == bytes;
}

// RIFF and AIFF name their form at offset 8; other RIFF forms (WebP, for one) are no media.
bool isMediaForm(std::string_view head)
{
    if (hasAt(head, 0, "RIFF"))
        return hasAt(head, 8, "AVI ") || hasAt(head, 8, "WAVE") || hasAt(head, 8, "AMV ");
    if (hasAt(head, 0, "FORM"))
        return hasAt(head, 8, "AIFF") || hasAt(head, 8, "AIFC");
    return false;
}

// An MPEG transport stream: a sync byte at the start of three 188-byte packets in a row.
bool isTransportStream(std::string_view head)
{
    constexpr std::size_t kPacket = 188;
    return head.size() > 2 * kPacket && head[0] == 0x47 && head[kPacket] == 0x47 && head[2 * kPacket] == 0x47;
}

// An MPEG audio frame (MP2, MP3) or an ADTS frame (AAC) right at the start: eleven sync bits,
// then a valid version, layer and bit rate.
bool isAudioFrame(std::string_view head)
{
    if (head.size() < 3 || static_cast<unsigned char>(head[0]) != 0xFF)
        return false;
    const auto second = static_cast<unsigned char>(head[1]);
    const auto third = static_cast<unsigned char>(head[2]);
    if ((second & 0xE0) != 0xE0 || (second & 0x18) == 0x08)
        return false;
    const bool adts = (second & 0xF6) == 0xF0;
    if (adts)
        return ((third >> 2) & 0x0F) < 13;   // a sampling frequency index that exists
    const bool layerGiven = (second & 0x06) != 0;
    const int bitrateIndex = third >> 4;
    const int rateIndex = (third >> 2) & 0x03;
    return layerGiven && bitrateIndex != 0 && bitrateIndex != 15 && rateIndex != 3;
}

}  // namespace

bool MediaFileCheck::hasMediaSignature(std::string_view head)
{
    for (const Signature& signature : kSignatures)
        if (hasAt(head, signature.offset, signature.bytes))
            return true;
    return isMediaForm(head) || isTransportStream(head) || isAudioFrame(head);
}

bool MediaFileCheck::hasMediaExtension(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    if (extension.size() < 2)
        return false;
    extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(kMediaExtensions.begin(), kMediaExtensions.end(), extension) != kMediaExtensions.end();
}

bool MediaFileCheck::isMediaFile(const std::filesystem::path& file)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; fstat then refuses it.
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {};
    std::string head(kHeadBytes, '\0');
    std::size_t filled = 0;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        while (filled < head.size()) {
            const ssize_t result = ::read(descriptor, head.data() + filled, head.size() - filled);
            if (result <= 0)
                break;
            filled += static_cast<std::size_t>(result);
        }
    }
    ::close(descriptor);
    if (!S_ISREG(status.st_mode))
        return false;
    head.resize(filled);
    return hasMediaSignature(head) || hasMediaExtension(file);
}

}  // namespace app
