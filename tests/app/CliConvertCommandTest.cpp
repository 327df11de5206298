#include "platform/ChildProcess.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// Runs lumaret-cli as its own process, with the fake encoder as ffmpeg and mencoder and with data
// and settings in temporary folders.
class CliConvertTest : public ::testing::Test {
protected:
    struct Result {
        int status = -1;
        std::string output;
    };

    Result cli(std::vector<std::string> args)
    {
        std::vector<std::string> argv = {"/usr/bin/env",
                                         "LUMARET_FFMPEG=" LUMARET_FAKE_ENCODER,
                                         "LUMARET_MENCODER=" LUMARET_FAKE_ENCODER,
                                         "LUMARET_DATA_DIR=" + (dir_ / "data").string(),
                                         "LUMARET_CONFIG_DIR=" + (dir_ / "config").string(),
                                         LUMARET_CLI};
        argv.insert(argv.end(), args.begin(), args.end());
        platform::ChildProcess child;
        Result result;
        EXPECT_TRUE(child.start(argv, 0, nullptr));
        while (child.read(result.output) == platform::ChildProcess::ReadStatus::Data) {
        }
        const auto exit = child.finish();
        result.status = exit.exited ? exit.code : -1;
        return result;
    }
    std::string script(const std::string& name, const std::string& text)
    {
        return fakeencoder::writeScript(dir_ / name, text);
    }
    static std::string probeOf(const std::string& fixture) { return "probe: cat " + testfixtures::path(fixture) + "\n"; }

    testsupport::TempDir dir_;
};

TEST_F(CliConvertTest, ProbePrintsWhatTheListShows)
{
    const Result good = cli({"probe", script("clip.mov", probeOf("probe-mov-av-meta-mov.txt"))});
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.output.rfind("duration=00:00:02\nseconds=2\ninfo=Video: h264 (High 4:4:4 Predictive)", 0), 0u)
        << good.output;
    EXPECT_NE(good.output.find(" Audio: aac (LC)"), std::string::npos);

    const Result bad = cli({"probe", script("song.mp3", probeOf("probe-audio-only-mp3.txt"))});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.output, "error=错误的文件,无法获取文件的媒体信息\n");
    EXPECT_EQ(cli({"probe"}).status, 2);
}

TEST_F(CliConvertTest, ConvertsInOrderReportsEachFileAndKeepsSources)
{
    const std::string good = script("good.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    const std::string broken =
        script("broken.mp4", probeOf("probe-mp4-av-mp4.txt") + "banner\nsay Unknown encoder 'libfaac'\nexit 1\n");
    const std::string notMedia = script("notes.txt", probeOf("probe-random-bin.txt"));
    const std::string out = (dir_ / "out").string();

    const Result result = cli({"convert", "--output-dir", out, good, broken, notMedia});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("done " + out + "/good."), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("failed " + broken + ": ffmpeg 异常结束,退出状态 1"), std::string::npos);
    EXPECT_NE(result.output.find("Unknown encoder 'libfaac'"), std::string::npos);  // the full text, on stderr
    EXPECT_NE(result.output.find("failed " + notMedia + ": 错误的文件,无法获取文件的媒体信息"), std::string::npos);
    EXPECT_LT(result.output.find("done "), result.output.find("failed " + broken));
    for (const std::string& source : {good, broken, notMedia})
        EXPECT_TRUE(std::filesystem::exists(source));

    const Result allGood = cli({"convert", "--output-dir", out, good});
    EXPECT_EQ(allGood.status, 0) << allGood.output;
    EXPECT_EQ(cli({"convert", "--profile", "no such profile", good}).status, 1);
    EXPECT_EQ(cli({"convert", "--bogus", good}).status, 2);
}

// The name bracket is a process-wide switch of the job; the converter sets it from the settings.
TEST_F(CliConvertTest, HonoursTheProfileNameSetting)
{
    std::filesystem::create_directories(dir_ / "config");
    std::ofstream(dir_ / "config" / "Lumaret.ini") << "[output]\noutput_profile=1\n";
    const std::string good = script("good.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    const std::string out = (dir_ / "out").string();
    const Result result = cli({"convert", "--output-dir", out, good});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("done " + out + "/good [移动设备兼容格式mp4]."), std::string::npos) << result.output;
}

}  // namespace
