#include "convert/ConversionQueue.h"
#include "convert/SpeedHistory.h"
#include "platform/core/ChildProcess.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/profile/ProfileTestSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs lumaret-cli as its own process, with the fake encoder as ffmpeg and mencoder and with data
// and settings in temporary folders.
class CliConvertTest : public ::testing::Test {
protected:
    struct Result {
        int status = -1;
        std::string output;
    };

    // Standard output and standard error together, in the order written; with `errorsTo`, standard
    // error goes to that file instead.
    Result cli(std::vector<std::string> args, const std::filesystem::path& errorsTo = {})
    {
        std::vector<std::string> argv;
        if (!errorsTo.empty())
            argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>\"" + errorsTo.string() + "\""};
        const std::vector<std::string> program = {"/usr/bin/env",
                                         "LUMARET_FFMPEG=" LUMARET_FAKE_ENCODER,
                                         "LUMARET_MENCODER=" LUMARET_FAKE_ENCODER,
                                         "LUMARET_DATA_DIR=" + (dir_ / "data").string(),
                                         "LUMARET_CONFIG_DIR=" + (dir_ / "config").string()};
        argv.insert(argv.end(), program.begin(), program.end());
        argv.insert(argv.end(), wrapper_.begin(), wrapper_.end());
        argv.push_back(LUMARET_CLI);
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
    static std::vector<std::string> linesOf(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }
    // A user profile "broken" whose conversion type no table knows.
    void writeBrokenProfile()
    {
        std::vector<unsigned char> user;
        profiletest::append(user, profiletest::makeRecord(u"mine", u"broken", 1, 77));
        std::filesystem::create_directories(dir_ / "data");
        testsupport::writeBytes(dir_ / "data" / "user_profile.dat", user);
    }
    static std::string probeOf(const std::string& fixture)
    {
        return "probe: cat " + testfixtures::path(fixture) + "\n";
    }

    testsupport::TempDir dir_;
    std::vector<std::string> wrapper_;  // a program that runs lumaret-cli (a time limit), if any
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

// A conversion from the command line teaches the speed history as one from the window does, and a
// damaged history is set aside rather than stopping the conversion.
TEST_F(CliConvertTest, AConversionIsRememberedInTheSpeedHistoryAndADamagedOneIsSetAside)
{
    std::filesystem::create_directories(dir_ / "data");
    std::ofstream(dir_ / "data" / convert::SpeedHistory::kFileName) << "LumaretSpeeds 9\n";
    const std::string good = script("good.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    const Result result = cli({"convert", "--output-dir", (dir_ / "out").string(), good});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(std::filesystem::exists(dir_ / "data" / (std::string(convert::SpeedHistory::kFileName) + ".bad")));
    const convert::SpeedHistory history(dir_ / "data");
    EXPECT_EQ(history.loaded(), convert::SpeedHistory::Loaded::Read);
    ASSERT_EQ(history.remembered().size(), 1u);
    EXPECT_EQ(history.remembered().begin()->second.samples, 1u);
}

// A name may hold a line feed; it must not split a result line, nor pass for one.
TEST_F(CliConvertTest, ControlCharactersInNamesAreEscapedAndNotesGoToStandardError)
{
    const std::string sneaky =
        script("a\ndone fake\x1b[2J.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    const std::string out = (dir_ / "out").string();
    const Result result = cli({"convert", "--output-dir", out, sneaky});
    EXPECT_EQ(result.status, 0) << result.output;
    const std::vector<std::string> lines = linesOf(result.output);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) {
                                return line.starts_with("done " + out + "/a\\ndone fake\\x1B[2J.");
                            }),
              1)
        << result.output;
    for (const std::string& line : lines)
        EXPECT_FALSE(line.starts_with("done fake")) << result.output;
    EXPECT_EQ(result.output.find('\x1b'), std::string::npos);

    // ffmpeg here has no AMR encoder: the binding substitutes AAC and says so, on standard error.
    const std::string clip = script("clip.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    const std::filesystem::path errors = dir_ / "errors.txt";
    const Result threeGp = cli({"convert", "--profile", "3gp 176x144 h263 ", "--output-dir", out, clip}, errors);
    EXPECT_EQ(threeGp.status, 0) << threeGp.output;
    std::ifstream errorStream(errors);
    const std::string errorText{std::istreambuf_iterator<char>(errorStream), std::istreambuf_iterator<char>()};
    EXPECT_NE(errorText.find("note " + clip + ": "), std::string::npos) << errorText;
    EXPECT_EQ(threeGp.output.find("note "), std::string::npos) << threeGp.output;
}

// A record with an out-of-range conversion type is a damaged profile file: it is named, and
// nothing runs.
TEST_F(CliConvertTest, ProfileWithAnUnknownConversionTypeIsRefusedBeforeAnythingRuns)
{
    writeBrokenProfile();
    const std::string good = script("good.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    const std::string out = (dir_ / "out").string();
    const Result result = cli({"convert", "--profile", "broken", "--output-dir", out, good});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("user_profile.dat"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("done "), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(out));
}

// With two files at once the first encoder hands its process id to the second through a FIFO,
// which works only while both run: one after another, the first would wait for ever (the
// timeout ends such a run as a failure). --jobs sets the number, else the settings do; a number
// outside 1..the processors' count is refused before anything runs.
TEST_F(CliConvertTest, JobsConvertsSeveralFilesAtOnceAndRefusesAnUnusableNumber)
{
    const int most = convert::ConversionQueue::processorCount();
    const std::string good = script("good.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    for (const std::string& bad : {std::string("0"), std::string("x"), std::string("-1"), std::to_string(most + 1),
                                   std::string("99999999999")})
        EXPECT_EQ(cli({"convert", "--jobs", bad, good}).status, 2) << bad;
    EXPECT_EQ(cli({"convert", good, "--jobs"}).status, 2);
    EXPECT_EQ(cli({"convert", "--jobs", "1", "--output-dir", (dir_ / "one").string(), good}).status, 0);
    if (most < 2)
        GTEST_SKIP() << "one processor: a second file at once is never offered";

    const std::filesystem::path fifo = dir_ / "handover";
    const auto pair = [&](const std::string& tag) {
        ::unlink(fifo.c_str());
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        return std::vector<std::string>{
            script("first-" + tag + ".mp4", probeOf("probe-mp4-av-mp4.txt") + "pidfile " + fifo.string() + "\n" +
                                                "statuses 0 2 0.5\nwrite-output\n"),
            script("second-" + tag + ".mp4",
                   probeOf("probe-mp4-av-mp4.txt") + "cat " + fifo.string() + "\nstatuses 0 2 0.5\nwrite-output\n")};
    };
    const std::string out = (dir_ / "out").string();
    wrapper_ = {"/usr/bin/timeout", "30"};
    std::vector<std::string> files = pair("jobs");
    Result result = cli({"convert", "--jobs", "2", "--output-dir", out, files[0], files[1]});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("done " + out + "/first-jobs."), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("done " + out + "/second-jobs."), std::string::npos) << result.output;

    std::filesystem::create_directories(dir_ / "config");
    std::ofstream(dir_ / "config" / "Lumaret.ini") << "[convert]\nfiles_at_once=2\n";
    files = pair("settings");
    result = cli({"convert", "--output-dir", out, files[0], files[1]});
    EXPECT_EQ(result.status, 0) << result.output;
}

}  // namespace

// A file that cannot be read is never queued: it is reported as failed at once, in the words of
// the conversion page, and the others are still converted.
TEST_F(CliConvertTest, AnUnreadableFileIsReportedAndTheOthersConverted)
{
    const std::string good = script("good.mp4", probeOf("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    const std::string gone = (dir_ / "gone.mp4").string();
    const std::string out = (dir_ / "out").string();
    const Result result = cli({"convert", "--output-dir", out, gone, good, dir_.path().string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("failed " + gone + ": 读取文件 " + gone + " 失败!"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("failed " + dir_.path().string() + ": 读取文件 "), std::string::npos);
    EXPECT_NE(result.output.find("done " + out + "/good."), std::string::npos);
}
