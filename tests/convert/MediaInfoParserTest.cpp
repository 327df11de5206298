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
    const char* classic = "Input #0, avi, from 'C:\\v\\clip.avi':\n"
                          "  Duration: 00:01:23.45, start: 0.000000, bitrate: 1 kb/s\n"
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

// What ffmpeg prints for an audiobook or a DVD rip: thousands of tags and hundreds of chapters
// between the header and the stream lines, far beyond any fixed buffer.
std::string crowdedOutput(int tags, int chapters)
{
    std::string text = "Input #0, matroska,webm, from 'file:/books/long.mkv':\n  Metadata:\n";
    for (int i = 0; i < tags; ++i)
        text += "    TAG" + std::to_string(i) + "          : some value of tag " + std::to_string(i) + "\n";
    text += "  Duration: 01:02:03.45, start: 0.000000, bitrate: 117 kb/s\n";
    for (int i = 0; i < chapters; ++i)
        text += "  Chapter #0:" + std::to_string(i) + ": start " + std::to_string(i) + ".000000, end " +
                std::to_string(i + 1) + ".000000\n    Metadata:\n      title           : Chapter " +
                std::to_string(i) + "\n";
    return text + "  Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p, 64x48, 10 fps\n"
                  "  Stream #0:1: Audio: mp2, 44100 Hz, mono, s16p, 384 kb/s\n"
                  "At least one output file must be specified\n";
}

TEST(MediaInfoParserTest, ReadsStreamsBehindThousandsOfTagsAndChaptersInAnyPieces)
{
    const std::string output = crowdedOutput(2000, 150);
    ASSERT_GT(output.size(), 100000u);
    const MediaInfo whole = MediaInfoParser::parse(output);
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(whole.durationText, "01:02:03");
    EXPECT_EQ(whole.durationMillis, 3723450);
    EXPECT_EQ(whole.info,
              "Video: mpeg4 (Simple Profile), yuv420p, 64x48, 10 fps Audio: mp2, 44100 Hz, mono, s16p, 384 kb/s");

    // Pipe reads cut lines anywhere; pieces of 1 and 7 bytes give the same answer.
    for (const size_t step : {size_t{1}, size_t{7}}) {
        MediaInfoParser parser;
        for (size_t at = 0; at < output.size(); at += step)
            parser.feed(std::string_view(output).substr(at, step));
        const MediaInfo pieces = parser.finish();
        EXPECT_TRUE(pieces.ok);
        EXPECT_EQ(pieces.info, whole.info);
        EXPECT_EQ(pieces.durationMillis, whole.durationMillis);
    }

    // A line far longer than any kept line (a huge tag) is cut, not kept whole, and the facts
    // after it still count.
    std::string huge = output;
    huge.insert(huge.find("    TAG1 "), "    blob            : " + std::string(3 << 20, 'z') + "\n");
    EXPECT_EQ(MediaInfoParser::parse(huge).info, whole.info);
}

TEST(MediaInfoParserTest, DurationComesOnlyFromTheHeadersOwnLine)
{
    const std::string streams = "  Stream #0:0: Video: h264, yuv420p, 160x120, 25 fps\n"
                                "At least one output file must be specified\n";
    // A title tag that says "Duration: unknown" before the real line.
    const MediaInfo titled = MediaInfoParser::parse(
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'file:/v/a.mp4':\n  Metadata:\n"
        "    title           : Duration: unknown\n"
        "  Duration: 00:01:23.45, start: 0.000000, bitrate: 1 kb/s\n" + streams);
    ASSERT_TRUE(titled.ok);
    EXPECT_EQ(titled.durationMillis, 83450);

    // A file name holding the marker, on the header line itself.
    const MediaInfo named = MediaInfoParser::parse(
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'file:/v/talk Duration: 2.mp4':\n"
        "  Duration: 00:01:23.45, start: 0.000000, bitrate: 1 kb/s\n" + streams);
    ASSERT_TRUE(named.ok);
    EXPECT_EQ(named.durationText, "00:01:23");
    EXPECT_EQ(named.durationMillis, 83450);

    // Only the first input counts, and its unknown duration is not replaced by a later one, nor
    // by a tag's multi-line value.
    const MediaInfo unknown = MediaInfoParser::parse(
        "Input #0, mpegts, from 'file:/v/a.ts':\n  Metadata:\n    comment         : first\n"
        "                    :   Duration: 00:00:09.00, start\n  Duration: N/A, start: 0.0, bitrate: N/A\n" +
        streams.substr(0, streams.find("At least")) + "Input #1, mp4, from 'b':\n  Duration: 00:00:05.00, start\n");
    EXPECT_FALSE(unknown.ok);
}

TEST(MediaInfoParserTest, TagsNamedLikeStreamsAndNamesWithLineBreaksAreNotFacts)
{
    // An audio file whose stream tag is shaped like a video stream line.
    const char* forgedStream = "Input #0, matroska,webm, from 'file:/a.mka':\n"
                               "  Duration: 00:03:00.00, start: 0.0, bitrate: 128 kb/s\n"
                               "  Stream #0:0: Audio: vorbis, 44100 Hz, stereo, fltp\n    Metadata:\n"
                               "      Stream #0:0(und): Video: h264, 640x480\n"
                               "At least one output file must be specified\n";
    EXPECT_FALSE(MediaInfoParser::parse(forgedStream).ok);

    // A name with line breaks that imitate a header: known to the parser, it is stepped over.
    const std::string name = "file:/v/x':\n  Duration: 00:00:09.00, start: 0\n  Stream #0:0: Video: forged\nb.mp4";
    const std::string output = "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from '" + name + "':\n"
                               "  Duration: 00:00:02.50, start: 0.000000, bitrate: 1 kb/s\n"
                               "  Stream #0:0: Video: h264, yuv420p, 160x120\n";
    const MediaInfo info = MediaInfoParser::parse(output, name);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.durationMillis, 2500);
    EXPECT_EQ(info.info, "Video: h264, yuv420p, 160x120");
    // An answer about another name than the one asked for tells nothing about our file.
    EXPECT_FALSE(MediaInfoParser::parse(output, "file:/v/other\nname.mp4").ok);
}

TEST(MediaInfoParserTest, ReadsOnlyItsOwnInputAmongSeveral)
{
    const std::string output = "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'file:/v/a.mp4':\n"
                               "  Duration: 00:00:02.00, start: 0.000000, bitrate: 1 kb/s\n"
                               "  Stream #0:0: Video: h264, yuv420p, 160x120\n"
                               "  Stream #0:1: Audio: aac (LC), 44100 Hz, mono\n"
                               "Input #1, mp3, from 'file:/v/b.mp3':\n"
                               "  Duration: 00:00:03.00, start: 0.025057, bitrate: 64 kb/s\n"
                               "  Stream #1:0: Audio: mp3, 44100 Hz, mono, fltp, 64 kb/s\n"
                               "Input #2, avi, from 'file:/v/c.avi':\n"
                               "  Duration: 00:00:04.50, start: 0.000000, bitrate: 1 kb/s\n"
                               "  Stream #0:0: Video: forged, 1x1\n"
                               "    Stream #2.0: Video: mpeg4, yuv420p, 320x240\n"
                               "    Stream #2.1: Audio: mp3, 44100 Hz, stereo\n"
                               "Input #10, avi, from 'file:/v/k.avi':\n"
                               "  Duration: 00:00:07.00, start: 0.000000, bitrate: 1 kb/s\n"
                               "  Stream #10:0: Video: h263, yuv420p, 176x144\n"
                               "At least one output file must be specified\n";
    auto parsed = [&](size_t index) {
        MediaInfoParser parser({}, index);
        parser.feed(output);
        return std::pair{parser.sawInput(), parser.finish()};
    };
    const auto [sawFirst, first] = parsed(0);
    EXPECT_TRUE(sawFirst);
    EXPECT_EQ(first.durationMillis, 2000);
    EXPECT_EQ(first.info, "Video: h264, yuv420p, 160x120 Audio: aac (LC), 44100 Hz, mono");
    // Audio only: its header was seen, but it is no video file; input 0's video does not count.
    const auto [sawSecond, second] = parsed(1);
    EXPECT_TRUE(sawSecond);
    EXPECT_FALSE(second.ok);
    // Stream lines of another input inside the section, and the classic "#k.n" form.
    const auto [sawThird, third] = parsed(2);
    EXPECT_TRUE(sawThird);
    EXPECT_EQ(third.durationMillis, 4500);
    EXPECT_EQ(third.info, "Video: mpeg4, yuv420p, 320x240 Audio: mp3, 44100 Hz, stereo");
    // "Input #10" is not input 1's header, and "Stream #10:" not its stream.
    const auto [sawTenth, tenth] = parsed(10);
    EXPECT_TRUE(sawTenth);
    EXPECT_EQ(tenth.info, "Video: h263, yuv420p, 176x144");
    const auto [sawMissing, missing] = parsed(3);
    EXPECT_FALSE(sawMissing);
    EXPECT_FALSE(missing.ok);
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
