#pragma once
// The constant tables behind a profile's indices: the 52 conversion types (display name, extension,
// the encoder's format token and the codec lists), the choice lists the profile editor offers per
// codec, the channel table and the video bit-rate choices. Compiled in; never changed at run time.
//
// Every lookup is a constant-time array read, safe from any thread. An index outside a table's
// range is a missing entry: texts come back empty, parameter blocks as nullptr, counts as 0.
// Texts are UTF-8.
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace profile {

inline constexpr int kConversionTypeCount = 52;
inline constexpr int kWmvConversionType = 51;
inline constexpr int kMaxCodecSlots = 24;
inline constexpr int kChannelChoiceCount = 5;
inline constexpr std::size_t kVideoBitrateChoiceCount = 121;

// Display texts shown with the tables.
inline constexpr std::string_view kUnknownTypeText = "未知类型";
inline constexpr std::string_view kDefaultCodecText = "默认编码";
inline constexpr std::string_view kUnknownCodecText = "未知编码";
inline constexpr std::string_view kNoParametersText = "无参数";

// A choice list; the first entry is the codec's default. An entry may be the empty text (no value
// given). A list may have no entries at all.
using ChoiceList = std::span<const std::string_view>;

struct VideoCodecParams {
    ChoiceList sizes;       // frame sizes, "320x240"
    ChoiceList frameRates;  // decimal, "29.97"
};

struct AudioCodecParams {
    ChoiceList sampleRates;  // Hz, integers
    ChoiceList bitrates;     // kbit/s, decimal, "12.2"
};

template <typename Params>
struct CodecSlot {
    std::string_view name;   // display name, "MPEG4"
    std::string_view token;  // encoder token, verbatim with trailing blanks; may be empty (GIF)
    const Params* params;    // never null inside a list
};

using VideoCodecSlot = CodecSlot<VideoCodecParams>;
using AudioCodecSlot = CodecSlot<AudioCodecParams>;

// The codec lists of one conversion type; slot i (from 1) is element i - 1.
struct ConversionTypeDescriptor {
    std::span<const VideoCodecSlot> video;
    std::span<const AudioCodecSlot> audio;
};

// Conversion types, t in 0..51.
std::string_view conversionTypeName(int t);       // "MP4"
std::string_view conversionTypeExtension(int t);  // "mp4", without the dot
std::string_view conversionTypeFormat(int t);     // "mp4", "gif -pix_fmt rgb24 -loop_output 0"
const ConversionTypeDescriptor* conversionTypeDescriptor(int t);  // nullptr outside 0..51
// "MP4 (.mp4)", or "未知类型" outside 0..51.
std::string conversionTypeText(int t);

bool hasVideo(int t);
bool hasAudio(int t);

int videoCodecCount(int t);
std::string_view videoCodecName(int t, int i);
std::string_view videoCodecToken(int t, int i);
const VideoCodecParams* videoCodecParams(int t, int i);

int audioCodecCount(int t);
std::string_view audioCodecName(int t, int i);
std::string_view audioCodecToken(int t, int i);
const AudioCodecParams* audioCodecParams(int t, int i);

// Channel table, c = audioChannels in 0..4: "默认"/-1, "静音"/0, "单声道"/1, "立体声"/2, "环绕立体声"/6.
// Outside the table: "" and -1 (no channel option).
std::string_view channelName(int c);
int channelCount(int c);

// The video bit rates (kbit/s) the editor offers: 64 to 992 by 32, 1056 to 2976 by 64, 3072 to
// 4992 by 96, 5120 to 9984 by 128; 121 values.
const std::array<int, kVideoBitrateChoiceCount>& videoBitrateChoices();

}  // namespace profile
