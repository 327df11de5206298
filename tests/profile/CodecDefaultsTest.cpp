#include "profile/CodecDefaults.h"

#include <gtest/gtest.h>

using namespace profile;

namespace {

ProfileRecord recordOfType(int t)
{
    ProfileRecord record = makeEmptyProfileRecord();
    record.conversionType = t;
    record.frameRate = 7.0f;
    record.sampleRate = 1234;
    record.audioBitrate = 99.0f;
    record.audioChannels = ChannelsSurround;
    setFieldText(record.videoSize, kVideoSizeChars, u"999x999");
    record.videoBitrate = 777;
    return record;
}

}  // namespace

TEST(CodecDefaultsTest, VideoCodecTakesItsFirstFrameRateOnly)
{
    ProfileRecord record = recordOfType(1);
    CodecDefaults::chooseVideoCodec(record, 1);  // H263: frame-rate list C
    EXPECT_EQ(record.videoCodec, 1);
    EXPECT_EQ(record.frameRate, 15.0f);
    EXPECT_EQ(videoSizeOf(record), "999x999");
    EXPECT_EQ(record.videoBitrate, 777);

    // DV Video PAL: the first frame-rate entry is empty, the value stays.
    record = recordOfType(9);
    CodecDefaults::chooseVideoCodec(record, 2);
    EXPECT_EQ(record.frameRate, 7.0f);

    // The default codec and a codec past the list change nothing but the index.
    record = recordOfType(8);
    CodecDefaults::chooseVideoCodec(record, 0);
    EXPECT_EQ(record.videoCodec, 0);
    EXPECT_EQ(record.frameRate, 7.0f);
    CodecDefaults::chooseVideoCodec(record, 40);
    EXPECT_EQ(record.frameRate, 7.0f);
}

TEST(CodecDefaultsTest, AudioCodecRulesForValuesEmptyTextAndNoEntries)
{
    ProfileRecord record = recordOfType(1);
    CodecDefaults::chooseAudioCodec(record, 1);  // AMR NB
    EXPECT_EQ(record.sampleRate, 8000);
    EXPECT_EQ(record.audioBitrate, 12.2f);
    EXPECT_EQ(record.audioChannels, ChannelsSurround);

    // Stream copy: both lists hold only the empty text, so both values stay.
    record = recordOfType(8);
    CodecDefaults::chooseAudioCodec(record, 11);
    EXPECT_EQ(record.sampleRate, 1234);
    EXPECT_EQ(record.audioBitrate, 99.0f);

    // PCM: sample rate stays (empty first entry), bit rate becomes 0 (no entries).
    record = recordOfType(34);
    CodecDefaults::chooseAudioCodec(record, 1);
    EXPECT_EQ(record.sampleRate, 1234);
    EXPECT_EQ(record.audioBitrate, 0.0f);
}

TEST(CodecDefaultsTest, ConversionTypeChoosesFirstCodecsOfItsHalves)
{
    ProfileRecord record = recordOfType(0);
    CodecDefaults::chooseConversionType(record, 19);  // MP4: MPEG4 A-list, AAC F-lists
    EXPECT_EQ(record.conversionType, 19);
    EXPECT_EQ(record.videoCodec, 1);
    EXPECT_EQ(record.audioCodec, 1);
    EXPECT_EQ(record.frameRate, 25.0f);
    EXPECT_EQ(record.sampleRate, 44100);
    EXPECT_EQ(record.audioBitrate, 192.0f);

    // An audio-only type leaves the video values alone.
    record = recordOfType(0);
    CodecDefaults::chooseConversionType(record, 18);
    EXPECT_EQ(record.frameRate, 7.0f);
    EXPECT_EQ(record.audioBitrate, 128.0f);

    // GIF has no audio half; its frame rate is 10.
    record = recordOfType(0);
    CodecDefaults::chooseConversionType(record, 14);
    EXPECT_EQ(record.frameRate, 10.0f);
    EXPECT_EQ(record.sampleRate, 1234);
}
