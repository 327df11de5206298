#include "profile/EncodingTables.h"

#include "profile/ProfileRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace profile;

namespace {

std::size_t utf16Length(std::string_view text) { return toUtf16(text).size(); }

bool endsWithCopy(std::string_view lastName, std::string_view lastToken)
{
    return lastName == "Direct Stream Copy" && lastToken == "copy";
}

}  // namespace

TEST(EncodingTablesTest, EveryTypeIsWellFormedAndFitsItsStoredLimits)
{
    for (int t = 0; t < kConversionTypeCount; ++t) {
        SCOPED_TRACE(t);
        ASSERT_NE(conversionTypeDescriptor(t), nullptr);
        EXPECT_FALSE(conversionTypeName(t).empty());
        EXPECT_LE(utf16Length(conversionTypeName(t)), 44u);
        EXPECT_LE(utf16Length(conversionTypeExtension(t)), 4u);
        EXPECT_LE(utf16Length(conversionTypeFormat(t)), 33u);
        EXPECT_LE(videoCodecCount(t), kMaxCodecSlots);
        EXPECT_LE(audioCodecCount(t), kMaxCodecSlots);
        EXPECT_EQ(hasVideo(t), videoCodecCount(t) > 0);
        EXPECT_EQ(hasAudio(t), audioCodecCount(t) > 0);
        for (int i = 1; i <= videoCodecCount(t); ++i) {
            const VideoCodecParams* params = videoCodecParams(t, i);
            ASSERT_NE(params, nullptr);
            EXPECT_FALSE(videoCodecName(t, i).empty());
            EXPECT_LE(params->sizes.size(), 32u);
            EXPECT_LE(params->frameRates.size(), 20u);
        }
        for (int i = 1; i <= audioCodecCount(t); ++i) {
            const AudioCodecParams* params = audioCodecParams(t, i);
            ASSERT_NE(params, nullptr);
            EXPECT_FALSE(audioCodecName(t, i).empty());
            EXPECT_FALSE(audioCodecToken(t, i).empty());
            EXPECT_LE(params->sampleRates.size(), 20u);
            EXPECT_LE(params->bitrates.size(), 41u);
        }
        // The slot after the last one is missing: the list ends there.
        EXPECT_EQ(videoCodecParams(t, videoCodecCount(t) + 1), nullptr);
        EXPECT_EQ(audioCodecParams(t, audioCodecCount(t) + 1), nullptr);
        EXPECT_EQ(videoCodecParams(t, 0), nullptr);
    }
}

TEST(EncodingTablesTest, OnlyGifAndWmvLackStreamCopy)
{
    for (int t = 0; t < kConversionTypeCount; ++t) {
        SCOPED_TRACE(t);
        const int nv = videoCodecCount(t);
        const int na = audioCodecCount(t);
        const bool videoCopies = nv > 0 && endsWithCopy(videoCodecName(t, nv), videoCodecToken(t, nv));
        const bool audioCopies = na > 0 && endsWithCopy(audioCodecName(t, na), audioCodecToken(t, na));
        if (t == 14 || t == 51) {
            EXPECT_FALSE(videoCopies);
            EXPECT_FALSE(audioCopies);
            continue;
        }
        if (nv > 0) {
            EXPECT_TRUE(videoCopies);
            // Stream copy offers no values: its lists hold only the empty text.
            const VideoCodecParams* copy = videoCodecParams(t, nv);
            ASSERT_EQ(copy->sizes.size(), 1u);
            EXPECT_EQ(copy->sizes[0], "");
        }
        if (na > 0) {
            EXPECT_TRUE(audioCopies);
        }
    }
}

TEST(EncodingTablesTest, TypeColumnsMatchTheCatalogueTypes)
{
    EXPECT_EQ(conversionTypeName(0), "3GP2");
    EXPECT_EQ(conversionTypeFormat(3), "adts");
    EXPECT_EQ(conversionTypeExtension(3), "aac");
    EXPECT_EQ(conversionTypeName(10), "DVD (MPEG2 PS DVD VOB)");
    EXPECT_EQ(conversionTypeExtension(10), "vob");
    EXPECT_EQ(conversionTypeFormat(10), "dvd");
    EXPECT_EQ(conversionTypeFormat(14), "gif -pix_fmt rgb24 -loop_output 0");
    EXPECT_EQ(conversionTypeFormat(21), "vob");
    EXPECT_EQ(conversionTypeFormat(24), "ogg -vn");
    EXPECT_EQ(conversionTypeExtension(26), "mp4");
    EXPECT_EQ(conversionTypeFormat(26), "psp");
    EXPECT_EQ(conversionTypeName(44), "U16LE (PCM UNSIGNED 16 BIT LITTLE ENDIAN)");
    EXPECT_EQ(conversionTypeFormat(35), "yuv4mpegpipe");
    EXPECT_EQ(conversionTypeName(51), "WMV");

    EXPECT_EQ(conversionTypeText(19), "MP4 (.mp4)");
    EXPECT_EQ(conversionTypeText(10), "DVD (MPEG2 PS DVD VOB) (.vob)");
    EXPECT_EQ(conversionTypeText(-1), "未知类型");
    EXPECT_EQ(conversionTypeText(52), "未知类型");
}

TEST(EncodingTablesTest, CodecSlotsCarryTheirTokensVerbatim)
{
    EXPECT_EQ(videoCodecCount(8), 22);
    EXPECT_EQ(audioCodecCount(8), 11);
    EXPECT_EQ(videoCodecToken(8, 1), "mpeg4 -vtag XVID");
    EXPECT_EQ(videoCodecName(8, 8), "H264");
    EXPECT_EQ(videoCodecToken(8, 8), "libx264");
    EXPECT_EQ(audioCodecToken(8, 4), "vorbis");
    EXPECT_EQ(videoCodecCount(23), 21);
    EXPECT_EQ(audioCodecCount(34), 20);
    EXPECT_EQ(audioCodecToken(34, 16), "sonicls");

    // Trailing blanks are part of the tokens.
    EXPECT_EQ(videoCodecToken(10, 2), "mpeg2video -target pal-dvd ");
    EXPECT_EQ(videoCodecToken(31, 2), "mpeg1video -target pal-vcd ");
    EXPECT_EQ(videoCodecToken(9, 1), "dvvideo -target ntsc-dv ");

    EXPECT_EQ(audioCodecName(1, 1), "AMR NB");
    EXPECT_EQ(audioCodecToken(1, 1), "libamr_nb");
    EXPECT_EQ(audioCodecToken(1, 2), "libamr_wb");
    EXPECT_EQ(audioCodecToken(19, 1), "libfaac");
    EXPECT_EQ(audioCodecName(50, 1), "ALAW (PCM A LAW)");
    EXPECT_EQ(videoCodecName(51, 1), "WMV2");
    EXPECT_EQ(audioCodecName(51, 1), "WMAV2");
    EXPECT_EQ(videoCodecName(16, 3), "Quicktime H264");
}

TEST(EncodingTablesTest, HalvesAndEmptyDescriptor)
{
    // YUV4MPEG Pipe has a descriptor with neither half.
    EXPECT_NE(conversionTypeDescriptor(35), nullptr);
    EXPECT_FALSE(hasVideo(35));
    EXPECT_FALSE(hasAudio(35));
    EXPECT_FALSE(hasVideo(18));
    EXPECT_TRUE(hasAudio(18));
    EXPECT_TRUE(hasVideo(9));
    EXPECT_FALSE(hasAudio(9));
    EXPECT_FALSE(hasVideo(14) && hasAudio(14));

    EXPECT_EQ(conversionTypeDescriptor(52), nullptr);
    EXPECT_FALSE(hasVideo(-1));
    EXPECT_EQ(videoCodecCount(99), 0);
    EXPECT_EQ(videoCodecName(99, 1), "");
    EXPECT_EQ(audioCodecParams(-5, 1), nullptr);
}

TEST(EncodingTablesTest, ParameterListsSpotChecks)
{
    // GIF: one codec with an empty token, the full size list I and frame-rate list G.
    ASSERT_EQ(videoCodecCount(14), 1);
    EXPECT_EQ(videoCodecToken(14, 1), "");
    const VideoCodecParams* gif = videoCodecParams(14, 1);
    EXPECT_EQ(gif->frameRates.front(), "10");
    EXPECT_EQ(gif->sizes.size(), 23u);
    EXPECT_EQ(gif->sizes.front(), "64x48");

    // 3GP H263: size list C, frame-rate list C.
    const VideoCodecParams* h263 = videoCodecParams(1, 1);
    EXPECT_EQ(std::vector<std::string_view>(h263->sizes.begin(), h263->sizes.end()),
              (std::vector<std::string_view>{"176x144", "128x96", "352x288"}));
    EXPECT_EQ(h263->frameRates.front(), "15");

    // Size list D starts with the empty text.
    const VideoCodecParams* avi = videoCodecParams(8, 1);
    EXPECT_EQ(avi->sizes.size(), 22u);
    EXPECT_EQ(avi->sizes.front(), "");
    EXPECT_EQ(avi->sizes.back(), "1280x1024");
    EXPECT_EQ(avi->frameRates.size(), 8u);

    // AMR NB and WB lists.
    EXPECT_EQ(audioCodecParams(1, 1)->bitrates.front(), "12.2");
    EXPECT_EQ(audioCodecParams(1, 1)->sampleRates.front(), "8000");
    EXPECT_EQ(audioCodecParams(1, 2)->bitrates.size(), 9u);
    EXPECT_EQ(audioCodecParams(1, 2)->sampleRates.front(), "16000");

    // PCM codecs have no bit-rate entries at all; sample-rate list G starts empty.
    const AudioCodecParams* pcm = audioCodecParams(34, 1);
    EXPECT_TRUE(pcm->bitrates.empty());
    EXPECT_EQ(pcm->sampleRates.size(), 12u);
    EXPECT_EQ(pcm->sampleRates.front(), "");
    // FLAC takes list K with the empty bit-rate list B.
    EXPECT_EQ(audioCodecParams(12, 1)->sampleRates.back(), "96000");
    ASSERT_EQ(audioCodecParams(12, 1)->bitrates.size(), 1u);

    // The transport stream pairs MP2 with lists E and AC3 with lists I, unlike the program streams.
    EXPECT_EQ(audioCodecName(22, 1), "MP2");
    EXPECT_EQ(audioCodecParams(22, 1)->sampleRates.front(), "48000");
    EXPECT_EQ(audioCodecParams(22, 1)->bitrates.size(), 19u);
    EXPECT_EQ(audioCodecParams(22, 2)->sampleRates.front(), "44100");
    EXPECT_EQ(audioCodecParams(21, 1)->sampleRates.front(), "48000");
    EXPECT_EQ(audioCodecName(21, 1), "AC3");

    // Lists are shared, not copied per codec.
    EXPECT_EQ(videoCodecParams(8, 1), videoCodecParams(8, 2));
}

TEST(EncodingTablesTest, ChannelTable)
{
    const int counts[] = {-1, 0, 1, 2, 6};
    const char* names[] = {"默认", "静音", "单声道", "立体声", "环绕立体声"};
    for (int c = 0; c < kChannelChoiceCount; ++c) {
        EXPECT_EQ(channelCount(c), counts[c]);
        EXPECT_EQ(channelName(c), names[c]);
        EXPECT_LT(utf16Length(channelName(c)), 15u);
    }
    EXPECT_EQ(channelCount(5), -1);
    EXPECT_EQ(channelCount(-1), -1);
    EXPECT_EQ(channelName(5), "");
}

TEST(EncodingTablesTest, VideoBitrateChoicesFollowTheWideningSteps)
{
    const auto& rates = videoBitrateChoices();
    ASSERT_EQ(rates.size(), 121u);
    EXPECT_EQ(rates.front(), 64);
    EXPECT_EQ(rates.back(), 9984);
    EXPECT_NE(std::find(rates.begin(), rates.end(), 992), rates.end());
    EXPECT_NE(std::find(rates.begin(), rates.end(), 1056), rates.end());
    EXPECT_EQ(std::find(rates.begin(), rates.end(), 1024), rates.end());
    for (std::size_t n = 1; n < rates.size(); ++n) {
        const int step = rates[n] - rates[n - 1];
        const int previous = rates[n - 1];
        const int expected = previous < 1000 ? (rates[n] > 1000 ? 64 : 32)
                                             : previous < 3000 ? (rates[n] > 3000 ? 96 : 64)
                                                               : previous < 5000 ? (rates[n] > 5000 ? 128 : 96) : 128;
        EXPECT_EQ(step, expected) << "after " << previous;
    }
    EXPECT_EQ(std::count_if(rates.begin(), rates.end(), [](int v) { return v <= 992; }), 30);
    EXPECT_EQ(std::count_if(rates.begin(), rates.end(), [](int v) { return v >= 5120; }), 39);
}
