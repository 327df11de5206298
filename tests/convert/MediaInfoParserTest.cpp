#include "convert/MediaInfoParser.h"

#include "tests/convert/FixtureText.h"

#include <gtest/gtest.h>

using convert::MediaInfo;
using convert::MediaInfoParser;

namespace {

struct ProbeCase {
    const char* fixture;
    const char* duration;
    int64_t millis;
    bool audio;
};

// Every container the probe must read, as this machine's ffmpeg describes it: with and without
// audio, with metadata blocks (mov, mp4, mkv) and without any (the bit-exact AVI).
const ProbeCase kReadable[] = {
    {"probe-mp4-av-mp4.txt", "00:00:02", 2000, true},   {"probe-mp4-v-mp4.txt", "00:00:02", 2000, false},
    {"probe-avi-av-avi.txt", "00:00:02", -1, true},   {"probe-avi-v-nometa-avi.txt", "00:00:02", 2000, false},
    {"probe-mkv-av-mkv.txt", "00:00:02", 2000, true},   {"probe-mkv-v-mkv.txt", "00:00:02", 2000, false},
    {"probe-flv-av-flv.txt", "00:00:02", -1, true},   {"probe-mov-av-meta-mov.txt", "00:00:02", 2000, true},
    {"probe-mov-v-mov.txt", "00:00:02", 2000, false},   {"probe-mpg-av-mpg.txt", "00:00:02", -1, true},
    {"probe-wmv-av-wmv.txt", "00:00:02", 2090, true},   {"probe-ogg-av-ogg.txt", "00:00:02", -1, true},
};

TEST(MediaInfoParserTest, ReadsDurationAndOneLineOfStreamsFromEveryContainer)
{
    for (const ProbeCase& c : kReadable) {
        SCOPED_TRACE(c.fixture);
        const MediaInfo info = MediaInfoParser::parse(testfixtures::read(c.fixture));
        ASSERT_TRUE(info.ok);
        EXPECT_EQ(info.durationText, c.duration);
        EXPECT_EQ(info.durationSeconds, 2u);
        if (c.millis >= 0) {
            EXPECT_EQ(info.durationMillis, c.millis);
        } else {
            EXPECT_GE(info.durationMillis, 2000);
            EXPECT_LT(info.durationMillis, 2100);
        }
        EXPECT_EQ(info.info.rfind("Video: ", 0), 0u) << info.info;
        EXPECT_EQ(info.info.find(" Audio: ") != std::string::npos, c.audio) << info.info;
        EXPECT_EQ(info.info.find('\n'), std::string::npos);
        EXPECT_EQ(info.info.find("Metadata"), std::string::npos);
        EXPECT_EQ(info.info.find("handler_name"), std::string::npos);
    }
}

TEST(MediaInfoParserTest, DescriptionSkipsMetadataBetweenTheStreams)
{
    const MediaInfo info = MediaInfoParser::parse(testfixtures::read("probe-mov-av-meta-mov.txt"));
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.info,
              "Video: h264 (High 4:4:4 Predictive) (avc1 / 0x31637661), yuv444p(progressive), 160x120 "
              "[SAR 1:1 DAR 4:3], 35 kb/s, 25 fps, 25 tbr, 12800 tbn (default) Audio: aac (LC) (mp4a / "
              "0x6134706D), 44100 Hz, mono, fltp, 69 kb/s (default)");
}

TEST(MediaInfoParserTest, RejectsAudioOnlyRandomBytesAndUnknownDuration)
{
    for (const char* fixture : {"probe-audio-only-mp3.txt", "probe-audio-only-m4a.txt", "probe-random-bin.txt",
                                "probe-raw-h264.txt"}) {
        SCOPED_TRACE(fixture);
        const MediaInfo info = MediaInfoParser::parse(testfixtures::read(fixture));
        EXPECT_FALSE(info.ok);
        EXPECT_TRUE(info.info.empty());
    }
    EXPECT_FALSE(MediaInfoParser::parse("").ok);
    EXPECT_FALSE(MediaInfoParser::parse("  Duration: 0000000000:01.00, start\n  Stream #0:0: Video: x\n").ok);
}

TEST(MediaInfoParserTest, TagsAndCoverPicturesDoNotPassForVideo)
{
    // An audio file whose title mentions video, and one with an embedded cover picture.
    const char* tagged = "Input #0, mp3, from 'a.mp3':\n  Metadata:\n    title           : Video: holiday\n"
                         "  Duration: 00:03:00.00, start: 0.0, bitrate: 128 kb/s\n"
                         "  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
                         "At least one output file must be specified\n";
    EXPECT_FALSE(MediaInfoParser::parse(tagged).ok);
    const char* cover = "Input #0, mp3, from 'a.mp3':\n  Duration: 00:03:00.00, start: 0.0, bitrate: 128 kb/s\n"
                        "  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
                        "  Stream #0:1: Video: mjpeg (Baseline), yuvj420p, 500x500, 90k tbn (attached pic)\n";
    EXPECT_FALSE(MediaInfoParser::parse(cover).ok);
}

TEST(MediaInfoParserTest, ReadsTheClassicFourBlankLayout)
{
    const char* classic = "Input #0, avi, from 'C:\\v\\clip.avi':\n  Duration: 00:01:23.45, start: 0.000000, bitrate: 1 kb/s\n"
                          "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25 tbr\n"
                          "    Stream #0.1: Audio: mp3, 44100 Hz, stereo, s16, 128 kb/s\n"
                          "At least one output file must be specified\n";
    const MediaInfo info = MediaInfoParser::parse(classic);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.durationText, "00:01:23");
    EXPECT_EQ(info.durationSeconds, 83u);
    EXPECT_EQ(info.durationMillis, 83450);
    EXPECT_EQ(info.info, "Video: mpeg4, yuv420p, 320x240, 25 tbr Audio: mp3, 44100 Hz, stereo, s16, 128 kb/s");
}

TEST(MediaInfoParserTest, SecondsOfDurationText)
{
    EXPECT_EQ(MediaInfoParser::secondsOf("00:01:23"), 83u);
    EXPECT_EQ(MediaInfoParser::secondsOf("01:02:03"), 3723u);
    EXPECT_EQ(MediaInfoParser::secondsOf("00:00:00"), 0u);
    EXPECT_EQ(MediaInfoParser::secondsOf("83"), 0u);        // no colon
    EXPECT_EQ(MediaInfoParser::secondsOf("2:30"), 7200u);   // one colon: hours only
    EXPECT_EQ(MediaInfoParser::secondsOf("x:y:z"), 0u);
}

}  // namespace
