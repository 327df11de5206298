#include "profile/ProfileProperties.h"

#include "profile/EncodingTables.h"
#include "profile/ProfileNode.h"

#include <array>
#include <sstream>

namespace profile {

namespace {

constexpr std::array<const char*, ProfileProperties::kRowCount> kLabels = {
    "所属类别", "类别图标", "方案名称", "方案图标", "默认方案", "转换类型", "视频编码", "屏幕大小",
    "视频比特率(kb/秒)", "每秒帧数", "音频编码", "音频采样率(赫兹)", "音频比特率(kb/秒)", "音频声道",
    "添加到系统右键菜单"};

// The text of a codec row: the default codec, an unknown type, a type without that half, or the
// codec's name (an index past the type's list is as unknown as an unknown type).
std::string codecText(int type, int index, bool hasHalf, std::string_view name)
{
    if (index < 1)
        return std::string(kDefaultCodecText);
    if (!conversionTypeDescriptor(type))
        return std::string(kUnknownCodecText);
    if (!hasHalf)
        return std::string(kNoParametersText);
    return name.empty() ? std::string(kUnknownCodecText) : std::string(name);
}

std::string yesNo(uint32_t flag) { return flag != 0 ? ProfileProperties::kYes : ProfileProperties::kNo; }

}  // namespace

std::string ProfileProperties::label(int row)
{
    return row >= 0 && row < kRowCount ? kLabels[static_cast<std::size_t>(row)] : "";
}

std::string ProfileProperties::formatNumber(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string ProfileProperties::valueText(const ProfileRecord& r, int row, bool contextMenuEnabled)
{
    const int type = r.conversionType;
    const bool video = hasVideo(type);
    const bool audio = hasAudio(type);
    const std::string none(kNoParametersText);
    switch (row) {
    case Category: return categoryNameOf(r);
    case Name: return profileNameOf(r);
    case Default: return yesNo(r.isDefault);
    case ConversionType: return conversionTypeText(type);
    case VideoCodec: return codecText(type, r.videoCodec, video, videoCodecName(type, r.videoCodec));
    case VideoSize: return video ? videoSizeOf(r) : none;
    case VideoBitrate: return video ? std::to_string(r.videoBitrate) : none;
    case FrameRate: return video ? formatNumber(r.frameRate) : none;
    case AudioCodec: return codecText(type, r.audioCodec, audio, audioCodecName(type, r.audioCodec));
    case SampleRate: return audio ? std::to_string(r.sampleRate) : none;
    case AudioBitrate: return audio ? formatNumber(r.audioBitrate) : none;
    case AudioChannels: return audio ? std::string(channelName(r.audioChannels)) : none;
    case ContextMenu: return contextMenuEnabled ? yesNo(r.inContextMenu) : kContextMenuOff;
    default: return {};
    }
}

int ProfileProperties::iconCell(const ProfileRecord& record, int row)
{
    if (row == CategoryIcon)
        return 0;
    if (row == NameIcon)
        return profileImageIndex(record.conversionType);
    return -1;
}

}  // namespace profile
