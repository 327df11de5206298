#include "profile/EncodingTables.h"

namespace profile {

namespace {

struct ConversionTypeEntry {
    std::string_view name;
    std::string_view extension;
    std::string_view format;
    ConversionTypeDescriptor descriptor;
};

// Choice lists shared between codecs (a letter names a list within its kind).
constexpr std::string_view kSizeA[] = {"176x144", "128x96", "220x176", "240x192", "320x240", "352x288"};
constexpr std::string_view kSizeB[] = {""};
constexpr std::string_view kSizeC[] = {"176x144", "128x96", "352x288"};
constexpr std::string_view kSizeD[] = {
    "", "128x96", "160x120", "176x144", "220x176", "240x192", "320x240", "352x240", "352x288", "384x288", "480x480",
    "480x576", "640x368", "640x480", "704x480", "704x576", "720x480", "720x540", "720x576", "1024x768", "1280x720",
    "1280x1024"};
constexpr std::string_view kSizeE[] = {"352x288", "176x144"};
constexpr std::string_view kSizeF[] = {"352x288", "128x96", "176x144", "704x576", "1408x1152"};
constexpr std::string_view kSizeG[] = {"720x576", "720x480"};
constexpr std::string_view kSizeH[] = {"", "720x576", "720x480"};
constexpr std::string_view kSizeI[] = {
    "64x48", "32x24", "128x96", "160x120", "176x144", "220x176", "240x192", "320x240", "352x240", "352x288", "384x288",
    "480x480", "480x576", "640x368", "640x480", "704x480", "704x576", "720x480", "720x540", "720x576", "1024x768",
    "1280x720", "1280x1024"};
constexpr std::string_view kFrameRateA[] = {"25", "11.988", "12.5", "14.985", "15", "23.98", "29.97", "30"};
constexpr std::string_view kFrameRateB[] = {""};
constexpr std::string_view kFrameRateC[] = {"15", "11.988", "12.5", "14.985"};
constexpr std::string_view kFrameRateD[] = {"25", "29.97"};
constexpr std::string_view kFrameRateE[] = {"", "25", "29.97"};
constexpr std::string_view kFrameRateF[] = {"", "25", "11.988", "12.5", "14.985", "15", "23.98", "29.97", "30"};
constexpr std::string_view kFrameRateG[] = {"10", "25", "11.988", "12.5", "14.985", "15", "23.98", "29.97", "30"};
constexpr std::string_view kSampleRateA[] = {"22050", "11025", "12000", "16000", "24000", "32000", "44100", "48000"};
constexpr std::string_view kSampleRateB[] = {""};
constexpr std::string_view kSampleRateC[] = {"8000"};
constexpr std::string_view kSampleRateD[] = {"16000"};
constexpr std::string_view kSampleRateE[] = {"48000", "44100", "32000"};
constexpr std::string_view kSampleRateF[] = {"44100", "11025", "12000", "16000", "22050", "24000", "32000", "48000"};
constexpr std::string_view kSampleRateG[] = {
    "", "48000", "44100", "32000", "22050", "16000", "11025", "8000", "4000", "3000", "2000", "1000"};
constexpr std::string_view kSampleRateH[] = {"44100", "22050", "16000", "11025", "8000"};
constexpr std::string_view kSampleRateI[] = {"44100", "48000", "32000", "22050", "11025", "8000"};
constexpr std::string_view kSampleRateJ[] = {"44100", "48000", "24000", "22050"};
constexpr std::string_view kSampleRateK[] = {"44100", "8000", "16000", "22050", "24000", "32000", "48000", "96000"};
constexpr std::string_view kSampleRateL[] = {"44100", "22050", "11025"};
constexpr std::string_view kSampleRateM[] = {"22050", "44100", "11025", "8000", "4000"};
constexpr std::string_view kBitrateA[] = {"56", "24", "32", "48", "64", "96", "112", "128"};
constexpr std::string_view kBitrateB[] = {""};
constexpr std::string_view kBitrateC[] = {"12.2", "4.75", "5.15", "5.9", "6.7", "7.4", "7.95", "10.2"};
constexpr std::string_view kBitrateD[] = {"23.85", "6.6", "8.85", "12.65", "14.25", "15.85", "18.25", "19.85", "23.05"};
constexpr std::string_view kBitrateE[] = {
    "192", "32", "40", "48", "56", "64", "80", "96", "112", "128", "160", "224", "256", "320", "384", "448", "512",
    "576", "640"};
constexpr std::string_view kBitrateF[] = {"192", "24", "32", "48", "56", "64", "96", "112", "128", "160", "224", "256"};
constexpr std::string_view kBitrateH[] = {"128", "32", "48", "56", "64", "96", "112", "144", "160", "192"};
constexpr std::string_view kBitrateI[] = {
    "128", "32", "40", "48", "56", "64", "80", "96", "112", "160", "192", "224", "256", "320", "384", "448"};
constexpr std::string_view kBitrateJ[] = {
    "192", "32", "40", "48", "56", "64", "80", "96", "112", "128", "160", "224", "256", "320", "384", "448"};

// Parameter blocks, named after their two lists.
constexpr VideoCodecParams kVideoAA{ChoiceList{kSizeA}, ChoiceList{kFrameRateA}};
constexpr VideoCodecParams kVideoBB{ChoiceList{kSizeB}, ChoiceList{kFrameRateB}};
constexpr VideoCodecParams kVideoCC{ChoiceList{kSizeC}, ChoiceList{kFrameRateC}};
constexpr VideoCodecParams kVideoDA{ChoiceList{kSizeD}, ChoiceList{kFrameRateA}};
constexpr VideoCodecParams kVideoDF{ChoiceList{kSizeD}, ChoiceList{kFrameRateF}};
constexpr VideoCodecParams kVideoEA{ChoiceList{kSizeE}, ChoiceList{kFrameRateA}};
constexpr VideoCodecParams kVideoFA{ChoiceList{kSizeF}, ChoiceList{kFrameRateA}};
constexpr VideoCodecParams kVideoGD{ChoiceList{kSizeG}, ChoiceList{kFrameRateD}};
constexpr VideoCodecParams kVideoHE{ChoiceList{kSizeH}, ChoiceList{kFrameRateE}};
constexpr VideoCodecParams kVideoIG{ChoiceList{kSizeI}, ChoiceList{kFrameRateG}};
constexpr AudioCodecParams kAudioAA{ChoiceList{kSampleRateA}, ChoiceList{kBitrateA}};
constexpr AudioCodecParams kAudioBB{ChoiceList{kSampleRateB}, ChoiceList{kBitrateB}};
constexpr AudioCodecParams kAudioCC{ChoiceList{kSampleRateC}, ChoiceList{kBitrateC}};
constexpr AudioCodecParams kAudioDD{ChoiceList{kSampleRateD}, ChoiceList{kBitrateD}};
constexpr AudioCodecParams kAudioEE{ChoiceList{kSampleRateE}, ChoiceList{kBitrateE}};
constexpr AudioCodecParams kAudioFF{ChoiceList{kSampleRateF}, ChoiceList{kBitrateF}};
constexpr AudioCodecParams kAudioGG{ChoiceList{kSampleRateG}, ChoiceList{}};
constexpr AudioCodecParams kAudioHH{ChoiceList{kSampleRateH}, ChoiceList{kBitrateH}};
constexpr AudioCodecParams kAudioII{ChoiceList{kSampleRateI}, ChoiceList{kBitrateI}};
constexpr AudioCodecParams kAudioJJ{ChoiceList{kSampleRateJ}, ChoiceList{kBitrateJ}};
constexpr AudioCodecParams kAudioKB{ChoiceList{kSampleRateK}, ChoiceList{kBitrateB}};
constexpr AudioCodecParams kAudioLG{ChoiceList{kSampleRateL}, ChoiceList{}};
constexpr AudioCodecParams kAudioLJ{ChoiceList{kSampleRateL}, ChoiceList{kBitrateJ}};
constexpr AudioCodecParams kAudioMG{ChoiceList{kSampleRateM}, ChoiceList{}};

// Codec lists per conversion type.
constexpr VideoCodecSlot kVideoCodecs0[] = {
    {"MPEG4", "mpeg4", &kVideoAA},
    {"XviD", "libxvid", &kVideoAA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs0[] = {
    {"AAC", "libfaac", &kAudioAA},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs1[] = {
    {"H263", "h263", &kVideoCC},
    {"MPEG4", "mpeg4", &kVideoAA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs1[] = {
    {"AMR NB", "libamr_nb", &kAudioCC},
    {"AMR WB", "libamr_wb", &kAudioDD},
    {"AAC", "libfaac", &kAudioAA},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs2[] = {
    {"AC3", "ac3", &kAudioEE},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs3[] = {
    {"AAC", "libfaac", &kAudioFF},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs4[] = {
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioGG},
    {"PCM Signed 8 Bit", "pcm_s8", &kAudioGG},
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioGG},
    {"PCM Signed 24 Bit Big-Endian", "pcm_s24be", &kAudioGG},
    {"PCM Signed 24 Bit Little-Endian", "pcm_s24le", &kAudioGG},
    {"PCM Signed 32 Bit Big-Endian", "pcm_s32be", &kAudioGG},
    {"PCM Signed 32 Bit Little-Endian", "pcm_s32le", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs5[] = {
    {"AMR NB", "libamr_nb", &kAudioCC},
    {"AMR WB", "libamr_wb", &kAudioDD},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs6[] = {
    {"MS MPEG4 V2", "msmpeg4v2", &kVideoDA},
    {"MS MPEG4", "msmpeg4", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs6[] = {
    {"WMA V2", "wmav2", &kAudioHH},
    {"WMA V1", "wmav1", &kAudioHH},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs7[] = {
    {"PCM ALAW", "pcm_alaw", &kAudioGG},
    {"PCM MULAW", "pcm_mulaw", &kAudioGG},
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs8[] = {
    {"MPEG4", "mpeg4 -vtag XVID", &kVideoDA},
    {"XviD", "libxvid", &kVideoDA},
    {"MS MPEG4", "msmpeg4", &kVideoDA},
    {"MS MPEG4 V2", "msmpeg4v2", &kVideoDA},
    {"H261", "h261", &kVideoEA},
    {"H263", "h263", &kVideoFA},
    {"H263+", "h263p", &kVideoDA},
    {"H264", "libx264", &kVideoDA},
    {"Theora", "libtheora", &kVideoDA},
    {"DV Video", "dvvideo", &kVideoGD},
    {"SVQ1 Sorenson Video", "svq1", &kVideoDA},
    {"WMV1", "wmv1", &kVideoDA},
    {"WMV2", "wmv2", &kVideoDA},
    {"MJPEG", "mjpeg", &kVideoDA},
    {"FLV", "flv", &kVideoDA},
    {"MPEG1 Video", "mpeg1video", &kVideoDA},
    {"MPEG2 Video", "mpeg2video", &kVideoDA},
    {"FFV1", "ffv1", &kVideoDA},
    {"FFV HUFF", "ffvhuff", &kVideoDA},
    {"ZMBV", "zmbv", &kVideoDA},
    {"HuffYUV", "huffyuv", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs8[] = {
    {"MP3", "libmp3lame", &kAudioII},
    {"AC3", "ac3", &kAudioEE},
    {"MP2", "mp2", &kAudioII},
    {"VORBIS", "vorbis", &kAudioJJ},
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioGG},
    {"PCM Unsigned 8 Bit", "pcm_u8", &kAudioGG},
    {"ADPCM MS", "adpcm_ms", &kAudioGG},
    {"ADPCM IMA WAV", "adpcm_ima_wav", &kAudioGG},
    {"WMA V2", "wmav2", &kAudioHH},
    {"WMA V1", "wmav1", &kAudioHH},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs9[] = {
    {"DV Video NTSC", "dvvideo -target ntsc-dv ", &kVideoHE},
    {"DV Video PAL", "dvvideo -target pal-dv ", &kVideoHE},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs10[] = {
    {"MPEG2 Video NTSC", "mpeg2video -target ntsc-dvd ", &kVideoDF},
    {"MPEG2 Video PAL", "mpeg2video -target pal-dvd ", &kVideoDF},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs10[] = {
    {"AC3", "ac3", &kAudioEE},
    {"MP2", "mp2", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs11[] = {
    {"MPEG1 Video", "mpeg1video", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs11[] = {
    {"MP2", "mp2", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs12[] = {
    {"FLAC", "flac", &kAudioKB},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs13[] = {
    {"FLV", "flv", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs13[] = {
    {"MP3", "libmp3lame", &kAudioLJ},
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioLG},
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioLG},
    {"ADPCM SWF", "adpcm_swf", &kAudioLG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs14[] = {
    {"GIF", "", &kVideoIG},
};
constexpr AudioCodecSlot kAudioCodecs15[] = {
    {"ADPCM YAMAHA", "adpcm_yamaha", &kAudioMG},
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioMG},
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioMG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs16[] = {
    {"Quicktime MPEG4", "mpeg4", &kVideoDA},
    {"Quicktime H263", "h263", &kVideoFA},
    {"Quicktime H264", "libx264", &kVideoDA},
    {"Quicktime SVQ1 Sorenson Video", "svq1", &kVideoDA},
    {"Quicktime XviD", "libxvid", &kVideoDA},
    {"MJPEG", "mjpeg", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs16[] = {
    {"AAC", "libfaac", &kAudioFF},
    {"MP3", "libmp3lame", &kAudioII},
    {"AMR NB", "libamr_nb", &kAudioCC},
    {"PCM ALAW", "pcm_alaw", &kAudioGG},
    {"PCM MULAW", "pcm_mulaw", &kAudioGG},
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioGG},
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs17[] = {
    {"MP2", "mp2", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs18[] = {
    {"MP3", "libmp3lame", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs19[] = {
    {"MPEG4", "mpeg4", &kVideoDA},
    {"H263", "h263", &kVideoFA},
    {"H264", "libx264", &kVideoDA},
    {"XviD", "libxvid", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs19[] = {
    {"AAC", "libfaac", &kAudioFF},
    {"AMR NB", "libamr_nb", &kAudioCC},
    {"AMR WB", "libamr_wb", &kAudioDD},
    {"MP3", "libmp3lame", &kAudioII},
    {"PCM ALAW", "pcm_alaw", &kAudioGG},
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs20[] = {
    {"MPEG1 Video", "mpeg1video", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs20[] = {
    {"MP2", "mp2", &kAudioII},
    {"MP3", "libmp3lame", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs21[] = {
    {"MPEG2 Video", "mpeg2video", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs21[] = {
    {"AC3", "ac3", &kAudioEE},
    {"MP2", "mp2", &kAudioII},
    {"MP3", "libmp3lame", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs22[] = {
    {"MPEG2 Video", "mpeg2video", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs22[] = {
    {"MP2", "mp2", &kAudioEE},
    {"AC3", "ac3", &kAudioII},
    {"MP3", "libmp3lame", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs23[] = {
    {"MPEG4", "mpeg4", &kVideoDA},
    {"XviD", "libxvid", &kVideoDA},
    {"MS MPEG4", "msmpeg4", &kVideoDA},
    {"MS MPEG4 V2", "msmpeg4v2", &kVideoDA},
    {"H261", "h261", &kVideoEA},
    {"H263", "h263", &kVideoFA},
    {"H263+", "h263p", &kVideoDA},
    {"Theora", "libtheora", &kVideoDA},
    {"DV Video", "dvvideo", &kVideoGD},
    {"SVQ1 Sorenson Video", "svq1", &kVideoDA},
    {"WMV1", "wmv1", &kVideoDA},
    {"WMV2", "wmv2", &kVideoDA},
    {"MJPEG", "mjpeg", &kVideoDA},
    {"FLV", "flv", &kVideoDA},
    {"MPEG1 Video", "mpeg1video", &kVideoDA},
    {"MPEG2 Video", "mpeg2video", &kVideoDA},
    {"FFV1", "ffv1", &kVideoDA},
    {"FFV HUFF", "ffvhuff", &kVideoDA},
    {"ZMBV", "zmbv", &kVideoDA},
    {"HuffYUV", "huffyuv", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs23[] = {
    {"MP3", "libmp3lame", &kAudioII},
    {"AC3", "ac3", &kAudioEE},
    {"MP2", "mp2", &kAudioII},
    {"VORBIS", "vorbis", &kAudioJJ},
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioGG},
    {"PCM Unsigned 8 Bit", "pcm_u8", &kAudioGG},
    {"ADPCM MS", "adpcm_ms", &kAudioGG},
    {"ADPCM IMA WAV", "adpcm_ima_wav", &kAudioGG},
    {"WMA V2", "wmav2", &kAudioHH},
    {"WMA V1", "wmav1", &kAudioHH},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs24[] = {
    {"VORBIS", "vorbis", &kAudioJJ},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs25[] = {
    {"Theora", "libtheora", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs25[] = {
    {"VORBIS", "vorbis", &kAudioJJ},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs26[] = {
    {"MPEG4", "mpeg4", &kVideoDA},
    {"H263", "h263", &kVideoFA},
    {"H264", "libx264", &kVideoDA},
    {"XviD", "libxvid", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs26[] = {
    {"AAC", "libfaac", &kAudioFF},
    {"AMR NB", "libamr_nb", &kAudioCC},
    {"AMR WB", "libamr_wb", &kAudioDD},
    {"MP3", "libmp3lame", &kAudioII},
    {"PCM ALAW", "pcm_alaw", &kAudioGG},
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs27[] = {
    {"RAW Video", "rawvideo", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs28[] = {
    {"Real Video 10", "rv10", &kVideoDA},
    {"Real Video 20", "rv20", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs28[] = {
    {"AC3", "ac3", &kAudioEE},
    {"AAC", "libfaac", &kAudioFF},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs29[] = {
    {"MPEG2 Video NTSC", "mpeg2video -target ntsc-svcd ", &kVideoDF},
    {"MPEG2 Video PAL", "mpeg2video -target pal-svcd ", &kVideoDF},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs29[] = {
    {"MP2", "mp2", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs30[] = {
    {"FLV", "flv", &kVideoDA},
    {"MJPEG", "mjpeg", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs30[] = {
    {"MP3", "libmp3lame", &kAudioLJ},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs31[] = {
    {"MPEG1 Video NTSC", "mpeg1video -target ntsc-vcd ", &kVideoDF},
    {"MPEG1 Video PAL", "mpeg1video -target pal-vcd ", &kVideoDF},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs31[] = {
    {"MP2", "mp2", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs32[] = {
    {"MPEG2 Video", "mpeg2video", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs32[] = {
    {"AC3", "ac3", &kAudioEE},
    {"MP2", "mp2", &kAudioII},
    {"MP3", "libmp3lame", &kAudioII},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs33[] = {
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioGG},
    {"PCM ALAW", "pcm_alaw", &kAudioGG},
    {"PCM MULAW", "pcm_mulaw", &kAudioGG},
    {"PCM Unsigned 8 Bit", "pcm_u8", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs34[] = {
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioGG},
    {"PCM Signed 24 Bit Little-Endian", "pcm_s24le", &kAudioGG},
    {"PCM Signed 32 Bit Little-Endian", "pcm_s32le", &kAudioGG},
    {"PCM ALAW", "pcm_alaw", &kAudioGG},
    {"PCM MULAW", "pcm_mulaw", &kAudioGG},
    {"PCM Unsigned 8 Bit", "pcm_u8", &kAudioGG},
    {"ADPCM MS", "adpcm_ms", &kAudioGG},
    {"ADPCM IMA WAV", "adpcm_ima_wav", &kAudioGG},
    {"ADPCM SWF", "adpcm_swf", &kAudioGG},
    {"ADPCM YAMAHA", "adpcm_yamaha", &kAudioMG},
    {"AAC", "libfaac", &kAudioFF},
    {"AC3", "ac3", &kAudioEE},
    {"FLAC", "flac", &kAudioKB},
    {"MP2", "mp2", &kAudioII},
    {"MP3", "libmp3lame", &kAudioII},
    {"SONICLS", "sonicls", &kAudioGG},
    {"VORBIS", "vorbis", &kAudioJJ},
    {"WMA V1", "wmav1", &kAudioHH},
    {"WMA V2", "wmav2", &kAudioHH},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs36[] = {
    {"MPEG1 Video", "mpeg1video", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs37[] = {
    {"MPEG2 Video", "mpeg2video", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs38[] = {
    {"MPEG4", "mpeg4", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs39[] = {
    {"H261", "h261", &kVideoEA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs40[] = {
    {"H263", "h263", &kVideoFA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs41[] = {
    {"MJPEG", "mjpeg", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr VideoCodecSlot kVideoCodecs42[] = {
    {"MJPEG", "mjpeg", &kVideoDA},
    {"Direct Stream Copy", "copy", &kVideoBB},
};
constexpr AudioCodecSlot kAudioCodecs43[] = {
    {"PCM Unsigned 16 Bit Big-Endian", "pcm_u16be", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs44[] = {
    {"PCM Unsigned 16 Bit Little-Endian", "pcm_u16le", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs45[] = {
    {"PCM Unsigned 8 Bit", "pcm_u8", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs46[] = {
    {"PCM Signed 16 Bit Big-Endian", "pcm_s16be", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs47[] = {
    {"PCM Signed 16 Bit Little-Endian", "pcm_s16le", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs48[] = {
    {"PCM Signed 8 Bit", "pcm_s8", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs49[] = {
    {"PCM MULAW", "pcm_mulaw", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr AudioCodecSlot kAudioCodecs50[] = {
    {"ALAW (PCM A LAW)", "pcm_alaw", &kAudioGG},
    {"Direct Stream Copy", "copy", &kAudioBB},
};
constexpr VideoCodecSlot kVideoCodecs51[] = {
    {"WMV2", "wmv2", &kVideoDA},
};
constexpr AudioCodecSlot kAudioCodecs51[] = {
    {"WMAV2", "wmav2", &kAudioHH},
};

constexpr ConversionTypeEntry kConversionTypes[kConversionTypeCount] = {
    {"3GP2", "3g2", "3g2", {kVideoCodecs0, kAudioCodecs0}},  // 0
    {"3GP", "3gp", "3gp", {kVideoCodecs1, kAudioCodecs1}},  // 1
    {"AC3", "ac3", "ac3", {{}, kAudioCodecs2}},  // 2
    {"AAC (ADTS)", "aac", "adts", {{}, kAudioCodecs3}},  // 3
    {"AIFF (Audio IFF)", "aiff", "aiff", {{}, kAudioCodecs4}},  // 4
    {"AMR (3GPP AMR)", "amr", "amr", {{}, kAudioCodecs5}},  // 5
    {"ASF", "asf", "asf", {kVideoCodecs6, kAudioCodecs6}},  // 6
    {"AU (SUN AU)", "au", "au", {{}, kAudioCodecs7}},  // 7
    {"AVI", "avi", "avi", {kVideoCodecs8, kAudioCodecs8}},  // 8
    {"DV (DV Video)", "dv", "dv", {kVideoCodecs9, {}}},  // 9
    {"DVD (MPEG2 PS DVD VOB)", "vob", "dvd", {kVideoCodecs10, kAudioCodecs10}},  // 10
    {"FFM", "ffm", "ffm", {kVideoCodecs11, kAudioCodecs11}},  // 11
    {"FLAC", "flac", "flac", {{}, kAudioCodecs12}},  // 12
    {"FLV", "flv", "flv", {kVideoCodecs13, kAudioCodecs13}},  // 13
    {"GIF", "gif", "gif -pix_fmt rgb24 -loop_output 0", {kVideoCodecs14, {}}},  // 14
    {"MMF", "mmf", "mmf", {{}, kAudioCodecs15}},  // 15
    {"MOV", "mov", "mov", {kVideoCodecs16, kAudioCodecs16}},  // 16
    {"MP2 (MPEG Audio Layer 2)", "mp2", "mp2", {{}, kAudioCodecs17}},  // 17
    {"MP3 (MPEG Audio Layer 3)", "mp3", "mp3", {{}, kAudioCodecs18}},  // 18
    {"MP4", "mp4", "mp4", {kVideoCodecs19, kAudioCodecs19}},  // 19
    {"MPEG1 (MPEG1 System)", "mpg", "mpeg", {kVideoCodecs20, kAudioCodecs20}},  // 20
    {"MPEG2 PS (Program Stream)", "mpg", "vob", {kVideoCodecs21, kAudioCodecs21}},  // 21
    {"MPEG2 TS (Transport Stream)", "mpg", "mpegts", {kVideoCodecs22, kAudioCodecs22}},  // 22
    {"NUT", "nut", "nut", {kVideoCodecs23, kAudioCodecs23}},  // 23
    {"OGG Audio", "ogg", "ogg -vn", {{}, kAudioCodecs24}},  // 24
    {"OGG Video and Audio", "ogg", "ogg", {kVideoCodecs25, kAudioCodecs25}},  // 25
    {"PSP (MP4)", "mp4", "psp", {kVideoCodecs26, kAudioCodecs26}},  // 26
    {"RAW Video", "yuv", "rawvideo", {kVideoCodecs27, {}}},  // 27
    {"RM", "rm", "rm", {kVideoCodecs28, kAudioCodecs28}},  // 28
    {"SVCD (MPEG2 PS)", "mpg", "svcd", {kVideoCodecs29, kAudioCodecs29}},  // 29
    {"SWF (Flash)", "swf", "swf", {kVideoCodecs30, kAudioCodecs30}},  // 30
    {"VCD (MPEG1 System)", "mpg", "vcd", {kVideoCodecs31, kAudioCodecs31}},  // 31
    {"VOB (MPEG2 PS)", "vob", "vob", {kVideoCodecs32, kAudioCodecs32}},  // 32
    {"VOC (Creative Voice)", "voc", "voc", {{}, kAudioCodecs33}},  // 33
    {"WAV", "wav", "wav", {{}, kAudioCodecs34}},  // 34
    {"YUV4MPEG Pipe", "y4m", "yuv4mpegpipe", {{}, {}}},  // 35
    {"MPEG1 Video Only", "m1v", "mpeg1video", {kVideoCodecs36, {}}},  // 36
    {"MPEG2 Video Only", "m2v", "mpeg2video", {kVideoCodecs37, {}}},  // 37
    {"M4V (MPEG4 Video Only)", "m4v", "m4v", {kVideoCodecs38, {}}},  // 38
    {"H261", "h261", "h261", {kVideoCodecs39, {}}},  // 39
    {"H263", "h263", "h263", {kVideoCodecs40, {}}},  // 40
    {"MJPEG video", "mjpg", "mjpeg", {kVideoCodecs41, {}}},  // 41
    {"MPJPEG (Mime multipart JPEG)", "mjpg", "mpjpeg", {kVideoCodecs42, {}}},  // 42
    {"U16BE (PCM UNSIGNED 16 BIT BIG ENDIAN)", "raw", "u16be", {{}, kAudioCodecs43}},  // 43
    {"U16LE (PCM UNSIGNED 16 BIT LITTLE ENDIAN)", "raw", "u16le", {{}, kAudioCodecs44}},  // 44
    {"U8 (PCM UNSIGNED 8 BIT)", "raw", "u8", {{}, kAudioCodecs45}},  // 45
    {"S16BE (PCM SIGNED 16 BIT BIG ENDIAN)", "raw", "s16be", {{}, kAudioCodecs46}},  // 46
    {"S16LE (PCM SIGNED 16 BIT LITTLE ENDIAN)", "raw", "s16le", {{}, kAudioCodecs47}},  // 47
    {"S8 (PCM SIGNED 8 BIT)", "raw", "s8", {{}, kAudioCodecs48}},  // 48
    {"MULAW (PCM MU LAW)", "raw", "mulaw", {{}, kAudioCodecs49}},  // 49
    {"ALAW (PCM A LAW)", "raw", "alaw", {{}, kAudioCodecs50}},  // 50
    {"WMV", "wmv", "wmv", {kVideoCodecs51, kAudioCodecs51}},  // 51
};

struct ChannelEntry {
    std::string_view name;
    int count;
};

constexpr ChannelEntry kChannels[kChannelChoiceCount] = {
    {"默认", -1},
    {"静音", 0},
    {"单声道", 1},
    {"立体声", 2},
    {"环绕立体声", 6},
};

// The editor's bit-rate steps widen as the rate grows; the list is generated by that rule rather
// than written out, so that it cannot drift from it.
constexpr std::array<int, kVideoBitrateChoiceCount> generateVideoBitrates()
{
    std::array<int, kVideoBitrateChoiceCount> values{};
    std::size_t n = 0;
    int v = 64;
    do {
        values[n++] = v;
        v += 32;
        if (v > 1000)
            v += 32;
        if (v > 3000)
            v += 32;
        if (v > 5000)
            v += 32;
    } while (v < 10000);
    return values;
}

constexpr std::array<int, kVideoBitrateChoiceCount> kVideoBitrates = generateVideoBitrates();
static_assert(kVideoBitrates.back() == 9984, "the generated list ends at 9984");

const ConversionTypeEntry* typeEntry(int t)
{
    if (t < 0 || t >= kConversionTypeCount)
        return nullptr;
    return &kConversionTypes[t];
}

template <typename Slot>
const Slot* slotAt(std::span<const Slot> slots, int i)
{
    if (i < 1 || static_cast<std::size_t>(i) > slots.size())
        return nullptr;
    return &slots[static_cast<std::size_t>(i) - 1];
}

const VideoCodecSlot* videoSlot(int t, int i)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? slotAt(entry->descriptor.video, i) : nullptr;
}

const AudioCodecSlot* audioSlot(int t, int i)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? slotAt(entry->descriptor.audio, i) : nullptr;
}

}  // namespace

std::string_view conversionTypeName(int t)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? entry->name : std::string_view{};
}

std::string_view conversionTypeExtension(int t)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? entry->extension : std::string_view{};
}

std::string_view conversionTypeFormat(int t)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? entry->format : std::string_view{};
}

const ConversionTypeDescriptor* conversionTypeDescriptor(int t)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? &entry->descriptor : nullptr;
}

std::string conversionTypeText(int t)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    if (!entry)
        return std::string(kUnknownTypeText);
    std::string text(entry->name);
    text += " (.";
    text += entry->extension;
    text += ')';
    return text;
}

bool hasVideo(int t) { return videoSlot(t, 1) != nullptr; }
bool hasAudio(int t) { return audioSlot(t, 1) != nullptr; }

int videoCodecCount(int t)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? static_cast<int>(entry->descriptor.video.size()) : 0;
}

std::string_view videoCodecName(int t, int i)
{
    const VideoCodecSlot* slot = videoSlot(t, i);
    return slot ? slot->name : std::string_view{};
}

std::string_view videoCodecToken(int t, int i)
{
    const VideoCodecSlot* slot = videoSlot(t, i);
    return slot ? slot->token : std::string_view{};
}

const VideoCodecParams* videoCodecParams(int t, int i)
{
    const VideoCodecSlot* slot = videoSlot(t, i);
    return slot ? slot->params : nullptr;
}

int audioCodecCount(int t)
{
    const ConversionTypeEntry* entry = typeEntry(t);
    return entry ? static_cast<int>(entry->descriptor.audio.size()) : 0;
}

std::string_view audioCodecName(int t, int i)
{
    const AudioCodecSlot* slot = audioSlot(t, i);
    return slot ? slot->name : std::string_view{};
}

std::string_view audioCodecToken(int t, int i)
{
    const AudioCodecSlot* slot = audioSlot(t, i);
    return slot ? slot->token : std::string_view{};
}

const AudioCodecParams* audioCodecParams(int t, int i)
{
    const AudioCodecSlot* slot = audioSlot(t, i);
    return slot ? slot->params : nullptr;
}

std::string_view channelName(int c)
{
    return c >= 0 && c < kChannelChoiceCount ? kChannels[c].name : std::string_view{};
}

int channelCount(int c)
{
    return c >= 0 && c < kChannelChoiceCount ? kChannels[c].count : -1;
}

const std::array<int, kVideoBitrateChoiceCount>& videoBitrateChoices()
{
    return kVideoBitrates;
}

}  // namespace profile
