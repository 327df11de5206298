#include "convert/EncoderOutputReader.h"

#include "tests/convert/FixtureText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

using convert::EncoderOutputReader;
using convert::EncoderProgram;

namespace {

// The status lines of an output that are complete (ended by "\r" or "\n").
std::vector<std::string> statusLines(const std::string& output)
{
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t i = 0; i < output.size(); ++i) {
        if (output[i] == '\r' || output[i] == '\n') {
            const std::string line = output.substr(begin, i - begin);
            if (EncoderOutputReader::ffmpegStatusSeconds(line))
                lines.push_back(line);
            begin = i + 1;
        }
    }
    return lines;
}

TEST(EncoderOutputReaderTest, FfmpegPercentFollowsTheClockWhateverThePieceSize)
{
    const std::string output = testfixtures::read("progress-ffmpeg-avi.txt");
    ASSERT_EQ(statusLines(output).size(), 9u);
    for (size_t pieceSize : {size_t(1), size_t(7), size_t(100), size_t(10000)}) {
        SCOPED_TRACE(pieceSize);
        EncoderOutputReader reader(EncoderProgram::Ffmpeg, 4000);
        for (size_t at = 0; at < output.size(); at += pieceSize) {
            if (!reader.feed(std::string_view(output).substr(at, pieceSize)))
                continue;
            // The share shown is the latest complete status line's time over the 4 s.
            const std::vector<std::string> lines = statusLines(output.substr(0, at + pieceSize));
            ASSERT_FALSE(lines.empty());
            const double t = *EncoderOutputReader::ffmpegStatusSeconds(lines.back());
            EXPECT_LE(std::abs(reader.percent() - t / 4.0 * 100.0), 2.0) << lines.back();
        }
        reader.finish();
        EXPECT_TRUE(reader.sawProgress());
        EXPECT_EQ(reader.percent(), 100);
    }
}

TEST(EncoderOutputReaderTest, FfmpegStatusLineRules)
{
    using R = EncoderOutputReader;
    EXPECT_DOUBLE_EQ(*R::ffmpegStatusSeconds("frame= 1 size=  13kB time=00:01:04.50 bitrate=1.0kbits/s"), 64.5);
    EXPECT_DOUBLE_EQ(*R::ffmpegStatusSeconds("size=   13kB time=12.34 bitrate=  1.0kbits/s"), 12.34);
    EXPECT_DOUBLE_EQ(*R::ffmpegStatusSeconds("frame=1 Lsize= 243kB time=01:00:00.00 bitrate= 1.0kbits/s"), 3600.0);
    EXPECT_DOUBLE_EQ(*R::ffmpegStatusSeconds("size= 1kB time=-00:00:00.05 bitrate=N/A"), 0.0);
    EXPECT_FALSE(R::ffmpegStatusSeconds("size=  13kB time=00:00:04 bitrate=N/A"));  // no "." after time=
    EXPECT_FALSE(R::ffmpegStatusSeconds("size=N/A time=00:00:04.00 bitrate=N/A"));  // no "kB"
    EXPECT_FALSE(R::ffmpegStatusSeconds("size=  13kB bitrate=1.0"));               // no "time="
    EXPECT_FALSE(R::ffmpegStatusSeconds("size=  13kB time=N/A bitrate=1.0"));
    EXPECT_FALSE(R::ffmpegStatusSeconds("Duration: 00:00:02.00, start: 0.000000, bitrate: 243 kb/s"));
}

// ffmpeg 7 and later write sizes in KiB ("size=      10KiB"); the line written by hand after a
// real run of such a build.
TEST(EncoderOutputReaderTest, ReadsTheKibibyteStatusLinesOfNewerFfmpeg)
{
    EXPECT_DOUBLE_EQ(*EncoderOutputReader::ffmpegStatusSeconds("size=  10KiB time=00:00:01.44 bitrate=56.9kbits/s"),
                     1.44);
    EncoderOutputReader reader(EncoderProgram::Ffmpeg, 2000);
    std::vector<int> shown;
    for (const char c : testfixtures::read("progress-ffmpeg7-kib.txt"))
        if (reader.feed(std::string_view(&c, 1)))
            shown.push_back(reader.percent());
    reader.finish();
    EXPECT_EQ(shown, (std::vector<int>{20, 72, 96}));
    EXPECT_EQ(reader.lastTimeMillis(), 1920);
}

// The last time the encoder reported is what a job compares with the probed duration to tell a
// whole conversion from one cut short.
TEST(EncoderOutputReaderTest, LastReportedTimeInMilliseconds)
{
    EncoderOutputReader ffmpeg(EncoderProgram::Ffmpeg, 0);
    EXPECT_EQ(ffmpeg.lastTimeMillis(), -1);
    ffmpeg.feed("size= 1kB time=-00:00:00.05 x\r");
    EXPECT_EQ(ffmpeg.lastTimeMillis(), 0);
    ffmpeg.feed("size= 1kB time=01:02:03.456 x\rsize= 2kB time=00:00:07.25 x\r");
    EXPECT_EQ(ffmpeg.lastTimeMillis(), 7250);  // the latest line, not the largest time
    ffmpeg.feed("size= 3kB time=00:00:09.50 x");
    EXPECT_EQ(ffmpeg.lastTimeMillis(), 7250);  // a line without its end does not count yet
    ffmpeg.finish();
    EXPECT_EQ(ffmpeg.lastTimeMillis(), 9500);

    EncoderOutputReader mencoder(EncoderProgram::Mencoder, 2000);
    mencoder.feed(testfixtures::read("progress-mencoder-wmv.txt"));
    mencoder.finish();
    EXPECT_EQ(mencoder.lastTimeMillis(), 1900);
}

TEST(EncoderOutputReaderTest, LatestStatusLineOfAPieceWinsAndUnknownDurationShowsNothing)
{
    EncoderOutputReader reader(EncoderProgram::Ffmpeg, 10000);
    EXPECT_TRUE(
        reader.feed("size= 1kB time=00:00:01.00 x\rsize= 2kB time=00:00:03.00 x\rsize= 3kB time=00:00:05.00 x\r"));
    EXPECT_EQ(reader.percent(), 50);
    EXPECT_EQ(reader.statusLines(), 3u);
    // A line cut by a pipe read counts once its end arrives.
    EXPECT_FALSE(reader.feed("size= 4kB time=00:00:0"));
    EXPECT_EQ(reader.percent(), 50);
    EXPECT_EQ(reader.statusLines(), 3u);
    EXPECT_TRUE(reader.feed("7.00 x\r"));
    EXPECT_EQ(reader.percent(), 70);
    EXPECT_EQ(reader.statusLines(), 4u);

    EncoderOutputReader unknown(EncoderProgram::Ffmpeg, 0);
    EXPECT_TRUE(unknown.feed("size= 1kB time=00:00:01.00 x\r"));
    EXPECT_TRUE(unknown.sawProgress());
    EXPECT_LT(unknown.percent(), 0);
}

TEST(EncoderOutputReaderTest, MencoderPositionOverDurationElseItsOwnPercentage)
{
    using R = EncoderOutputReader;
    const auto status = R::mencoderStatus("Pos:  12.3s  369f (10%) 25.00fps Trem:   0min   0mb");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->percent, 10);
    EXPECT_DOUBLE_EQ(status->seconds, 12.3);
    EXPECT_FALSE(R::mencoderStatus("Pos:  12.3s  369f 10%) ("));  // "%" before "("
    EXPECT_FALSE(R::mencoderStatus("Pos:  12.3s  369f (10"));
    EXPECT_FALSE(R::mencoderStatus("VIDEO:  MPEG2  160x120  (aspect 2)  25.000 fps"));

    // mencoder's own figure follows the file position (38 % at the first frame of this MPEG);
    // with the duration known the time decides.
    const std::string output = testfixtures::read("progress-mencoder-wmv.txt");
    EncoderOutputReader timed(EncoderProgram::Mencoder, 2000);
    EncoderOutputReader untimed(EncoderProgram::Mencoder, 0);
    EXPECT_TRUE(timed.feed("Pos:   0.0s      1f (38%)  0.00fps Trem:   0min   0mb  A-V:0.000 [0:0]\r"));
    EXPECT_TRUE(untimed.feed("Pos:   0.0s      1f (38%)  0.00fps Trem:   0min   0mb  A-V:0.000 [0:0]\r"));
    EXPECT_EQ(timed.percent(), 0);
    EXPECT_EQ(untimed.percent(), 38);
    timed.feed(output);
    timed.finish();
    EXPECT_TRUE(timed.sawProgress());
    EXPECT_EQ(timed.percent(), 95);  // the last line says 1.9 s of 2 s

    // ffmpeg's lines mean nothing to the mencoder rule and the other way round.
    EncoderOutputReader mencoderReadingFfmpeg(EncoderProgram::Mencoder, 4000);
    mencoderReadingFfmpeg.feed(testfixtures::read("progress-ffmpeg-avi.txt"));
    EXPECT_FALSE(mencoderReadingFfmpeg.sawProgress());
    EncoderOutputReader ffmpegReadingMencoder(EncoderProgram::Ffmpeg, 2000);
    ffmpegReadingMencoder.feed(output);
    EXPECT_FALSE(ffmpegReadingMencoder.sawProgress());
}

TEST(EncoderOutputReaderTest, ErrorTextIsTheLastLinesWithoutTheBanner)
{
    EncoderOutputReader unknownEncoder(EncoderProgram::Ffmpeg, 2000);
    unknownEncoder.feed(testfixtures::read("error-ffmpeg-unknown-encoder.txt"));
    unknownEncoder.finish();
    const std::string text = unknownEncoder.errorText();
    EXPECT_FALSE(unknownEncoder.sawProgress());
    EXPECT_EQ(text.find("configuration:"), std::string::npos);
    EXPECT_EQ(text.find("ffmpeg version"), std::string::npos);
    EXPECT_EQ(text.rfind("Input #0", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 25), "Unknown encoder 'libfaac'");

    // ffmpeg often ends with a bare "Conversion failed!"; the cause stands on the lines above it.
    EncoderOutputReader failed(EncoderProgram::Ffmpeg, 2000);
    const std::string output = testfixtures::read("error-ffmpeg-conversion-failed.txt");
    for (size_t at = 0; at < output.size(); at += 512)
        failed.feed(std::string_view(output).substr(at, 512));
    failed.finish();
    const std::string failedText = failed.errorText();
    EXPECT_NE(failedText.find("Yamaha SMAF stereo is experimental"), std::string::npos);
    EXPECT_EQ(failedText.substr(failedText.size() - 18), "Conversion failed!");

    // mencoder's one-line banner stays: the text is the whole output when it fits.
    EncoderOutputReader mencoder(EncoderProgram::Mencoder, 2000);
    mencoder.feed(testfixtures::read("error-mencoder-bad-input.txt"));
    mencoder.finish();
    EXPECT_EQ(mencoder.errorText().rfind("MEncoder", 0), 0u);
    EXPECT_NE(mencoder.errorText().find("Cannot open demuxer."), std::string::npos);
}

TEST(EncoderOutputReaderTest, ErrorTextIsBounded)
{
    EncoderOutputReader chatty(EncoderProgram::Ffmpeg, 0);
    for (int i = 0; i < 5000; ++i)
        chatty.feed("line " + std::to_string(i) + " of a long complaint\n");
    chatty.feed("the last words");
    chatty.finish();
    const std::string text = chatty.errorText();
    EXPECT_LE(text.size(), EncoderOutputReader::kMaxErrorText);
    EXPECT_GT(text.size(), EncoderOutputReader::kMaxErrorText - 40);
    EXPECT_EQ(text.rfind("line ", 0), 0u);  // starts at a line start
    EXPECT_EQ(text.substr(text.size() - 14), "the last words");

    // One endless line of two-byte characters is cut at a character boundary.
    EncoderOutputReader endless(EncoderProgram::Ffmpeg, 0);
    std::string wide;
    for (int i = 0; i < 20000; ++i)
        wide += "\xC3\xA9";
    endless.feed(wide);
    endless.finish();
    const std::string cut = endless.errorText();
    EXPECT_LE(cut.size(), EncoderOutputReader::kMaxErrorText);
    EXPECT_GT(cut.size(), 4000u);
    EXPECT_EQ(static_cast<unsigned char>(cut.front()), 0xC3);
    EXPECT_EQ(cut.size() % 2, 0u);

    EncoderOutputReader silent(EncoderProgram::Ffmpeg, 0);
    silent.finish();
    EXPECT_EQ(silent.errorText(), "");
}

}  // namespace

// The speeds of the captured runs, whatever the piece size: each status line's own "speed=".
TEST(EncoderOutputReaderTest, ReportedSpeedIsTheLatestStatusLines)
{
    const std::string avi = testfixtures::read("progress-ffmpeg-avi.txt");
    for (size_t pieceSize : {size_t(1), size_t(13), size_t(10000)}) {
        SCOPED_TRACE(pieceSize);
        EncoderOutputReader reader(EncoderProgram::Ffmpeg, 4000);
        std::vector<double> shown;
        for (size_t at = 0; at < avi.size(); at += pieceSize)
            if (reader.feed(std::string_view(avi).substr(at, pieceSize)))
                shown.push_back(reader.reportedSpeed().value_or(-1));
        reader.finish();
        if (pieceSize == 1) {
            const std::vector<double> stated = {2.12, 0.837, 0.929, 0.917, 0.961, 0.959, 0.959, 0.968, 1};
            ASSERT_EQ(shown.size(), stated.size());
            for (size_t i = 0; i < stated.size(); ++i)
                EXPECT_NEAR(shown[i], stated[i], 1e-9) << i;
        }
        EXPECT_DOUBLE_EQ(*reader.reportedSpeed(), 1.0);  // "speed=   1x", blanks before the number
    }
    EncoderOutputReader newer(EncoderProgram::Ffmpeg, 2000);
    newer.feed(testfixtures::read("progress-ffmpeg7-kib.txt"));
    newer.finish();
    EXPECT_DOUBLE_EQ(*newer.reportedSpeed(), 1.58);  // followed by ffmpeg 7's "elapsed="

    // mencoder states no speed: its lines never give one.
    EncoderOutputReader mencoder(EncoderProgram::Mencoder, 2000);
    EXPECT_TRUE(mencoder.feed(testfixtures::read("progress-mencoder-wmv.txt")));
    EXPECT_FALSE(mencoder.reportedSpeed());
}

TEST(EncoderOutputReaderTest, ReportedSpeedRefusesWhatIsNoSpeed)
{
    using R = EncoderOutputReader;
    EXPECT_NEAR(*R::ffmpegReportedSpeed("bitrate= 419.7kbits/s speed=0.837x"), 0.837, 1e-9);
    EXPECT_DOUBLE_EQ(*R::ffmpegReportedSpeed("speed=12x elapsed=0:00:01.21"), 12.0);
    EXPECT_DOUBLE_EQ(*R::ffmpegReportedSpeed("speed=999999x"), 999999.0);
    for (const char* line : {"speed=N/A", "speed=inf", "speed=infx", "speed=nanx", "speed=-1.5x", "speed=+2x",
                             "speed=0x", "speed=0.000x", "speed=1e3x", "speed=1e400x", "speed=1000001x",
                             "speed=99999999999999999999999999999x", "speed=1.5", "speed=1.", "speed=",
                             "speed=x", "speed=.5x", "bitrate=1.0kbits/s", "speed=1,5x"}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(R::ffmpegReportedSpeed(line));
    }

    // The stated speed is that of the latest line: N/A clears it; a line cut after its number
    // states none until the rest arrives.
    EncoderOutputReader reader(EncoderProgram::Ffmpeg, 10000);
    reader.feed("size= 1kB time=00:00:01.00 bitrate=N/A speed=2.5x\r");
    EXPECT_DOUBLE_EQ(*reader.reportedSpeed(), 2.5);
    reader.feed("size= 2kB time=00:00:02.00 bitrate=N/A speed=N/A\r");
    EXPECT_FALSE(reader.reportedSpeed());
    EXPECT_FALSE(reader.feed("size= 3kB time=00:00:03.00 bitrate=N/A speed=1.2"));
    EXPECT_TRUE(reader.feed("5x\r"));
    EXPECT_DOUBLE_EQ(*reader.reportedSpeed(), 1.25);
    reader.feed("size= 4kB time=00:00:04.00 bitrate=N/A speed=3");
    reader.finish();  // the output ended inside the number
    EXPECT_FALSE(reader.reportedSpeed());
    EXPECT_EQ(reader.lastTimeMillis(), 4000);
}

namespace {

// A conversion's output as ffmpeg prints it: a probe fixture's input section (the header is the
// same), the output section, and status lines at the given times.
std::string conversionOutput(const std::string& probeFixture, const std::vector<std::string>& times)
{
    std::string output = testfixtures::read(probeFixture);
    if (const size_t complaint = output.find("At least one output"); complaint != std::string::npos)
        output.erase(complaint);
    output += "Stream mapping:\n  Stream #0:0 -> #0:0 (h264 (native) -> mpeg4 (native))\n"
              "Output #0, avi, to 'out.avi':\n  Metadata:\n    title           : Duration: 00:09:00.00\n";
    for (const std::string& time : times)
        output += "frame=   10 fps=0.0 q=2.0 size=      10kB time=" + time + " bitrate= 10.0kbits/s speed=2x    \r";
    return output;
}

}  // namespace

TEST(EncoderOutputReaderTest, WithTheDurationToComeFfmpegsHeaderGivesItByTheProbesRules)
{
    // The 2 s of the input section's own line, not the tags' (the output's title says 9 minutes).
    const std::string output = conversionOutput("probe-mov-av-meta-mov.txt", {"00:00:00.50", "00:00:01.00"});
    for (size_t pieceSize : {size_t(1), size_t(7), size_t(10000)}) {
        SCOPED_TRACE(pieceSize);
        EncoderOutputReader reader(EncoderProgram::Ffmpeg, std::string_view("mov_av_meta.mov"));
        EXPECT_FALSE(reader.durationMillis());
        for (size_t at = 0; at < output.size(); at += pieceSize)
            reader.feed(std::string_view(output).substr(at, pieceSize));
        EXPECT_EQ(reader.durationMillis(), std::optional<int64_t>(2000));
        EXPECT_TRUE(reader.durationFromHeader());
        EXPECT_EQ(reader.percent(), 50);
    }

    // Where the probe would fail, the header gives nothing either: no video stream, a duration
    // of N/A. The percentage waits for the probe's answer, and then follows the latest line.
    for (const std::string fixture : {"probe-audio-only-m4a.txt", "probe-random-bin.txt"}) {
        EncoderOutputReader reader(EncoderProgram::Ffmpeg, std::string_view(""));
        reader.feed(conversionOutput(fixture, {"00:00:01.00"}));
        reader.finish();
        EXPECT_FALSE(reader.durationMillis()) << fixture;
        EXPECT_EQ(reader.percent(), -1) << fixture;
        EXPECT_TRUE(reader.sawProgress()) << fixture;
    }
    EncoderOutputReader lavfi(EncoderProgram::Ffmpeg, std::string_view(""));
    lavfi.feed(testfixtures::read("progress-ffmpeg-avi.txt"));  // "Duration: N/A"
    EXPECT_FALSE(lavfi.durationMillis());
    EXPECT_EQ(lavfi.percent(), -1);
    lavfi.setDurationMillis(8000);
    EXPECT_EQ(lavfi.percent(), 50);  // its latest line says 4 s
}

TEST(EncoderOutputReaderTest, TheProbesDurationReplacesTheHeadersAtOnce)
{
    EncoderOutputReader reader(EncoderProgram::Ffmpeg, std::string_view(""));
    reader.feed(conversionOutput("probe-mov-av-meta-mov.txt", {"00:00:01.00"}));
    EXPECT_EQ(reader.percent(), 50);
    reader.setDurationMillis(4000);
    EXPECT_EQ(reader.percent(), 25);
    EXPECT_FALSE(reader.durationFromHeader());
    // A header read later changes nothing any more.
    reader.feed(conversionOutput("probe-mp4-av-mp4.txt", {"00:00:02.00"}));
    EXPECT_EQ(reader.durationMillis(), std::optional<int64_t>(4000));
    EXPECT_EQ(reader.percent(), 50);

    // mencoder has no such header, and its own percentage runs ahead of its position: nothing is
    // shown until the probe answers.
    EncoderOutputReader mencoder(EncoderProgram::Mencoder, std::string_view(""));
    EXPECT_TRUE(mencoder.feed("Pos:   1.0s     25f (38%)  0.00fps Trem:   0min   0mb  A-V:0.000 [0:0]\r"));
    EXPECT_EQ(mencoder.percent(), -1);
    mencoder.setDurationMillis(4000);
    EXPECT_EQ(mencoder.percent(), 25);
}
