#include "convert/convertFileInfoThread.h"

#include "convert/MediaInfoParser.h"
#include "convert/convertFile.h"
#include "platform/core/ChildProcess.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <numeric>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using convert::JobState;

using convert::MediaInfo;
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
    // Each start that fails answers for the first job of its run only; the others are tried again.
    auto job = jobFor("clip.mp4", catFixture("probe-mp4-av-mp4.txt"));
    auto next = jobFor("next.mp4", catFixture("probe-mp4-av-mp4.txt"));
    startProbe();
    probe_->enqueue(job.get());
    probe_->enqueue(next.get());
    ASSERT_TRUE(waitForPublished(2));
    for (convertFile* bad : {job.get(), next.get()}) {
        EXPECT_EQ(bad->getState(), convert::JobState::ProbeFailed);
        EXPECT_EQ(info(*bad), convertFile::kBadFileText);
    }
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

TEST_F(ProbeTest, ABatchGivesEveryJobWhatItsOwnProbeWouldInFewerRuns)
{
    const auto pidLog = dir_ / "probes.pid";
    const std::string logged = "probe: pidlog " + pidLog.string() + "\n";
    // Good files, an audio-only one, random bytes and more good ones after them, one of them with
    // a name ffmpeg's log would show differently (probed alone).
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.mp4", "probe-mp4-av-mp4.txt"}, {"b.mkv", "probe-mkv-av-mkv.txt"},
        {"c.mp3", "probe-audio-only-mp3.txt"}, {"d.bin", "probe-random-bin.txt"},
        {"e.avi", "probe-avi-av-avi.txt"}, {"f.mov", "probe-mov-v-mov.txt"},
        {"g\tt.mp4", "probe-mp4-v-mp4.txt"}, {"h.mpg", "probe-mpg-av-mpg.txt"},
        {"i.wmv", "probe-wmv-av-wmv.txt"}, {"j.ogg", "probe-ogg-av-ogg.txt"},
        {"k.m4a", "probe-audio-only-m4a.txt"}, {"l.flv", "probe-flv-av-flv.txt"},
    };
    // The first run waits at a gate until every job is queued, so the runs after it are known.
    const auto gate = dir_ / "gate";
    ASSERT_EQ(::mkfifo(gate.c_str(), 0600), 0);
    std::vector<std::unique_ptr<convertFile>> jobs;
    jobs.push_back(
        jobFor("gate.mp4", logged + "probe: gate " + gate.string() + "\n" + catFixture("probe-mp4-v-mp4.txt")));
    for (const auto& [name, fixture] : files)
        jobs.push_back(jobFor(name, logged + catFixture(fixture)));
    // Each result is published in queue order: when the n-th comes, exactly the first n jobs
    // have theirs.
    std::vector<size_t> answeredAtEach;
    probe_->start([&] {
        size_t answered = 0;
        for (const auto& job : jobs)
            answered += info(*job).empty() ? 0 : 1;
        answeredAtEach.push_back(answered);
        std::lock_guard lock(mutex_);
        ++published_;
        publishedChanged_.notify_all();
    });
    for (const auto& job : jobs)
        probe_->enqueue(job.get());
    ::close(::open(gate.c_str(), O_WRONLY));
    ASSERT_TRUE(waitForPublished(static_cast<int>(jobs.size())));
    probe_->stop();
    const std::vector<pid_t> logs = fakeencoder::waitForPidLog(pidLog, 0);
    const std::set<pid_t> runs(logs.begin(), logs.end());
    // After the gate's run: a..d (ffmpeg stops at the random bytes), e..f, g alone, h..l; each
    // input of a run logs that run's id once.
    EXPECT_EQ(logs.size(), jobs.size());
    EXPECT_LE(runs.size(), 5u);
    EXPECT_GE(runs.size(), 4u);

    std::vector<size_t> inOrder(jobs.size());
    std::iota(inOrder.begin(), inOrder.end(), size_t{1});
    EXPECT_EQ(answeredAtEach, inOrder);
    EXPECT_EQ(info(*jobs[0]).rfind("Video: h264", 0), 0u);
    for (size_t index = 1; index < jobs.size(); ++index) {
        const convertFile* job = jobs[index].get();
        std::string path;
        uint64_t size = 0;
        job->getProbeInput(path, size);
        SCOPED_TRACE(path);
        platform::ChildProcess process;
        const MediaInfo alone = convertFileInfoThread::probe(*binding_, path, process);
        std::string duration;
        job->getDurationText(duration);
        EXPECT_EQ(job->getState(), alone.ok ? JobState::Waiting : JobState::ProbeFailed);
        EXPECT_EQ(info(*job), alone.ok ? alone.info : convertFile::kBadFileText);
        EXPECT_EQ(duration, alone.ok ? alone.durationText : convertFile::kNoDurationText);
    }
    EXPECT_EQ(jobs[3]->getState(), JobState::ProbeFailed);
    EXPECT_EQ(jobs[4]->getState(), JobState::ProbeFailed);
    EXPECT_EQ(info(*jobs[5]).rfind("Video: mpeg4", 0), 0u);
    EXPECT_EQ(info(*jobs[12]).rfind("Video: flv1", 0), 0u);
}

TEST_F(ProbeTest, RemovingAJobOfAHangingBatchEndsItAndTheOthersAreAskedAgain)
{
    const auto pidLog = dir_ / "hang.pid";
    auto first = jobFor("first.mp4", catFixture("probe-mp4-av-mp4.txt"));
    auto hanging = jobFor("hang.mp4", "probe: say Input #0, mov, from 'x':\nprobe: pidlog " + pidLog.string() +
                                          "\nprobe: hang\n");
    auto removed = jobFor("removed.mp4", catFixture("probe-mp4-v-mp4.txt"));
    auto last = jobFor("last.mkv", catFixture("probe-mkv-av-mkv.txt"));
    startProbe();
    for (convertFile* job : {first.get(), hanging.get(), removed.get(), last.get()})
        probe_->enqueue(job);
    // The first section was closed by its complaint line: it is answered while the run hangs.
    ASSERT_TRUE(waitForPublished(1));
    const std::vector<pid_t> firstRun = fakeencoder::waitForPidLog(pidLog, 1);
    ASSERT_EQ(firstRun.size(), 1u);
    EXPECT_EQ(info(*first).rfind("Video: h264", 0), 0u);

    // A job behind the hanging one: the run ends, and the rest is asked about again.
    probe_->remove(removed.get());
    EXPECT_TRUE(fakeencoder::becomesGone(firstRun[0]));
    const std::vector<pid_t> secondRun = fakeencoder::waitForPidLog(pidLog, 2);
    ASSERT_EQ(secondRun.size(), 2u);
    EXPECT_EQ(probe_->pendingCount(), 2u);

    probe_->remove(hanging.get());
    ASSERT_TRUE(waitForPublished(2));
    EXPECT_TRUE(fakeencoder::becomesGone(secondRun[1]));
    EXPECT_EQ(info(*last).rfind("Video: h264", 0), 0u);
    EXPECT_EQ(last->getDurationSeconds(), 2u);
    for (convertFile* untouched : {hanging.get(), removed.get()}) {
        EXPECT_EQ(info(*untouched), "");
        EXPECT_EQ(untouched->getState(), JobState::Waiting);
    }
    EXPECT_EQ(published_, 2);
    EXPECT_EQ(probe_->pendingCount(), 0u);
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
