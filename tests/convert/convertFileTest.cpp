#include "convert/convertFile.h"

#include "platform/Paths.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using convert::convertFile;
using fakeencoder::Recorder;

namespace {

profile::ProfileRecord aviProfile()
{
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    record.conversionType = 8;  // AVI, the encoder's defaults for both codecs
    return record;
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

    testsupport::TempDir dir_;
    std::unique_ptr<convert::EncoderBinding> binding_ = fakeencoder::binding();
    Recorder recorder_;
};

TEST_F(ConvertFileTest, ConvertsWhenProgressCleanExitAndOutputComeTogether)
{
    auto job = makeJob("banner\nstatuses 0 10 1\nwrite-output\nexit 0\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting, convert::Done}));
    EXPECT_EQ(job->getState(), convert::Done);
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
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting, convert::Failed}));
    EXPECT_EQ(mediaInfo(*job), "Input #0, avi, from 'clip.mp4':\nUnknown encoder 'libfaac'\n"
                               "ffmpeg ended with exit status 1");
    EXPECT_FALSE(std::filesystem::exists(file("out/clip.avi")));
}

TEST_F(ConvertFileTest, EncoderThatDiesAfterProgressFails)
{
    // It reached 37 % and crashed: not a conversion, whatever progress came before.
    auto job = makeJob("banner\npidfile " + file("encoder.pid").string() +
                       "\nstatuses 0 3.7 0.1\nwrite-output\ncrash\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting, convert::Failed}));
    EXPECT_EQ(job->getPercent(), 37);
    const std::string text = mediaInfo(*job);
    EXPECT_NE(text.find("time=00:00:03.70"), std::string::npos) << text;
    EXPECT_NE(text.find("ffmpeg was ended by signal 11"), std::string::npos) << text;
    EXPECT_FALSE(fakeencoder::isRunning(fakeencoder::waitForPidFile(file("encoder.pid"))));
}

TEST_F(ConvertFileTest, SilentEncoderAndMissingOutputFail)
{
    auto silent = makeJob("", "silent.mp4");
    probeAsTenSeconds(*silent);
    runToEnd(*silent);
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting, convert::Failed}));
    EXPECT_EQ(mediaInfo(*silent), "ffmpeg ended without converting anything");

    Recorder second;
    auto noOutput = makeJob("statuses 0 10 5\nexit 0\n", "nooutput.mp4");
    noOutput->setListener(&second);
    probeAsTenSeconds(*noOutput);
    ASSERT_TRUE(noOutput->start());
    ASSERT_TRUE(second.waitForReports(2));
    EXPECT_EQ(second.states().back(), convert::Failed);
    EXPECT_NE(mediaInfo(*noOutput).find("ffmpeg wrote no output file"), std::string::npos);
}

TEST_F(ConvertFileTest, MissingEncoderFailsAtOnceNamingIt)
{
    binding_ = fakeencoder::binding("/nonexistent/lumaret-missing-ffmpeg");
    auto job = makeJob("write-output\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting, convert::Failed}));
    EXPECT_NE(mediaInfo(*job).find("lumaret-missing-ffmpeg"), std::string::npos) << mediaInfo(*job);
    EXPECT_NE(mediaInfo(*job).find("not found"), std::string::npos);
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
    EXPECT_EQ(job->getState(), convert::Waiting);
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting}));
    EXPECT_FALSE(fakeencoder::isRunning(encoder));  // reaped before stop() returned
    EXPECT_TRUE(fakeencoder::becomesGone(child));
    EXPECT_TRUE(std::filesystem::exists(file("out/clip.avi")));  // the partial output stays

    // A stopped job may run again; this time the script is a complete conversion.
    fakeencoder::writeScript(file("clip.mp4"), "statuses 0 10 5\nwrite-output\n");
    runToEnd(*job);
    ASSERT_TRUE(recorder_.waitForReports(3));
    EXPECT_EQ(recorder_.states().back(), convert::Done);
    EXPECT_EQ(job->getOutputPath(), file("out/clip_1.avi").string());
}

TEST_F(ConvertFileTest, WaitsForTheProbeAndEndsWithItsFailure)
{
    auto job = makeJob("pidfile " + file("encoder.pid").string() + "\nstatuses 0 10 5\nwrite-output\n");
    ASSERT_TRUE(job->start());  // the probe has not answered yet: the job thread waits
    EXPECT_EQ(job->getState(), convert::Converting);
    job->setProbeResult("", "", false);
    ASSERT_TRUE(recorder_.waitForReports(2));
    job.reset();  // joins the job thread
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting, convert::ProbeFailed}));
    EXPECT_FALSE(std::filesystem::exists(file("encoder.pid")));  // no encoder ever started

    auto waiting = makeJob("write-output\n", "other.mp4");
    ASSERT_TRUE(waiting->start());
    waiting->stop();  // stopping a job that waits for its probe
    EXPECT_EQ(waiting->getState(), convert::Waiting);
    waiting->setProbeResult("00:00:10", "Video: fake", true);
    std::string duration;
    waiting->getDurationText(duration);
    EXPECT_EQ(duration, "00:00:10");
    EXPECT_EQ(waiting->getDurationSeconds(), 10u);
}

TEST_F(ConvertFileTest, ProbeFailureSetsTheFixedTexts)
{
    auto job = makeJob("");
    job->setProbeResult("00:01:23", "Video: x", false);
    EXPECT_EQ(job->getState(), convert::ProbeFailed);
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::ProbeFailed}));
    std::string text;
    job->getMediaInfo(text);
    EXPECT_EQ(text, "错误的文件,无法获取文件的媒体信息");
    job->getDurationText(text);
    EXPECT_EQ(text, "00:00:00");
    EXPECT_FALSE(job->start());
    EXPECT_EQ(recorder_.states().back(), convert::ProbeFailed);
}

TEST_F(ConvertFileTest, StartAndStopOnlyActWhereTheyShould)
{
    auto done = makeJob("statuses 0 10 5\nwrite-output\n");
    probeAsTenSeconds(*done);
    runToEnd(*done);
    done->stop();  // nothing to stop
    EXPECT_EQ(done->getState(), convert::Done);
    EXPECT_FALSE(done->start());  // reports Done again
    EXPECT_EQ(recorder_.states(), (std::vector<int>{convert::Converting, convert::Done, convert::Done}));

    Recorder other;
    convertFile noSource(binding_.get());
    noSource.setDisposed(true);
    noSource.setListener(&other);
    noSource.stop();
    EXPECT_EQ(noSource.getState(), convert::Waiting);
    EXPECT_FALSE(noSource.start());
    EXPECT_EQ(noSource.getState(), convert::Failed);
    EXPECT_EQ(other.states(), (std::vector<int>{convert::Failed}));

    auto badType = makeJob("");
    profile::ProfileRecord record = aviProfile();
    record.conversionType = 52;
    badType->setProfile(record);
    badType->setListener(&other);
    EXPECT_FALSE(badType->start());
    EXPECT_EQ(badType->getState(), convert::Failed);
}

TEST_F(ConvertFileTest, UnknownDurationShowsNoPercentUntilDone)
{
    auto job = makeJob("statuses 0 4 1\nwrite-output\n");
    job->setProbeResult("00:00:00", "Video: fake", true);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states().back(), convert::Done);
    EXPECT_EQ(job->getPercent(), 100);
}

TEST_F(ConvertFileTest, OutputPastEveryBufferIsDrained)
{
    auto job = makeJob("banner\nflood 8000000\nstatuses 0 10 2\nwrite-output\nexit 0\n");
    probeAsTenSeconds(*job);
    runToEnd(*job);
    EXPECT_EQ(recorder_.states().back(), convert::Done);
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

    convertFile uncut(binding_.get());
    uncut.setDisposed(true);
    uncut.setSource("/videos/a.b/movie", 1);
    EXPECT_EQ(uncut.getOutputFolder(), platform::Paths::expandHome("~/Lumaret_output").string());
    EXPECT_EQ(uncut.getTargetFolder(), "");
}

}  // namespace
