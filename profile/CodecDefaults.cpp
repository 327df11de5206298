#include "profile/CodecDefaults.h"

#include "profile/EncodingTables.h"

#include <charconv>
#include <string_view>

namespace profile {

namespace {

// The three rules for one value: the first entry parsed as a number; an empty (or unparsable)
// first entry keeps the value; no entries at all give 0.
template <typename Number>
void takeFirstEntry(ChoiceList list, Number& value)
{
    if (list.empty()) {
        value = 0;
        return;
    }
    const std::string_view text = list.front();
    Number parsed{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return;
    value = parsed;
}

}  // namespace

void CodecDefaults::chooseVideoCodec(ProfileRecord& record, int i)
{
    record.videoCodec = i;
    // The record is packed, so its fields are copied rather than bound to references.
    if (const VideoCodecParams* params = videoCodecParams(record.conversionType, i)) {
        float frameRate = record.frameRate;
        takeFirstEntry(params->frameRates, frameRate);
        record.frameRate = frameRate;
    }
}

void CodecDefaults::chooseAudioCodec(ProfileRecord& record, int i)
{
    record.audioCodec = i;
    if (const AudioCodecParams* params = audioCodecParams(record.conversionType, i)) {
        int32_t sampleRate = record.sampleRate;
        float audioBitrate = record.audioBitrate;
        takeFirstEntry(params->sampleRates, sampleRate);
        takeFirstEntry(params->bitrates, audioBitrate);
        record.sampleRate = sampleRate;
        record.audioBitrate = audioBitrate;
    }
}

void CodecDefaults::chooseConversionType(ProfileRecord& record, int t)
{
    record.conversionType = t;
    chooseVideoCodec(record, 1);
    chooseAudioCodec(record, 1);
}

}  // namespace profile
