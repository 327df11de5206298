#include "profile/ProfileRowEditors.h"

#include "profile/CodecDefaults.h"
#include "profile/EncodingTables.h"
#include "profile/ProfileProperties.h"
#include "profile/ProfileValueParser.h"

#include <algorithm>
#include <cctype>

namespace profile {

namespace {

using Row = ProfileProperties::Row;

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

RowEditor choice(std::vector<std::string> entries, int selected)
{
    return {RowEditor::Kind::Choice, std::move(entries), {}, selected};
}

// A list of suggestions; `current` (the field's text) is added when no entry equals it and
// selected, unless the field holds no value.
RowEditor suggestions(std::vector<std::string> entries, const std::string& current, bool hasValue)
{
    RowEditor editor{RowEditor::Kind::Value, std::move(entries), {}, -1};
    if (!hasValue)
        return editor;
    const bool missing = std::none_of(editor.entries.begin(), editor.entries.end(),
                                      [&](const std::string& e) { return equalIgnoringCase(e, current); });
    if (missing)
        editor.entries.push_back(current);
    editor.text = current;
    return editor;
}

std::vector<std::string> texts(ChoiceList list)
{
    return {list.begin(), list.end()};
}

std::vector<std::string> codecChoices(int count, std::string_view (*name)(int, int), int type)
{
    std::vector<std::string> entries{std::string(kDefaultCodecText)};
    for (int i = 1; i <= count; ++i)
        entries.emplace_back(name(type, i));
    return entries;
}

RowEditor videoEditor(const ProfileRecord& w, int row)
{
    const int type = w.conversionType;
    if (!hasVideo(type))
        return {};
    if (row == Row::VideoCodec)
        return choice(codecChoices(videoCodecCount(type), videoCodecName, type), w.videoCodec);
    if (w.videoCodec < 1)
        return {};
    if (row == Row::VideoBitrate) {
        std::vector<std::string> entries;
        for (int rate : videoBitrateChoices())
            entries.push_back(std::to_string(rate));
        return suggestions(std::move(entries), std::to_string(w.videoBitrate), w.videoBitrate != 0);
    }
    const VideoCodecParams* params = videoCodecParams(type, w.videoCodec);
    if (!params)
        return {};
    if (row == Row::VideoSize)
        return suggestions(texts(params->sizes), videoSizeOf(w), !videoSizeOf(w).empty());
    return suggestions(texts(params->frameRates), ProfileProperties::formatNumber(w.frameRate), w.frameRate != 0);
}

RowEditor audioEditor(const ProfileRecord& w, int row)
{
    const int type = w.conversionType;
    if (!hasAudio(type))
        return {};
    if (row == Row::AudioCodec)
        return choice(codecChoices(audioCodecCount(type), audioCodecName, type), w.audioCodec);
    if (w.audioCodec < 1)
        return {};
    if (row == Row::AudioChannels) {
        std::vector<std::string> entries;
        for (int c = 0; c < kChannelChoiceCount; ++c)
            entries.emplace_back(channelName(c));
        return choice(std::move(entries), w.audioChannels);
    }
    const AudioCodecParams* params = audioCodecParams(type, w.audioCodec);
    if (!params)
        return {};
    if (row == Row::SampleRate)
        return suggestions(texts(params->sampleRates), std::to_string(w.sampleRate), w.sampleRate != 0);
    return suggestions(texts(params->bitrates), ProfileProperties::formatNumber(w.audioBitrate),
                       w.audioBitrate != 0);
}

// Stores `text` into a fixed UTF-16 field when it fits whole (never cut) and differs.
bool storeText(char16_t* field, std::size_t capacity, const std::string& text)
{
    const std::u16string wide = toUtf16(text);
    if (wide.size() >= capacity || wide == fieldText(field, capacity))
        return false;
    setFieldText(field, capacity, wide);
    return true;
}

template <typename Number>
bool storeNumber(Number value, Number& field)
{
    if (value == field)
        return false;
    field = value;
    return true;
}

}  // namespace

RowEditor ProfileRowEditors::editorFor(const ProfileRecord& w, int row, const std::vector<std::string>& categories,
                                       bool contextMenuEnabled)
{
    switch (row) {
    case Row::Category: return suggestions(categories, categoryNameOf(w), true);
    case Row::Name: return {RowEditor::Kind::Name, {}, profileNameOf(w), -1};
    case Row::Default: return choice({ProfileProperties::kNo, ProfileProperties::kYes}, w.isDefault != 0 ? 1 : 0);
    case Row::ConversionType: {
        std::vector<std::string> entries;
        for (int t = 0; t < kConversionTypeCount; ++t)
            entries.push_back(conversionTypeText(t));
        return choice(std::move(entries), w.conversionType);
    }
    case Row::VideoCodec:
    case Row::VideoSize:
    case Row::VideoBitrate:
    case Row::FrameRate: return videoEditor(w, row);
    case Row::AudioCodec:
    case Row::SampleRate:
    case Row::AudioBitrate:
    case Row::AudioChannels: return audioEditor(w, row);
    case Row::ContextMenu:
        if (!contextMenuEnabled)
            return {};
        return choice({ProfileProperties::kNo, ProfileProperties::kYes}, w.inContextMenu != 0 ? 1 : 0);
    default: return {};
    }
}

bool ProfileRowEditors::commitValue(ProfileRecord& w, int row, const std::string& text)
{
    if (text.empty())
        return false;
    // The record is packed: numbers are parsed into locals and compared and stored whole.
    int32_t count = 0;
    float decimal = 0;
    switch (row) {
    case Row::Category: return storeText(w.categoryName, kProfileTextChars, text);
    case Row::VideoSize:
        return ProfileValueParser::isFrameSize(text) && storeText(w.videoSize, kVideoSizeChars, text);
    case Row::VideoBitrate: {
        int32_t field = w.videoBitrate;
        const bool changed = ProfileValueParser::parseCount(text, count) && storeNumber(count, field);
        w.videoBitrate = field;
        return changed;
    }
    case Row::SampleRate: {
        int32_t field = w.sampleRate;
        const bool changed = ProfileValueParser::parseCount(text, count) && storeNumber(count, field);
        w.sampleRate = field;
        return changed;
    }
    case Row::FrameRate: {
        float field = w.frameRate;
        const bool changed = ProfileValueParser::parseDecimal(text, decimal) && storeNumber(decimal, field);
        w.frameRate = field;
        return changed;
    }
    case Row::AudioBitrate: {
        float field = w.audioBitrate;
        const bool changed = ProfileValueParser::parseDecimal(text, decimal) && storeNumber(decimal, field);
        w.audioBitrate = field;
        return changed;
    }
    default: return false;
    }
}

bool ProfileRowEditors::commitChoice(ProfileRecord& w, int row, int index)
{
    const auto within = [index](int count) { return index >= 0 && index < count; };
    switch (row) {
    case Row::Default:
        if (!within(2) || static_cast<int>(w.isDefault != 0) == index)
            return false;
        w.isDefault = static_cast<uint32_t>(index);
        return true;
    case Row::ContextMenu:
        if (!within(2) || static_cast<int>(w.inContextMenu != 0) == index)
            return false;
        w.inContextMenu = static_cast<uint32_t>(index);
        return true;
    case Row::ConversionType:
        if (!within(kConversionTypeCount) || w.conversionType == index)
            return false;
        CodecDefaults::chooseConversionType(w, index);
        return true;
    case Row::VideoCodec:
        if (!within(videoCodecCount(w.conversionType) + 1) || w.videoCodec == index)
            return false;
        CodecDefaults::chooseVideoCodec(w, index);
        return true;
    case Row::AudioCodec:
        if (!within(audioCodecCount(w.conversionType) + 1) || w.audioCodec == index)
            return false;
        CodecDefaults::chooseAudioCodec(w, index);
        return true;
    case Row::AudioChannels:
        if (!within(kChannelChoiceCount) || w.audioChannels == index)
            return false;
        w.audioChannels = index;
        return true;
    default: return false;
    }
}

}  // namespace profile
