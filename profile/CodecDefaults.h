#pragma once
// What a profile takes over from the tables when its editor changes the conversion type or a codec:
// the first entry of each choice list is that codec's default value.
#include "profile/ProfileRecord.h"

namespace profile {

class CodecDefaults {
public:
    // Sets videoCodec = i. For a codec whose parameter block exists (i >= 1), frameRate takes the
    // first frame-rate entry; an empty first entry keeps frameRate, a list without entries gives 0.
    // videoSize and videoBitrate never change.
    static void chooseVideoCodec(ProfileRecord& record, int i);

    // Sets audioCodec = i. For a codec whose parameter block exists, sampleRate and audioBitrate
    // take their lists' first entries by the same rules. audioChannels never changes.
    static void chooseAudioCodec(ProfileRecord& record, int i);

    // Sets conversionType = t and both codecs to 1, then applies the codec rules above for codec 1
    // of the halves the type has.
    static void chooseConversionType(ProfileRecord& record, int t);
};

}  // namespace profile
