#include "convert/convertFileInfoThread.h"

#include "convert/convertFile.h"
#include "platform/core/ChildProcess.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using convert::JobState;

using convert::convertFile;
using convert::convertFileInfoThread;
using fakeencoder::Recorder;

namespace {

class ProbeTest : public ::testing::Test {
protected:
    ProbeTest() { probe_->setDisposed(true); }
    ~ProbeTest() override { probe_->stop(); }

    // A job whose source makes the fake encoder print what ffmpeg printed for a fixture.
    std::unique_ptr<convertFile> jobFor(const std::string& name, const std::string& probeScript)
    {
        auto job = std::make_unique<convertFile>(binding_.get());
        job->setDisposed(true);
        job->setSource(fakeencoder::writeScript(dir_ / name, probeScript), 1);
        job->setListener(&recorder_);
        return job;
    }
    static std::string catFixture(const std::string& fixture)
    {
        return "probe: cat " + testfixtures::path(fixture) + "\n";
    }
    static std::string info(const convertFile& job)
    {
        std::string text;
        job.getMediaInfo(text);
        return text;
    }
    // Starts the worker with a notify function that counts published results.
    void startProbe()
    {
        probe_->start([this] {
            std::lock_guard lock(mutex_);
            ++published_;
            publishedChanged_.notify_all();
        });
    }
    bool waitForPublished(int count)
    {
        std::unique_lock lock(mutex_);
        return publishedChanged_.wait_for(lock, std::chrono::seconds(60), [&] { return published_ >= count; });
    }

    testsupport::TempDir dir_;
    std::unique_ptr<convert::EncoderBinding> binding_ = fakeencoder::binding();
    std::unique_ptr<convertFileInfoThread> probe_ = std::make_unique<convertFileInfoThread>(binding_.get());
    Recorder recorder_;
    std::mutex mutex_;
    std::condition_variable publishedChanged_;
    int published_ = 0;
};

TEST_F(ProbeTest, ProbesQueuedJobsInOrderAndMarksBadFiles)
{
    auto video = jobFor("clip.mp4", catFixture("probe-mov-av-meta-mov.txt"));
    auto audio = jobFor("song.mp3", catFixture("probe-audio-only-mp3.txt"));
    auto noise = jobFor("noise.bin", catFixture("probe-random-bin.txt"));
    startProbe();
    probe_->enqueue(video.get());
    probe_->enqueue(audio.get());
    probe_->enqueue(noise.get());
    ASSERT_TRUE(waitForPublished(3));

    std::string duration;
    video->getDurationText(duration);
    EXPECT_EQ(duration, "00:00:02");
    EXPECT_EQ(video->getDurationSeconds(), 2u);
    EXPECT_EQ(info(*video).rfind("Video: h264", 0), 0u);
    EXPECT_NE(info(*video).find(" Audio: aac"), std::string::npos);
    EXPECT_EQ(video->getState(), convert::JobState::Waiting);
    for (convertFile* bad : {audio.get(), noise.get()}) {
        EXPECT_EQ(bad->getState(), convert::JobState::ProbeFailed);
        EXPECT_EQ(info(*bad), convertFile::kBadFileText);
    }
    EXPECT_EQ(recorder_.states(),
              (std::vector<JobState>{convert::JobState::ProbeFailed, convert::JobState::ProbeFailed}));
    EXPECT_EQ(probe_->pendingCount(), 0u);
}

TEST_F(ProbeTest, LongOutputIsReadToTheEnd)
{
    // 4 MB after the information: the encoder must not block, and the information still counts.
    auto chatty = jobFor("chatty.mkv", catFixture("probe-mkv-av-mkv.txt") + "probe: flood 4000000\n");
    // The information after 1 MB of other output (thousands of tags and chapters do this) is
    // found all the same.
    auto buried = jobFor("buried.mkv", "probe: flood 1000000\n" + catFixture("probe-mkv-av-mkv.txt"));
    startProbe();
    probe_->enqueue(chatty.get());
    probe_->enqueue(buried.get());
    ASSERT_TRUE(waitForPublished(2));
    for (convertFile* job : {chatty.get(), buried.get()}) {
        EXPECT_EQ(job->getState(), convert::JobState::Waiting);
        EXPECT_EQ(info(*job).rfind("Video: h264", 0), 0u);
        EXPECT_EQ(job->getDurationSeconds(), 2u);
    }
}

TEST_F(ProbeTest, EncoderThatCannotStartMeansABadFile)
{
    binding_ = fakeencoder::binding("/nonexistent/lumaret-missing-ffmpeg");
    probe_->stop();
    probe_ = std::make_unique<convertFileInfoThread>(binding_.get());
    probe_->setDisposed(true);
    auto job = jobFor("clip.mp4", catFixture("probe-mp4-av-mp4.txt"));
    startProbe();
    probe_->enqueue(job.get());
    ASSERT_TRUE(waitForPublished(1));
    EXPECT_EQ(job->getState(), convert::JobState::ProbeFailed);
    EXPECT_EQ(info(*job), convertFile::kBadFileText);
}

TEST_F(ProbeTest, RemovedJobIsNeverWrittenAndItsEncoderEnds)
{
    const auto pidFile = dir_ / "probe.pid";
    auto hanging = jobFor("hang.mp4", "probe: pidfile " + pidFile.string() + "\nprobe: hang\n");
    auto later = jobFor("later.mp4", catFixture("probe-mp4-v-mp4.txt"));
    auto neverProbed = jobFor("never.mp4", catFixture("probe-mp4-v-mp4.txt"));
    startProbe();
    probe_->enqueue(hanging.get());
    probe_->enqueue(neverProbed.get());
    probe_->enqueue(later.get());
    probe_->remove(neverProbed.get());
    const pid_t encoder = fakeencoder::waitForPidFile(pidFile);
    ASSERT_GT(encoder, 0);

    probe_->remove(hanging.get());  // while it is being probed
    ASSERT_TRUE(waitForPublished(1));
    EXPECT_TRUE(fakeencoder::becomesGone(encoder));
    EXPECT_EQ(info(*later).rfind("Video: h264", 0), 0u);
    EXPECT_EQ(info(*hanging), "");
    EXPECT_EQ(hanging->getState(), convert::JobState::Waiting);
    EXPECT_EQ(info(*neverProbed), "");
    EXPECT_EQ(published_, 1);
}

TEST_F(ProbeTest, StopEndsTheWorkerWhetherIdleOrProbing)
{
    startProbe();
    probe_->stop();  // idle: the single post wakes it
    EXPECT_EQ(probe_->pendingCount(), 0u);

    const auto pidFile = dir_ / "probe.pid";
    auto hanging = jobFor("hang.mp4", "probe: pidfile " + pidFile.string() + "\nprobe: hang\n");
    startProbe();
    probe_->enqueue(hanging.get());
    const pid_t encoder = fakeencoder::waitForPidFile(pidFile);
    ASSERT_GT(encoder, 0);
    probe_->stop();
    EXPECT_FALSE(fakeencoder::isRunning(encoder));
    EXPECT_EQ(probe_->pendingCount(), 0u);
    EXPECT_EQ(info(*hanging), "");
    EXPECT_EQ(published_, 0);
}

TEST_F(ProbeTest, JobStartedBeforeItsProbeConvertsAfterIt)
{
    auto job = jobFor("clip.mp4", catFixture("probe-mp4-av-mp4.txt") + "statuses 0 2 0.5\nwrite-output\n");
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    record.conversionType = 8;
    job->setProfile(record);
    job->setTargetFolder((dir_ / "out").string());
    ASSERT_TRUE(job->start());  // waits for the probe
    startProbe();
    probe_->enqueue(job.get());
    ASSERT_TRUE(recorder_.waitForReports(2));
    EXPECT_EQ(recorder_.states(), (std::vector<JobState>{convert::JobState::Converting, convert::JobState::Done}));
    EXPECT_EQ(job->getPercent(), 100);
}

}  // namespace
