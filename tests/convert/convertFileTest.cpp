#include "convert/convertFile.h"

#include "convert/RunVerdict.h"
#include "platform/core/Paths.h"
#include "profile/EncodingTables.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <climits>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using convert::JobState;

using convert::convertFile;
using fakeencoder::Recorder;

namespace {

profile::ProfileRecord aviProfile()
{
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    record.conversionType = 8;  // AVI, the encoder's defaults for both codecs
    return record;
}

// A listener that also acts from inside the reports, as a queue driver or a page may.
class ActingRecorder : public Recorder {
public:
    std::function<void(convertFile*, JobState)> onState;
    std::function<void(convertFile*, int)> onPercent;

    void onStateChanged(convertFile* job, JobState state) override
    {
        if (onState)
            onState(job, state);
        Recorder::onStateChanged(job, state);
    }
    void onProgress(convertFile* job, int percent) override
    {
        if (onPercent)
            onPercent(job, percent);
    }
};

// The first type whose format token is `format`, and the index of `token` among its audio codecs.
std::pair<int, int> typeAndAudioCodec(std::string_view format, std::string_view token)
{
    for (int t = 0; t < profile::kConversionTypeCount; ++t) {
        if (profile::conversionTypeFormat(t) != format)
            continue;
        for (int i = 1; i <= profile::audioCodecCount(t); ++i) {
            if (profile::audioCodecToken(t, i) == token)
                return {t, i};
        }
    }
    return {-1, -1};
}

std::string firstLine(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

class ConvertFileTest : public ::testing::Test {
protected:
    // A job over a script for the fake encoder; probed as a 10-second file unless told otherwise.
    std::unique_ptr<convertFile> makeJob(const std::string& script, const std::string& name = "clip.mp4")
    {
        auto job = std::make_unique<convertFile>(binding_.get());
        job->setDisposed(true);
        job->setSource(fakeencoder::writeScript(dir_ / name, script), 100);
        job->setTargetFolder((dir_ / "out").string());
        job->setProfile(aviProfile());
        job->setListener(&recorder_);
        return job;
    }
    static void probeAsTenSeconds(convertFile& job) { job.setProbeResult("00:00:10", "Video: fake", true, 10000); }

    // Starts the job and waits for its final report.
    void runToEnd(convertFile& job)
    {
        ASSERT_TRUE(job.start());
        ASSERT_TRUE(recorder_.waitForReports(2));
    }
    std::string mediaInfo(const convertFile& job) const
    {
        std::string text;
        job.getMediaInfo(text);
        return text;
    }
    std::filesystem::path file(const std::string& name) const { return dir_ / name; }

    // Converts one script as a file of the given duration; returns the final state and the text.
    std::pair<JobState, std::string> convertOnce(const std::string& script, int64_t durationMillis,
                                            const std::string& name = "once.mp4")
    {
        Recorder own;
        auto job = makeJob(script, name);
        job->setListener(&own);
        job->setProbeResult("00:00:00", "Video: fake", true, durationMillis);
        EXPECT_TRUE(job->start());
        EXPECT_TRUE(own.waitForReports(2));
        return {job->getState(), mediaInfo(*job)};
    }

    testsupport::TempDir dir_;
    std::unique_ptr<convert::EncoderBinding> binding_ = fakeencoder::binding();
    Recorder recorder_;
};

TEST_F(ConvertFileTest, ConvertsWhenProgressCleanExitAndOutputComeTogether)
{
    auto job = makeJob("banner\nstatuses 0 10 1\nwrite-output\nexit 0\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Done}));
    EXPECT_EQ(job->getState(), convert::JobState::Done);
    EXPECT_EQ(job->getPercent(), 100);
    EXPECT_EQ(job->getOutputPath(), file("out/clip.avi").string());
    EXPECT_TRUE(std::filesystem::file_size(job->getOutputPath()) > 0);
    EXPECT_EQ(mediaInfo(*job), "Video: fake");
}

TEST_F(ConvertFileTest, BannerAndErrorOnlyFailsWithTheEncodersWords)
{
    auto job = makeJob("banner\nsay Input #0, avi, from 'clip.mp4':\nsay Unknown encoder 'libfaac'\nexit 1\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Failed}));
    // The encoder's own lines stay as they are; what Lumaret concludes is in the interface's language.
    EXPECT_EQ(mediaInfo(*job), "Input #0, avi, from 'clip.mp4':\nUnknown encoder 'libfaac'\n"
                               "ffmpeg 异常结束,退出状态 1");
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));
}

TEST_F(ConvertFileTest, EncoderThatDiesAfterProgressFails)
{
    // It reached 37 % and crashed: not a conversion, whatever progress came before.
    auto job = makeJob("banner\npidfile " + file("encoder.pid").string() +
                       "\nstatuses 0 3.7 0.1\nwrite-output\ncrash\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Failed}));
    EXPECT_EQ(job->getPercent(), 37);
    const std::string text = mediaInfo(*job);
    EXPECT_NE(text.find("time=00:00:03.70"), std::string::npos) << text;
    EXPECT_NE(text.find("ffmpeg 被信号 11(SIGSEGV)终止"), std::string::npos) << text;
    EXPECT_FALSE(fakeencoder::isRunning(fakeencoder::waitForPidFile(file("encoder.pid"))));
    // The half-written output goes, so that nothing in the folder looks like a result.
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));
}

TEST_F(ConvertFileTest, SilentEncoderAndMissingOutputFail)
{
    auto silent = makeJob("", "silent.mp4");
    probeAsTenSeconds(*silent);
    runToEnd(*silent);
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Failed}));
    EXPECT_EQ(mediaInfo(*silent), "ffmpeg 没有转换任何内容就结束了");

    Recorder second;
    auto noOutput = makeJob("statuses 0 10 5\nexit 0\n", "nooutput.mp4");
    noOutput->setListener(&second);
    probeAsTenSeconds(*noOutput);
    ASSERT_TRUE(noOutput->start());
    ASSERT_TRUE(second.waitForReports(2));
    EXPECT_EQ(second.states().back(), convert::JobState::Failed);
    EXPECT_TRUE(mediaInfo(*noOutput).ends_with("\nffmpeg 没有写出输出文件(" + file("out/nooutput.avi").string() + ")"));
    EXPECT_FALSE(std::filesystem::exists(file("out/nooutput.avi")));  // the empty claimed file goes too
}

TEST_F(ConvertFileTest, MissingEncoderFailsAtOnceNamingIt)
{
    binding_ = fakeencoder::binding("/nonexistent/lumaret-missing-ffmpeg");
    auto job = makeJob("write-output\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Failed}));
    EXPECT_EQ(mediaInfo(*job), "找不到编码器 ffmpeg(/nonexistent/lumaret-missing-ffmpeg)");
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));
}

TEST_F(ConvertFileTest, StopEndsTheEncoderAndItsChildrenWithoutReport)
{
    auto job = makeJob("statuses 0 2 1\nwrite-output\nspawn-child " + file("child.pid").string() + "\npidfile " +
                       file("encoder.pid").string() + "\nhang\n");
    probeAsTenSeconds(*job);
    ASSERT_TRUE(job->start());
    const pid_t encoder = fakeencoder::waitForPidFile(file("encoder.pid"));
    const pid_t child = fakeencoder::waitForPidFile(file("child.pid"));
    ASSERT_TRUE(encoder > 0 && child > 0);
    ASSERT_TRUE(fakeencoder::isRunning(encoder) && fakeencoder::isRunning(child));

    job->stop();
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::Converting}));
    EXPECT_FALSE(fakeencoder::isRunning(encoder));  // reaped before stop() returned
    EXPECT_TRUE(fakeencoder::becomesGone(child));
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));  // the partial output is gone

    // A stopped job may run again and names its output afresh: the name it had is someone else's
    // now, and that file is left alone.
    std::ofstream(file("out/clip.avi")) << "another program's file";
    fakeencoder::writeScript(file("clip.mp4"), "statuses 0 10 5\nwrite-output\n");
    runToEnd(*job);
    ASSERT_TRUE(recorder_.waitForReports(3));
    EXPECT_EQ(recorder_.states().back(), convert::JobState::Done);
    EXPECT_EQ(job->getOutputPath(), file("out/clip_1.avi").string());
    std::ifstream other(file("out/clip.avi"));
    std::string content;
    std::getline(other, content);
    EXPECT_EQ(content, "another program's file");
}

TEST_F(ConvertFileTest, AProbeFailureEndsTheRunWhereverItHasGot)
{
    // The probe has not answered when the job starts; its failure may come before the encoder
    // starts, while it runs, or after it ended (with no duration of its own, the verdict waits for
    // the probe). The end is the same every time.
    auto job = makeJob("pidfile " + file("encoder.pid").string() + "\nstatuses 0 10 5\nwrite-output\n");
    ASSERT_TRUE(job->start());
    EXPECT_EQ(job->getState(), convert::JobState::Converting);
    job->setProbeResult("", "", false);
    ASSERT_TRUE(recorder_.waitForReports(2));
    job.reset();  // joins the job thread
    EXPECT_EQ(recorder_.states(),
              (std::vector<JobState>{convert::JobState::Converting, convert::JobState::ProbeFailed}));
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));  // whatever the encoder wrote is gone

    auto waiting = makeJob("write-output\n", "other.mp4");
    ASSERT_TRUE(waiting->start());
    waiting->stop();  // stopping a job that waits for its probe
    EXPECT_EQ(waiting->getState(), convert::JobState::Waiting);
    waiting->setProbeResult("00:00:10", "Video: fake", true);
    std::string duration;
    waiting->getDurationText(duration);
    EXPECT_EQ(duration, "00:00:10");
    EXPECT_EQ(waiting->getDurationSeconds(), 10u);
}

// A header as ffmpeg prints it before converting: a tag that looks like a duration, the real one, the
// streams, and the output section.
std::string ffmpegHeader(const std::string& duration)
{
    return "banner\nsay Input #0, mov,mp4,m4a, from 'clip.mp4':\nsay   Metadata:\n"
           "say     comment         : Duration: 00:00:02.00\nsay   Duration: " + duration +
           ", start: 0.000000, bitrate: 900 kb/s\nsay   Stream #0:0(und): Video: h264 (High), yuv420p, 640x480\n"
           "say   Stream #0:1(und): Audio: aac (LC), 44100 Hz, stereo\nsay Stream mapping:\n"
           "say   Stream #0:0 -> #0:0 (h264 (native) -> mpeg4 (native))\nsay Output #0, avi, to 'clip.avi':\n";
}

// Whether `seen` is `steps` with some left out, the last one kept.
bool isStepsOf(const std::vector<int>& seen, const std::vector<int>& steps)
{
    auto next = steps.begin();
    for (const int percent : seen) {
        next = std::find(next, steps.end(), percent);
        if (next == steps.end())
            return false;
        ++next;
    }
    return !seen.empty() && seen.back() == steps.back();
}

// Records the percentages a job reports and lets a test wait for one.
class PercentLog : public Recorder {
public:
    void onProgress(convertFile*, int percent) override
    {
        std::lock_guard lock(mutex_);
        percents_.push_back(percent);
        changed_.notify_all();
    }
    // Waits for a report of `percent` (the limit keeps a broken run from hanging the suite).
    bool waitFor(int percent)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [&] {
            return std::find(percents_.begin(), percents_.end(), percent) != percents_.end();
        });
    }
    std::vector<int> percents() const
    {
        std::lock_guard lock(mutex_);
        return percents_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> percents_;
};

// A FIFO the fake encoder's "gate" waits on; open() lets it go on.
class Gate {
public:
    explicit Gate(std::filesystem::path path) : path_(std::move(path)) { ::mkfifo(path_.c_str(), 0600); }
    std::string path() const { return path_.string(); }
    void open() const { std::ofstream(path_) << "go\n"; }

private:
    std::filesystem::path path_;
};

TEST_F(ConvertFileTest, WithoutTheProbesAnswerTheEncodersOwnHeaderGivesTheDuration)
{
    // The probe never answers here: the encoder starts anyway, and its header's duration (20 s,
    // not the tag's 2 s) gives the percentages and the coverage.
    PercentLog log;
    auto job = makeJob(ffmpegHeader("00:00:20.00") + "statuses 0 20 5\nwrite-output\n");
    job->setListener(&log);
    ASSERT_TRUE(job->start());
    ASSERT_TRUE(log.waitForReports(2));
    EXPECT_EQ(log.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Done}));
    // Status lines that arrive together count as their last one, so some steps may be missing.
    EXPECT_TRUE(isStepsOf(log.percents(), {0, 25, 50, 75, 100})) << testing::PrintToString(log.percents());

    // A run that stops short of the header's duration is not a conversion.
    PercentLog cut;
    auto shortRun = makeJob(ffmpegHeader("00:00:20.00") + "statuses 0 10 5\nwrite-output\n", "cut.mp4");
    shortRun->setListener(&cut);
    ASSERT_TRUE(shortRun->start());
    ASSERT_TRUE(cut.waitForReports(2));
    EXPECT_EQ(cut.states().back(), convert::JobState::Failed);
    EXPECT_NE(mediaInfo(*shortRun).find("只转换到 00:00:10.00,源文件时长为 00:00:20.00"), std::string::npos)
        << mediaInfo(*shortRun);
}

TEST_F(ConvertFileTest, TheProbesAnswerDuringTheRunTakesOverTheDuration)
{
    Gate gate(file("gate"));
    PercentLog log;
    auto job = makeJob(ffmpegHeader("00:00:20.00") + "status 5\ngate " + gate.path() +
                       "\nstatuses 6 10 2\nwrite-output\n");
    job->setListener(&log);
    ASSERT_TRUE(job->start());
    ASSERT_TRUE(log.waitFor(25));  // 5 s of the header's 20
    job->setProbeResult("00:00:10", "Video: probed", true, 10000);
    gate.open();
    ASSERT_TRUE(log.waitForReports(2));
    EXPECT_EQ(log.states().back(), convert::JobState::Done);
    // From the next status line on the probe's 10 s count (6 s is 60 %, not 30 %), and so they do
    // for the coverage: 10 s of the header's 20 would not be a conversion.
    EXPECT_TRUE(isStepsOf(log.percents(), {25, 60, 80, 100})) << testing::PrintToString(log.percents());
    EXPECT_EQ(mediaInfo(*job), "Video: probed");
}

TEST_F(ConvertFileTest, AProbeFailureWhileTheEncoderRunsEndsItAndItsOutput)
{
    PercentLog log;
    auto job = makeJob(ffmpegHeader("00:00:20.00") + "pidfile " + file("encoder.pid").string() +
                       "\nstatus 4\nwrite-output\nhang\n");
    job->setListener(&log);
    ASSERT_TRUE(job->start());
    ASSERT_TRUE(log.waitFor(20));
    const pid_t encoder = fakeencoder::waitForPidFile(file("encoder.pid"));
    job->setProbeResult("", "", false);
    ASSERT_TRUE(log.waitForReports(2));
    job->stop();  // nothing runs any more: does nothing
    job.reset();  // joins the job thread
    EXPECT_EQ(log.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::ProbeFailed}));
    EXPECT_FALSE(fakeencoder::isRunning(encoder));
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));
}

TEST_F(ConvertFileTest, AnEncoderWithoutADurationOfItsOwnWaitsForTheProbesVerdict)
{
    // No header: the run cannot tell a cut conversion from a whole one until the probe answers,
    // whenever that is; 5 s of 10 is not a conversion.
    auto job = makeJob("statuses 0 5 1\nwrite-output\n");
    ASSERT_TRUE(job->start());
    probeAsTenSeconds(*job);
    ASSERT_TRUE(recorder_.waitForReports(2));
    EXPECT_EQ(recorder_.states().back(), convert::JobState::Failed);
    EXPECT_NE(mediaInfo(*job).find("源文件时长为 00:00:10.00"), std::string::npos) << mediaInfo(*job);

    // A stop while it waits for the probe returns the job to Waiting.
    Recorder other;
    auto waiting = makeJob("statuses 0 5 1\nwrite-output\n", "waits.mp4");
    waiting->setListener(&other);
    ASSERT_TRUE(waiting->start());
    waiting->stop();
    EXPECT_EQ(waiting->getState(), convert::JobState::Waiting);
    EXPECT_EQ(other.states(), (std::vector<JobState>{convert::JobState::Converting}));
    EXPECT_FALSE(std::filesystem::exists(file("out/waits.avi")));
}

TEST_F(ConvertFileTest, ProbeFailureSetsTheFixedTexts)
{
    auto job = makeJob("");
    job->setProbeResult("00:01:23", "Video: x", false);
    EXPECT_EQ(job->getState(), convert::JobState::ProbeFailed);
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::ProbeFailed}));
    std::string text;
    job->getMediaInfo(text);
    EXPECT_EQ(text, "错误的文件,无法获取文件的媒体信息");
    job->getDurationText(text);
    EXPECT_EQ(text, "00:00:00");
    EXPECT_FALSE(job->start());
    EXPECT_EQ(recorder_.states().back(), convert::JobState::ProbeFailed);
}

TEST_F(ConvertFileTest, StartAndStopOnlyActWhereTheyShould)
{
    auto done = makeJob("statuses 0 10 5\nwrite-output\n");
    probeAsTenSeconds(*done);
    runToEnd(*done);
    done->stop();  // nothing to stop
    EXPECT_EQ(done->getState(), convert::JobState::Done);
    EXPECT_FALSE(done->start());  // reports Done again
    EXPECT_EQ(recorder_.states(),
              (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Done, convert::JobState::Done}));

    Recorder other;
    convertFile noSource(binding_.get());
    noSource.setDisposed(true);
    noSource.setListener(&other);
    noSource.stop();
    EXPECT_EQ(noSource.getState(), convert::JobState::Waiting);
    EXPECT_FALSE(noSource.start());
    EXPECT_EQ(noSource.getState(), convert::JobState::Failed);
    EXPECT_EQ(other.states(), (std::vector<JobState>{convert::JobState::Failed}));

    auto badType = makeJob("");
    profile::ProfileRecord record = aviProfile();
    record.conversionType = 52;
    badType->setProfile(record);
    badType->setListener(&other);
    EXPECT_FALSE(badType->start());
    EXPECT_EQ(badType->getState(), convert::JobState::Failed);
    EXPECT_EQ(mediaInfo(*badType), "转换类型 52 超出范围(0 到 51),无法转换");
    EXPECT_EQ(mediaInfo(noSource), "没有源文件");
    // A late probe answer neither reports a second end nor hides the reason.
    badType->setProbeResult("", "", false);
    badType->setProbeResult("00:00:10", "Video: fake", true);
    EXPECT_EQ(other.states(), (std::vector<JobState>{convert::JobState::Failed, convert::JobState::Failed}));
    EXPECT_EQ(mediaInfo(*badType), "转换类型 52 超出范围(0 到 51),无法转换");
}

TEST_F(ConvertFileTest, UnknownDurationShowsNoPercentUntilDone)
{
    auto job = makeJob("statuses 0 4 1\nwrite-output\n");
    job->setProbeResult("00:00:00", "Video: fake", true);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states().back(), convert::JobState::Done);
    EXPECT_EQ(job->getPercent(), 100);
}

TEST_F(ConvertFileTest, OutputPastEveryBufferIsDrained)
{
    auto job = makeJob("banner\nflood 8000000\nstatuses 0 10 2\nwrite-output\nexit 0\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states().back(), convert::JobState::Done);
}

TEST_F(ConvertFileTest, EncoderRunsWithThePriorityClassNiceValue)
{
    convertFile::setEncoderPriorityClass(convert::PriorityIdle);
    auto job = makeJob("nicefile " + file("nice.txt").string() + "\nstatuses 0 10 5\nwrite-output\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    convertFile::setEncoderPriorityClass(convert::PriorityNormal);
    std::ifstream in(file("nice.txt"));
    int nice = -100;
    in >> nice;
    EXPECT_EQ(nice, 19);
    EXPECT_EQ(convertFile::niceValueOf(convert::PriorityRealtime), -15);
    EXPECT_EQ(convertFile::niceValueOf(convert::PriorityHigh), -5);
    EXPECT_EQ(convertFile::niceValueOf(convert::PriorityNormal), 0);
    EXPECT_EQ(convertFile::niceValueOf(0x1234), 0);
}

TEST_F(ConvertFileTest, OutputFolderFallsBackToTheSourceFolder)
{
    convertFile job(binding_.get());
    job.setDisposed(true);
    job.setSource("/videos/holiday/clip.mp4", 1);
    EXPECT_EQ(job.getOutputFolder(), "/videos/holiday");
    EXPECT_EQ(job.getTargetFolder(), "/videos/holiday");

    convertFile noExtension(binding_.get());
    noExtension.setDisposed(true);
    noExtension.setSource("/videos/a.b/movie", 1);
    EXPECT_EQ(noExtension.getOutputFolder(), "/videos/a.b");

    convertFile uncut(binding_.get());
    uncut.setDisposed(true);
    uncut.setSource("movie.mp4", 1);
    EXPECT_EQ(uncut.getOutputFolder(), platform::Paths::expandHome("~/Lumaret_output").string());
    EXPECT_EQ(uncut.getTargetFolder(), "");
}

TEST_F(ConvertFileTest, TwoConversionsOfOneNameIntoOneFolderWriteTwoFiles)
{
    // The first encoder runs but has not written anything yet when the second conversion names
    // its output: the first name must already be taken on disk.
    std::filesystem::create_directories(file("a"));
    std::filesystem::create_directories(file("b"));
    ASSERT_EQ(::mkfifo(file("gate").c_str(), 0600), 0);
    auto first = makeJob("pidfile " + file("first.pid").string() + "\ncat " + file("gate").string() +
                             "\nstatuses 0 10 5\nwrite-output\n",
                         "a/a.mp4");
    auto second = makeJob("statuses 0 10 5\nwrite-output\n", "b/a.mp4");
    Recorder secondReports;
    second->setListener(&secondReports);
    probeAsTenSeconds(*first);
    probeAsTenSeconds(*second);

    ASSERT_TRUE(first->start());
    ASSERT_GT(fakeencoder::waitForPidFile(file("first.pid")), 0);
    ASSERT_TRUE(second->start());
    ASSERT_TRUE(secondReports.waitForReports(2));
    std::ofstream(file("gate")).close();  // lets the first encoder go on
    ASSERT_TRUE(recorder_.waitForReports(2));

    EXPECT_EQ(first->getState(), convert::JobState::Done);
    EXPECT_EQ(second->getState(), convert::JobState::Done);
    EXPECT_EQ(first->getOutputPath(), file("out/a.avi").string());
    EXPECT_EQ(second->getOutputPath(), file("out/a_1.avi").string());
    EXPECT_EQ(firstLine(file("out/a.avi")), "fake encoder output");
    EXPECT_EQ(firstLine(file("out/a_1.avi")), "fake encoder output");
}

TEST_F(ConvertFileTest, AFailedRunRemovesOnlyTheFileItClaimed)
{
    std::filesystem::create_directories(file("out"));
    std::ofstream(file("out/clip.avi")) << "the user's own file";
    auto job = makeJob("statuses 0 3 1\nwrite-output\nexit 1\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(job->getState(), convert::JobState::Failed);
    EXPECT_EQ(job->getOutputPath(), file("out/clip_1.avi").string());
    EXPECT_FALSE(std::filesystem::exists(file("out/clip_1.avi")));
    EXPECT_EQ(firstLine(file("out/clip.avi")), "the user's own file");
}

TEST_F(ConvertFileTest, DoneNeedsTheLastReportedTimeToReachTheDuration)
{
    // A cut source: the status jumps from 38 % to the end and the encoder exits 0.
    auto [state, text] = convertOnce("statuses 0 3.8 0.2\nwrite-output\nexit 0\n", 10000, "cut.mp4");
    EXPECT_EQ(state, convert::JobState::Failed);
    EXPECT_TRUE(text.ends_with("\n转换不完整: ffmpeg 只转换到 00:00:03.80,源文件时长为 00:00:10.00")) << text;
    EXPECT_FALSE(std::filesystem::exists(file("out/cut.avi")));

    // Within the slack of max(2 s, 3 %), and just outside it.
    EXPECT_EQ(convertOnce("statuses 0 8 1\nwrite-output\n", 10000, "short8.mp4").first, convert::JobState::Done);
    EXPECT_EQ(convertOnce("statuses 0 7.9 7.9\nwrite-output\n", 10000, "short79.mp4").first, convert::JobState::Failed);
    EXPECT_EQ(convertOnce("status 97\nwrite-output\n", 100000, "long97.mp4").first, convert::JobState::Done);
    EXPECT_EQ(convertOnce("status 96.9\nwrite-output\n", 100000, "long969.mp4").first, convert::JobState::Failed);
    EXPECT_EQ(convert::RunVerdict::coverageSlackMillis(10000), 2000);
    EXPECT_EQ(convert::RunVerdict::coverageSlackMillis(3600000), 108000);
}

TEST_F(ConvertFileTest, MencoderThatStopsShortOnAFullDiskFails)
{
    // With ffmpeg unable to write WMV, the WMV type goes to mencoder, which on a full disk stops
    // early and still exits 0.
    convert::EncoderBinding::Locations where{LUMARET_FAKE_ENCODER, LUMARET_FAKE_ENCODER, true, true};
    binding_ = std::make_unique<convert::EncoderBinding>(where, convert::EncoderCapabilities::of({}, {}));
    auto job = makeJob("mstatus 19 38\nwrite-output\nexit 0\n", "clip.avi");
    profile::ProfileRecord wmv = profile::makeEmptyProfileRecord();
    wmv.conversionType = profile::kWmvConversionType;
    job->setProfile(wmv);
    job->setProbeResult("00:00:50", "Video: fake", true, 50000);
    runToEnd(*job);
    EXPECT_EQ(job->getState(), convert::JobState::Failed);
    EXPECT_TRUE(mediaInfo(*job).ends_with("转换不完整: mencoder 只转换到 00:00:19.00,源文件时长为 00:00:50.00"))
        << mediaInfo(*job);
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.wmv")));
}

TEST_F(ConvertFileTest, SourcesThatAreNotRegularFilesAreRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(file("pipe.mp4").c_str(), 0600), 0);
    std::filesystem::create_directory(file("folder.mp4"));
    for (const std::string& source :
         {file("pipe.mp4").string(), file("folder.mp4").string(), std::string("/dev/zero")}) {
        Recorder reports;
        auto job = makeJob("");
        job->setSource(source, 0);
        job->setListener(&reports);
        EXPECT_FALSE(job->start()) << source;
        EXPECT_EQ(job->getState(), convert::JobState::Failed);
        EXPECT_EQ(reports.states(), (std::vector<JobState>{convert::JobState::Failed}));
        EXPECT_EQ(mediaInfo(*job), "不是普通文件(文件夹、管道或设备): " + source);
    }
}

TEST_F(ConvertFileTest, ASourceWithoutExtensionConverts)
{
    auto job = makeJob("statuses 0 10 5\nwrite-output\n", "recording");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(job->getState(), convert::JobState::Done);
    EXPECT_EQ(job->getOutputPath(), file("out/recording.avi").string());
}

TEST_F(ConvertFileTest, AnOutputNameTooLongForTheFileSystemIsAReason)
{
    const std::string base(NAME_MAX - 4, 'n');
    auto job = makeJob("statuses 0 10 5\nwrite-output\n", base + ".mp4");
    job->setAppendProfileName(true);  // " [...]" pushes the name past the limit
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(job->getState(), convert::JobState::Failed);
    EXPECT_TRUE(mediaInfo(*job).starts_with("输出文件名太长: ")) << mediaInfo(*job);
}

TEST_F(ConvertFileTest, StartFromInsideItsOwnReportsIsRefusedWithoutDeadlock)
{
    ActingRecorder acting;
    auto job = makeJob("statuses 0 10 5\nwrite-output\n");
    job->setListener(&acting);
    probeAsTenSeconds(*job);
    std::vector<bool> nestedStarts;
    int tries = 0;
    auto startAgainOnce = [&](convertFile* self, auto) {
        if (tries++ < 2)
            nestedStarts.push_back(self->start());  // already converting: told Converting again
    };
    acting.onState = [&](convertFile* self, JobState state) {
        if (state == convert::JobState::Converting && tries == 0)
            startAgainOnce(self, state);
    };
    acting.onPercent = startAgainOnce;
    ASSERT_TRUE(job->start());
    ASSERT_TRUE(acting.waitForReports(4));
    EXPECT_EQ(nestedStarts, (std::vector<bool>{false, false}));
    EXPECT_EQ(acting.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Converting,
                                                      convert::JobState::Converting, convert::JobState::Done}));
    EXPECT_EQ(job->getState(), convert::JobState::Done);
}

TEST_F(ConvertFileTest, StopFromInsideTheConvertingReportEndsTheRunBeforeItStarts)
{
    ActingRecorder acting;
    auto job = makeJob("pidfile " + file("encoder.pid").string() + "\nstatuses 0 10 5\nwrite-output\n");
    job->setListener(&acting);
    probeAsTenSeconds(*job);
    acting.onState = [](convertFile* self, JobState state) {
        if (state == convert::JobState::Converting)
            self->stop();
    };
    EXPECT_TRUE(job->start());
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_EQ(acting.states(), (std::vector<JobState>{convert::JobState::Converting}));
    EXPECT_FALSE(std::filesystem::exists(file("encoder.pid")));
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));

    // Stopped, not spoilt: it converts when started again.
    acting.onState = nullptr;
    ASSERT_TRUE(job->start());
    ASSERT_TRUE(acting.waitForReports(3));
    EXPECT_EQ(job->getState(), convert::JobState::Done);
}

TEST_F(ConvertFileTest, StopFromInsideAProgressReportReturnsTheJobToWaiting)
{
    ActingRecorder acting;
    auto job = makeJob("statuses 0 2 1\nwrite-output\npidfile " + file("encoder.pid").string() + "\nhang\n");
    job->setListener(&acting);
    probeAsTenSeconds(*job);
    std::promise<void> stopped;
    acting.onPercent = [&](convertFile* self, int percent) {
        if (percent >= 20 && self->getState() == convert::JobState::Converting) {
            self->stop();  // on the job's own thread: returns at once
            stopped.set_value();
        }
    };
    ASSERT_TRUE(job->start());
    stopped.get_future().wait();
    job->stop();  // from this thread: waits for the run's end
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_EQ(acting.states(), (std::vector<JobState>{convert::JobState::Converting}));
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));
}

TEST_F(ConvertFileTest, TheShownPercentStartsAgainFromZeroWhenAStoppedJobWaits)
{
    auto job = makeJob("statuses 0 2 1\nwrite-output\npidfile " + file("encoder.pid").string() + "\nhang\n");
    EXPECT_EQ(job->shownPercent(), 0);  // never ran
    probeAsTenSeconds(*job);
    ASSERT_TRUE(job->start());
    ASSERT_GT(fakeencoder::waitForPidFile(file("encoder.pid")), 0);
    for (int i = 0; i < 500 && job->getPercent() < 20; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(job->getPercent(), 20);
    EXPECT_EQ(job->shownPercent(), job->getPercent());  // a converting row shows its progress

    job->stop();
    ASSERT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_EQ(job->shownPercent(), 0);  // not the old 20 %, which would look like a resume point

    // A finished run keeps what it reached.
    fakeencoder::writeScript(file("clip.mp4"), "statuses 0 10 5\nwrite-output\n");
    ASSERT_TRUE(job->start());
    ASSERT_TRUE(recorder_.waitForReports(3));
    EXPECT_EQ(recorder_.states().back(), convert::JobState::Done);
    EXPECT_EQ(job->shownPercent(), 100);
}

TEST_F(ConvertFileTest, DeletingAJobThatRanWithoutBeingDisposedReturns)
{
    auto* job = new convertFile(binding_.get());  // deliberately not disposed
    job->setSource(fakeencoder::writeScript(file("clip.mp4"), "statuses 0 10 5\nwrite-output\n"), 100);
    job->setTargetFolder(file("out").string());
    job->setProfile(aviProfile());
    job->setListener(&recorder_);
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(job->getState(), convert::JobState::Done);
    delete job;
}

TEST_F(ConvertFileTest, WhatThePagesRead)
{
    auto job = makeJob("statuses 0 10 5\nwrite-output\n");
    EXPECT_EQ(job->getSourcePath(), file("clip.mp4").string());
    EXPECT_EQ(job->getSourceSize(), 100u);

    // The profile-name choice belongs to each job: two jobs side by side, one of each.
    profile::ProfileRecord named = aviProfile();
    profile::setFieldText(named.profileName, profile::kProfileTextChars, u"AVI x");
    job->setProfile(named);
    job->setAppendProfileName(true);
    auto plain = makeJob("statuses 0 10 5\nwrite-output\n", "plain.mp4");
    Recorder plainReports;
    plain->setListener(&plainReports);
    plain->setProfile(named);
    probeAsTenSeconds(*job);
    probeAsTenSeconds(*plain);
    runToEnd(*job);
    ASSERT_TRUE(plain->start());
    ASSERT_TRUE(plainReports.waitForReports(2));
    EXPECT_EQ(job->getOutputPath(), file("out/clip [AVI x].avi").string());
    EXPECT_EQ(plain->getOutputPath(), file("out/plain.avi").string());
}

TEST_F(ConvertFileTest, SubstitutionNotesAreKnownBeforeAndAfterTheRun)
{
    const auto [type, amr] = typeAndAudioCodec("3gp", "libamr_nb");
    ASSERT_GE(type, 0);
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    record.conversionType = type;
    record.audioCodec = amr;
    const std::string aacNote = "AMR NB is not available in this ffmpeg; writing AAC with the same sample rate and "
                                "channels instead";

    auto job = makeJob("statuses 0 10 5\nwrite-output\n");
    job->setProfile(record);
    EXPECT_EQ(job->getNotes(), (std::vector<std::string>{aacNote}));
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(job->getNotes(), (std::vector<std::string>{aacNote}));

    // When the notes depend on lists not read yet, setProfile() does not wait for ffmpeg; prepare()
    // (on a worker thread) does.
    int asked = 0;
    convert::EncoderBinding::Locations where{LUMARET_FAKE_ENCODER, LUMARET_FAKE_ENCODER, true, true};
    const convert::EncoderBinding asking(where, [&asked](const std::string&) {
        ++asked;
        return convert::EncoderCapabilities::of({"aac"}, {"3gp"});
    });
    convertFile later(&asking);
    later.setDisposed(true);
    later.setProfile(record);
    EXPECT_TRUE(later.getNotes().empty());
    EXPECT_EQ(asked, 0);
    later.prepare();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(later.getNotes(), (std::vector<std::string>{aacNote}));
}

}  // namespace
