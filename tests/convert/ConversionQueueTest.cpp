#include "convert/ConversionQueue.h"

#include "convert/ConversionQueueLoop.h"
#include "convert/QueuedFile.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using convert::JobState;

using convert::ConversionQueue;
using convert::convertFile;

namespace {

// Writes every call of the listener as a line ("state ROW STATE", "progress ROW", "probed ROW",
// "finished ROW STATE", "ended"), and runs the test's hooks from inside the calls.
class RecordingListener : public convert::ConversionQueueListener {
public:
    void onJobStateChanged(convertFile* job, JobState state) override
    {
        events.push_back("state " + row(job) + " " + std::to_string(static_cast<int>(state)));
        if (onState)
            onState(job, state);
    }
    void onJobProgress(convertFile* job, int) override
    {
        // Only the first of a run's reports is kept: how many arrive depends on the encoder.
        const std::string line = "progress " + row(job);
        if (events.empty() || events.back() != line)
            events.push_back(line);
        if (onProgress)
            onProgress(job);
    }
    void onJobProbed(convertFile* job) override { probed.push_back(row(job)); }
    void onJobFinished(convertFile* job, JobState state) override
    {
        events.push_back("finished " + row(job) + " " + std::to_string(static_cast<int>(state)));
        finished.push_back(state);
        if (onFinished)
            onFinished(job, state);
    }
    void onQueueEnded() override
    {
        events.push_back("ended");
        ++ended;
        if (onEnded)
            onEnded();
    }

    // The events of one kind, in order.
    std::vector<std::string> only(const std::string& prefix) const
    {
        std::vector<std::string> kept;
        for (const std::string& event : events) {
            if (event.rfind(prefix, 0) == 0)
                kept.push_back(event);
        }
        return kept;
    }

    ConversionQueue* queue = nullptr;
    std::vector<std::string> events;
    std::vector<std::string> probed;
    std::vector<JobState> finished;
    int ended = 0;
    std::function<void(convertFile*, JobState)> onState;
    std::function<void(convertFile*)> onProgress;
    std::function<void(convertFile*, JobState)> onFinished;
    std::function<void()> onEnded;

private:
    std::string row(convertFile* job) const { return queue ? std::to_string(queue->rowOf(job)) : "?"; }
};

class ConversionQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        convertFile::setEncoderPriorityClass(convert::PriorityNormal);
        queue_ = makeQueue(listener_);
    }
    void TearDown() override { convertFile::setEncoderPriorityClass(convert::PriorityNormal); }

    std::unique_ptr<ConversionQueue> makeQueue(RecordingListener& listener)
    {
        auto queue = std::make_unique<ConversionQueue>(loop_.poster(), &listener, binding_.get());
        listener.queue = queue.get();
        return queue;
    }

    // A source whose probe finds a 2-second file with video and audio, and whose conversion runs
    // `script` (the fake encoder's directives).
    std::string source(const std::string& name, const std::string& script, const std::string& folder = "src")
    {
        std::filesystem::create_directories(dir_ / folder);
        return fakeencoder::writeScript(dir_ / folder / name, probeLine("probe-mp4-av-mp4.txt") + script);
    }
    static std::string probeLine(const std::string& fixture)
    {
        return "probe: cat " + testfixtures::path(fixture) + "\n";
    }
    static std::string goodScript() { return "statuses 0 2 0.5\nwrite-output\n"; }
    // What ffmpeg prints of its input before converting (the probe's 2 s): a job that starts before
    // its probe has answered takes the duration from it, so its first status line shows a percentage.
    static std::string headerScript()
    {
        return "say Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'mp4_av.mp4':\n"
               "say   Duration: 00:00:02.00, start: 0.000000\n"
               "say   Stream #0:0[0x1]: Video: h264 (High), yuv420p, 160x120\nsay Output #0, avi, to 'out.avi':\n";
    }

    convertFile* add(ConversionQueue& queue, const std::string& path)
    {
        convertFile job;
        job.setDisposed(true);
        job.setSource(path, 100);
        job.setTargetFolder(out());
        profile::ProfileRecord record = profile::makeEmptyProfileRecord();
        record.conversionType = 8;  // AVI
        job.setProfile(record);
        return queue.addJob(job);
    }
    convertFile* add(const std::string& path) { return add(*queue_, path); }
    // A FIFO the encoder of a "held" script waits at until release() opens it.
    std::string gate(const std::string& name)
    {
        const std::filesystem::path path = dir_ / name;
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path.string();
    }
    static void release(const std::string& gate) { ::close(::open(gate.c_str(), O_WRONLY)); }
    static std::string heldScript(const std::string& gate) { return "cat " + gate + "\n" + goodScript(); }
    std::string out() const { return (dir_ / "out").string(); }

    // Runs the posted reports until `done` holds. The limit only keeps a lost report from hanging
    // the suite; nothing here depends on timing.
    void pumpUntil(const std::function<bool()>& done)
    {
        while (!done())
            ASSERT_TRUE(loop_.runOneWithin(std::chrono::seconds(60))) << "a report never arrived";
    }
    void pumpUntilEnded(RecordingListener& listener)
    {
        pumpUntil([&] { return listener.ended > 0; });
    }

    testsupport::TempDir dir_;
    std::unique_ptr<convert::EncoderBinding> binding_ = fakeencoder::binding();
    convert::ConversionQueueLoop loop_;  // before the queue: it must outlive it
    RecordingListener listener_;
    std::unique_ptr<ConversionQueue> queue_;
};

TEST_F(ConversionQueueTest, ConvertsRowsOneAfterAnotherAndEndsOnce)
{
    // Each encoder waits at its FIFO until the checks of its run are over, so that a quick
    // conversion cannot end before them.
    const std::string gateA = gate("gate-a");
    const std::string gateB = gate("gate-b");
    convertFile* a = add(source("a.mp4", heldScript(gateA)));
    convertFile* b = add(source("b.mp4", heldScript(gateB)));
    EXPECT_EQ(queue_->size(), 2u);
    EXPECT_EQ(queue_->rowOf(b), 1);
    EXPECT_EQ(queue_->countWaiting(), 2);
    EXPECT_FALSE(queue_->isConverting());
    EXPECT_EQ(queue_->findConvertingJob(), nullptr);

    // Inside onJobFinished the next job has not started yet, so the owner may act on a Done first.
    std::vector<int> runningWhenFinished;
    listener_.onFinished = [&](convertFile*, JobState) {
        runningWhenFinished.push_back(queue_->findConvertingJob() ? queue_->rowOf(queue_->findConvertingJob()) : -1);
    };

    ASSERT_TRUE(queue_->start());
    EXPECT_TRUE(queue_->isConverting());
    EXPECT_EQ(queue_->findConvertingJob(), a);
    EXPECT_EQ(b->getState(), convert::JobState::Waiting);
    EXPECT_FALSE(queue_->start());  // already converting
    EXPECT_TRUE(listener_.events.empty());  // reports arrive only through the loop
    release(gateA);

    pumpUntil([&] { return listener_.finished.size() == 1; });
    EXPECT_EQ(a->getState(), convert::JobState::Done);
    EXPECT_EQ(queue_->findConvertingJob(), b);
    EXPECT_EQ(queue_->finishedThisRun(), 1);
    EXPECT_EQ(queue_->countWaiting(), 0);
    EXPECT_EQ(queue_->countFinished(), 1);
    release(gateB);

    pumpUntilEnded(listener_);
    EXPECT_FALSE(queue_->isConverting());
    EXPECT_EQ(queue_->finishedThisRun(), 2);
    EXPECT_EQ(queue_->countFinished(), 2);
    EXPECT_EQ(runningWhenFinished, (std::vector<int>{-1, -1}));
    EXPECT_EQ(listener_.only("finished"), (std::vector<std::string>{"finished 0 5", "finished 1 5"}));
    EXPECT_EQ(listener_.events.back(), "ended");
    EXPECT_EQ(listener_.only("state 0").front(), "state 0 1");
    EXPECT_FALSE(listener_.only("progress 1").empty());
    EXPECT_EQ(a->getOutputPath(), out() + "/a.avi");
    EXPECT_TRUE(std::filesystem::exists(b->getOutputPath()));

    // Nothing is left to start; a finished queue cannot be started again.
    loop_.runPending();
    EXPECT_EQ(listener_.probed, (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(listener_.ended, 1);
    EXPECT_FALSE(queue_->start());
}

TEST_F(ConversionQueueTest, FailedJobIsCountedAndTheQueueMovesOn)
{
    convertFile* broken = add(source("broken.mp4", "banner\nsay Unknown encoder 'libfaac'\nexit 1\n"));
    convertFile* good = add(source("good.mp4", goodScript()));
    ASSERT_TRUE(queue_->start());

    pumpUntil([&] { return listener_.finished.size() == 1; });
    EXPECT_EQ(broken->getState(), convert::JobState::Failed);
    EXPECT_EQ(queue_->findConvertingJob(), good);
    std::string reason;
    broken->getMediaInfo(reason);
    EXPECT_NE(reason.find("Unknown encoder 'libfaac'"), std::string::npos);

    pumpUntilEnded(listener_);
    EXPECT_EQ(listener_.finished, (std::vector<JobState>{convert::JobState::Failed, convert::JobState::Done}));
    EXPECT_EQ(queue_->finishedThisRun(), 2);
    EXPECT_EQ(queue_->countFinished(), 2);
}

// One encoder at a time, always: a bad file found while another converts is only counted.
TEST_F(ConversionQueueTest, ProbeFailureDuringAConversionIsCountedAndStartsNothing)
{
    const std::string slowPath = source("slow.mp4", "status 0\nhang\n");
    convertFile* slow = add(slowPath);
    std::filesystem::create_directories(dir_ / "src");
    convertFile* bad = add(fakeencoder::writeScript(dir_ / "src" / "notes.txt", probeLine("probe-random-bin.txt")));
    convertFile* next = add(source("next.mp4", goodScript()));
    ASSERT_TRUE(queue_->start());

    pumpUntil([&] { return listener_.finished.size() == 1; });
    EXPECT_EQ(listener_.only("finished"), (std::vector<std::string>{"finished 1 2"}));
    EXPECT_EQ(bad->getState(), convert::JobState::ProbeFailed);
    EXPECT_EQ(queue_->findConvertingJob(), slow);
    EXPECT_EQ(next->getState(), convert::JobState::Waiting);
    EXPECT_EQ(queue_->finishedThisRun(), 1);
    EXPECT_TRUE(queue_->isConverting());

    // The hanging file is given up; the rest converts in a new run.
    queue_->stopAll();
    EXPECT_EQ(slow->getState(), convert::JobState::Waiting);
    fakeencoder::writeScript(slowPath, probeLine("probe-mp4-av-mp4.txt") + goodScript());
    ASSERT_TRUE(queue_->start());
    EXPECT_EQ(queue_->finishedThisRun(), 0);
    pumpUntilEnded(listener_);
    EXPECT_EQ(listener_.only("finished"),
              (std::vector<std::string>{"finished 1 2", "finished 0 5", "finished 2 5"}));
    EXPECT_EQ(queue_->finishedThisRun(), 2);
    EXPECT_EQ(queue_->countFinished(), 3);
}

// The first job starts without waiting for its probe; when the probe then finds a bad file, the
// encoder already under way is ended, the job is counted once, and the next one starts.
TEST_F(ConversionQueueTest, ARunningJobWhoseProbeFailsIsCountedOnceAndTheNextStarts)
{
    std::filesystem::create_directories(dir_ / "src");
    const std::string badScript = probeLine("probe-random-bin.txt") + "status 0\nwrite-output\nhang\n";
    convertFile* bad = add(fakeencoder::writeScript(dir_ / "src" / "notes.txt", badScript));
    convertFile* next = add(source("next.mp4", goodScript()));
    ASSERT_TRUE(queue_->start());
    pumpUntilEnded(listener_);
    EXPECT_EQ(listener_.only("finished"), (std::vector<std::string>{"finished 0 2", "finished 1 5"}));
    EXPECT_EQ(bad->getState(), convert::JobState::ProbeFailed);
    EXPECT_EQ(next->getState(), convert::JobState::Done);
    EXPECT_EQ(queue_->finishedThisRun(), 2);
    EXPECT_EQ(listener_.ended, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out" / "notes.avi"));  // what its encoder wrote is gone
}

TEST_F(ConversionQueueTest, StopAllReturnsTheJobToWaitingWithoutEndingAndRestartConvertsIt)
{
    const std::string path = source("a.mp4", headerScript() + "write-output\nstatus 0\nhang\n");
    convertFile* a = add(path);
    add(source("b.mp4", goodScript()));
    ASSERT_TRUE(queue_->start());
    pumpUntil([&] { return !listener_.only("progress 0").empty(); });
    EXPECT_EQ(queue_->findConvertingJob(), a);

    queue_->stopAll();
    EXPECT_FALSE(queue_->isConverting());
    EXPECT_EQ(a->getState(), convert::JobState::Waiting);
    EXPECT_EQ(queue_->findConvertingJob(), nullptr);
    EXPECT_EQ(queue_->countWaiting(), 2);
    loop_.runPending();  // whatever was still on its way changes nothing
    EXPECT_EQ(listener_.ended, 0);
    EXPECT_TRUE(listener_.finished.empty());
    EXPECT_EQ(queue_->countWaiting(), 2);
    EXPECT_FALSE(queue_->removeJob(nullptr));

    const std::string restartGate = gate("restart");
    fakeencoder::writeScript(path, probeLine("probe-mp4-av-mp4.txt") + heldScript(restartGate));
    ASSERT_TRUE(queue_->start());
    EXPECT_EQ(queue_->findConvertingJob(), a);
    release(restartGate);
    pumpUntilEnded(listener_);
    EXPECT_EQ(listener_.finished, (std::vector<JobState>{convert::JobState::Done, convert::JobState::Done}));
    EXPECT_EQ(queue_->finishedThisRun(), 2);
    EXPECT_TRUE(std::filesystem::file_size(a->getOutputPath()) > 0);
}

TEST_F(ConversionQueueTest, EveryRowEndingBeforeTheStartLeavesNothingToStart)
{
    std::filesystem::create_directories(dir_ / "src");
    add(fakeencoder::writeScript(dir_ / "src" / "x.txt", probeLine("probe-random-bin.txt")));
    pumpUntil([&] { return listener_.probed.size() == 1; });
    EXPECT_EQ(listener_.only("state"), (std::vector<std::string>{"state 0 2"}));
    EXPECT_TRUE(listener_.finished.empty());  // not converting: nothing counted
    EXPECT_EQ(queue_->countWaiting(), 0);
    EXPECT_EQ(queue_->countFinished(), 1);
    EXPECT_FALSE(queue_->start());
    EXPECT_FALSE(queue_->isConverting());
}

// The listener may remove finished rows, stop the queue and even destroy it from inside its calls.
TEST_F(ConversionQueueTest, ListenerMayRemoveStopAndDestroyFromInsideItsCalls)
{
    add(source("a.mp4", goodScript()));
    convertFile* b = add(source("b.mp4", headerScript() + "status 0\nhang\n"));
    listener_.onFinished = [&](convertFile* job, JobState) {
        EXPECT_TRUE(queue_->removeJob(job));
    };
    listener_.onProgress = [&](convertFile* job) {
        if (job == b)
            queue_->stopAll();
    };
    ASSERT_TRUE(queue_->start());
    pumpUntil([&] { return !queue_->isConverting(); });
    EXPECT_EQ(queue_->size(), 1u);
    EXPECT_EQ(queue_->jobAt(0), b);
    EXPECT_EQ(b->getState(), convert::JobState::Waiting);
    loop_.runPending();
    EXPECT_EQ(listener_.ended, 0);

    // Destroyed by its own listener while reports are still queued for it.
    listener_.onProgress = nullptr;
    listener_.onFinished = nullptr;
    listener_.onState = [&](convertFile*, JobState state) {
        if (state == convert::JobState::Converting)
            queue_.reset();
    };
    ASSERT_TRUE(queue_->start());
    pumpUntil([&] { return !queue_; });
    loop_.runPending();
}

// A report posted for a job that has left the queue goes nowhere, even when a new job lives at
// the same address.
TEST_F(ConversionQueueTest, ReportsOfRemovedJobsAreDropped)
{
    std::mutex mutex;
    std::condition_variable posted;
    int postCount = 0;
    RecordingListener listener;
    ConversionQueue queue(
        [&](std::function<void()> function) {
            loop_.post(std::move(function));
            std::lock_guard lock(mutex);
            ++postCount;
            posted.notify_all();
        },
        &listener, binding_.get());
    listener.queue = &queue;

    std::filesystem::create_directories(dir_ / "src");
    convertFile* bad = add(queue, fakeencoder::writeScript(dir_ / "src" / "x.txt", probeLine("probe-random-bin.txt")));
    {
        // The ProbeFailed report and the probe's notice.
        std::unique_lock lock(mutex);
        ASSERT_TRUE(posted.wait_for(lock, std::chrono::seconds(60), [&] { return postCount >= 2; }));
    }
    EXPECT_TRUE(queue.removeJob(bad));
    convertFile* fresh = add(queue, source("fresh.mp4", goodScript()));
    loop_.runPending();
    EXPECT_TRUE(listener.only("state").empty());
    EXPECT_EQ(fresh->getState(), convert::JobState::Waiting);
    EXPECT_EQ(queue.countFinished(), 0);
}

TEST_F(ConversionQueueTest, PriorityReachesTheRunningEncoderAndTheNextOne)
{
    const std::filesystem::path pidFile = dir_ / "first.pid";
    add(source("a.mp4", "pidfile " + pidFile.string() + "\nstatus 0\nhang\n"));
    ASSERT_TRUE(queue_->start());
    const pid_t first = fakeencoder::waitForPidFile(pidFile);
    ASSERT_GT(first, 0);
    EXPECT_EQ(queue_->priorityClass(), convert::PriorityNormal);
    queue_->setPriorityClass(convert::PriorityIdle);
    EXPECT_EQ(queue_->priorityClass(), convert::PriorityIdle);
    errno = 0;
    EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(first)), 19);
    queue_->stopAll();

    const std::filesystem::path niceFile = dir_ / "nice.txt";
    convertFile* second = add(source("b.mp4", "nicefile " + niceFile.string() + "\n" + goodScript()));
    ASSERT_TRUE(queue_->removeJob(queue_->jobAt(0)));
    ASSERT_TRUE(queue_->start());
    pumpUntilEnded(listener_);
    EXPECT_EQ(second->getState(), convert::JobState::Done);
    int nice = -100;
    std::ifstream(niceFile) >> nice;
    EXPECT_EQ(nice, 19);
}

// Done needs the encoder's last reported time to reach the probed duration.
TEST_F(ConversionQueueTest, CoverageShortfallEndsFailed)
{
    // A 10-second file whose encoder stops at 3.8 s and still exits 0, as on a cut source.
    std::string answer = testfixtures::read("probe-mp4-av-mp4.txt");
    const std::string twoSeconds = "Duration: 00:00:02.00";
    answer.replace(answer.find(twoSeconds), twoSeconds.size(), "Duration: 00:00:10.00");
    std::filesystem::create_directories(dir_ / "src");
    std::ofstream(dir_ / "src" / "ten-seconds.txt", std::ios::binary) << answer;
    convertFile* half = add(fakeencoder::writeScript(
        dir_ / "src" / "half.mp4",
        "probe: cat " + (dir_ / "src" / "ten-seconds.txt").string() + "\nstatuses 0 3.8 0.2\nwrite-output\n"));
    ASSERT_TRUE(queue_->start());
    pumpUntilEnded(listener_);
    EXPECT_EQ(listener_.finished, (std::vector<JobState>{convert::JobState::Failed}));
    EXPECT_EQ(half->getState(), convert::JobState::Failed);
    EXPECT_EQ(queue_->finishedThisRun(), 1);
}

// Output names are claimed atomically before the encoder starts. Both encoders are held at a FIFO
// until both have chosen their names, so without the claim both write a.avi.
TEST_F(ConversionQueueTest, TwoQueuesConvertingIntoOneFolderKeepBothOutputs)
{
    const std::filesystem::path gate1 = dir_ / "gate1";
    const std::filesystem::path gate2 = dir_ / "gate2";
    ASSERT_EQ(::mkfifo(gate1.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(gate2.c_str(), 0600), 0);
    RecordingListener otherListener;
    auto other = makeQueue(otherListener);
    const auto held = [&](const std::filesystem::path& gate, const std::string& pid) {
        return "pidfile " + (dir_ / pid).string() + "\ncat " + gate.string() + "\n" + goodScript();
    };
    convertFile* first = add(*queue_, source("a.mp4", held(gate1, "1.pid"), "one"));
    convertFile* second = add(*other, source("a.mp4", held(gate2, "2.pid"), "two"));
    ASSERT_TRUE(queue_->start());
    ASSERT_TRUE(other->start());
    // Both encoders run, so both names are chosen; then they may go on.
    ASSERT_GT(fakeencoder::waitForPidFile(dir_ / "1.pid"), 0);
    ASSERT_GT(fakeencoder::waitForPidFile(dir_ / "2.pid"), 0);
    for (const auto& gate : {gate1, gate2})
        ::close(::open(gate.c_str(), O_WRONLY));
    pumpUntil([&] { return listener_.ended > 0 && otherListener.ended > 0; });

    EXPECT_EQ(first->getState(), convert::JobState::Done);
    EXPECT_EQ(second->getState(), convert::JobState::Done);
    std::vector<std::string> outputs = {first->getOutputPath(), second->getOutputPath()};
    std::sort(outputs.begin(), outputs.end());
    EXPECT_EQ(outputs, (std::vector<std::string>{out() + "/a.avi", out() + "/a_1.avi"}));
    for (const std::string& output : outputs)
        EXPECT_TRUE(std::filesystem::file_size(output) > 0);
}

}  // namespace

TEST_F(ConversionQueueTest, AQueuedFileBecomesAWaitingRowWithItsOwnCopyOfEverything)
{
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    record.conversionType = 8;
    convert::QueuedFile file{source("a.mp4", goodScript()), 1234, record, out(), true};
    convertFile* job = queue_->addJob(file);
    file.profile.conversionType = 19;  // the queue keeps what it was given
    file.targetFolder = "/elsewhere";
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->getSourcePath(), (dir_ / "src" / "a.mp4").string());
    EXPECT_EQ(job->getSourceSize(), 1234u);
    EXPECT_EQ(job->getProfile().conversionType, 8);
    EXPECT_EQ(job->getTargetFolder(), out());
    EXPECT_TRUE(job->appendsProfileName());
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_EQ(queue_->rowOf(job), 0);
}

// Change-output and change-profile ask the queue: only a Waiting row of a queue that does not
// convert may change, so nothing changes under the driver about to start it.
TEST_F(ConversionQueueTest, OnlyWaitingRowsOfAnIdleQueueMayChange)
{
    convertFile* running = add(source("a.mp4", "write-output\nstatus 0\nhang\n"));
    convertFile* waiting = add(source("b.mp4", goodScript()));
    convertFile* failed = add(fakeencoder::writeScript(dir_ / "src" / "x.txt", probeLine("probe-random-bin.txt")));
    pumpUntil([&] { return failed->getState() == convert::JobState::ProbeFailed; });
    EXPECT_TRUE(queue_->mayChange(running));
    EXPECT_TRUE(queue_->mayChange(waiting));
    EXPECT_FALSE(queue_->mayChange(failed));
    EXPECT_FALSE(queue_->mayChange(nullptr));
    convertFile stranger;
    stranger.setDisposed(true);
    EXPECT_FALSE(queue_->mayChange(&stranger));  // not a row of this queue

    ASSERT_TRUE(queue_->start());
    pumpUntil([&] { return !listener_.only("progress 0").empty(); });
    EXPECT_FALSE(queue_->mayChange(running));
    EXPECT_FALSE(queue_->mayChange(waiting));  // waiting, but the queue converts

    queue_->stopAll();
    EXPECT_TRUE(queue_->mayChange(running));
    EXPECT_TRUE(queue_->mayChange(waiting));
}

// ---- several slots ----

namespace {

// The queue with more than one slot. Encoders are held at FIFOs, so which job ends first is the
// test's choice, never the machine's.
class ConversionQueueSlotsTest : public ConversionQueueTest {
protected:
    // The rows converting now, in row order, as "0 2".
    std::string converting() const
    {
        std::string rows;
        for (convertFile* job : queue_->convertingJobs())
            rows += (rows.empty() ? "" : " ") + std::to_string(queue_->rowOf(job));
        return rows;
    }
    // Records the most jobs ever converting at once, as seen at every report.
    void watchTheSlots()
    {
        listener_.onState = [this](convertFile*, JobState) { most_ = std::max(most_, queue_->countConverting()); };
    }
    int most_ = 0;
};

TEST_F(ConversionQueueSlotsTest, TwoSlotsTakeTheFirstWaitingRowsAndEachFreedSlotTakesTheNext)
{
    EXPECT_EQ(queue_->maxConverting(), 1);
    const std::string gate0 = gate("gate0");
    const std::string gate1 = gate("gate1");
    add(source("a.mp4", heldScript(gate0)));
    add(source("b.mp4", heldScript(gate1)));
    add(source("c.mp4", "status 0\nhang\n"));
    add(source("d.mp4", goodScript()));
    watchTheSlots();
    queue_->setMaxConverting(2);
    EXPECT_EQ(queue_->maxConverting(), 2);
    ASSERT_TRUE(queue_->start());
    EXPECT_EQ(converting(), "0 1");
    EXPECT_EQ(queue_->findConvertingJob(), queue_->jobAt(0));

    // The second row ends first: its slot goes to the third, after the owner has heard the end.
    std::string whenFinished;
    listener_.onFinished = [&](convertFile*, JobState) { whenFinished = converting(); };
    release(gate1);
    pumpUntil([&] { return listener_.finished.size() == 1; });
    EXPECT_EQ(whenFinished, "0");
    EXPECT_EQ(converting(), "0 2");
    EXPECT_EQ(queue_->jobAt(3)->getState(), convert::JobState::Waiting);

    // The first ends: the last row starts, and ends on its own while the third still hangs.
    release(gate0);
    pumpUntil([&] { return listener_.finished.size() == 3; });
    EXPECT_EQ(listener_.only("finished"),
              (std::vector<std::string>{"finished 1 5", "finished 0 5", "finished 3 5"}));
    EXPECT_EQ(converting(), "2");
    EXPECT_TRUE(queue_->isConverting());
    EXPECT_EQ(listener_.ended, 0);
    EXPECT_FALSE(queue_->removeJob(queue_->jobAt(2)));

    // A raise while converting fills nothing when no row waits; the queue ends with its last job.
    queue_->setMaxConverting(ConversionQueue::kMaxSlots + 10);
    EXPECT_EQ(queue_->maxConverting(), ConversionQueue::kMaxSlots);
    queue_->stopAll();
    EXPECT_EQ(converting(), "");
    EXPECT_EQ(most_, 2);
    EXPECT_EQ(queue_->finishedThisRun(), 3);
    queue_->setMaxConverting(0);
    EXPECT_EQ(queue_->maxConverting(), 1);
}

// With three slots a hung encoder keeps one of them; the other files, a failing one among them,
// pass through the other two, and the queue does not end while the hung one runs.
TEST_F(ConversionQueueSlotsTest, AHungEncoderAndAFailureHoldUpNoOtherFile)
{
    const std::filesystem::path pidFile = dir_ / "hung.pid";
    convertFile* hung = add(source("hung.mp4", "pidfile " + pidFile.string() + "\nstatus 0\nhang\n"));
    add(source("a.mp4", goodScript()));
    add(source("broken.mp4", "banner\nsay Unknown encoder 'libfaac'\nexit 1\n"));
    add(source("b.mp4", goodScript()));
    add(source("c.mp4", goodScript()));
    watchTheSlots();
    queue_->setMaxConverting(3);
    ASSERT_TRUE(queue_->start());
    EXPECT_EQ(converting(), "0 1 2");

    pumpUntil([&] { return listener_.finished.size() == 4; });
    EXPECT_EQ(hung->getState(), convert::JobState::Converting);
    EXPECT_EQ(converting(), "0");
    EXPECT_LE(most_, 3);
    for (size_t row = 1; row < 5; ++row)
        EXPECT_EQ(queue_->jobAt(row)->getState(), row == 2 ? convert::JobState::Failed : convert::JobState::Done)
            << row;
    EXPECT_TRUE(queue_->isConverting());
    EXPECT_EQ(listener_.ended, 0);

    const pid_t pid = fakeencoder::waitForPidFile(pidFile);
    queue_->stopAll();
    EXPECT_TRUE(fakeencoder::becomesGone(pid));
    EXPECT_EQ(hung->getState(), convert::JobState::Waiting);
    loop_.runPending();
    EXPECT_EQ(listener_.ended, 0);
    EXPECT_EQ(queue_->finishedThisRun(), 4);
}

// stopAll() stops every running encoder; the priority menu reaches every one of them first, also
// one that is still being started. The stopped rows start again, in row order, into the slots.
TEST_F(ConversionQueueSlotsTest, PriorityReachesEveryRunningEncoderAndStopAllStopsThemAll)
{
    std::vector<std::filesystem::path> pidFiles;
    std::vector<std::string> paths;
    for (const char* name : {"a", "b"}) {
        pidFiles.push_back(dir_ / (std::string(name) + ".pid"));
        paths.push_back(source(std::string(name) + ".mp4", headerScript() + "pidfile " + pidFiles.back().string() +
                                                                 "\nwrite-output\nstatus 0\nhang\n"));
        add(paths.back());
    }
    add(source("c.mp4", goodScript()));
    queue_->setMaxConverting(2);
    ASSERT_TRUE(queue_->start());
    std::vector<pid_t> pids;
    for (const auto& file : pidFiles)
        pids.push_back(fakeencoder::waitForPidFile(file));
    // Chosen while the encoders may still be starting: each gets it once it has started, before it
    // reports any progress.
    queue_->setPriorityClass(convert::PriorityIdle);
    pumpUntil([&] { return !listener_.only("progress 0").empty() && !listener_.only("progress 1").empty(); });
    for (pid_t pid : pids) {
        ASSERT_GT(pid, 0);
        EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(pid)), 19);
    }

    queue_->stopAll();
    EXPECT_FALSE(queue_->isConverting());
    EXPECT_EQ(queue_->countConverting(), 0);
    EXPECT_EQ(queue_->countWaiting(), 3);
    for (pid_t pid : pids)
        EXPECT_TRUE(fakeencoder::becomesGone(pid));
    loop_.runPending();
    EXPECT_TRUE(listener_.finished.empty());
    EXPECT_EQ(listener_.ended, 0);

    for (const std::string& path : paths)
        fakeencoder::writeScript(path, probeLine("probe-mp4-av-mp4.txt") + goodScript());
    ASSERT_TRUE(queue_->start());
    EXPECT_EQ(converting(), "0 1");
    pumpUntilEnded(listener_);
    EXPECT_EQ(listener_.finished,
              (std::vector<JobState>{convert::JobState::Done, convert::JobState::Done, convert::JobState::Done}));
    EXPECT_EQ(listener_.events.back(), "ended");
    EXPECT_EQ(queue_->finishedThisRun(), 3);
}

// A bad file found while the slots are full is counted and starts nothing; the next freed slot
// takes the next Waiting row.
TEST_F(ConversionQueueSlotsTest, AProbeFailureWhileTheSlotsAreFullStartsNothing)
{
    const std::string held = gate("held");
    const std::string probeGate = gate("probe");
    add(source("a.mp4", "status 0\nhang\n"));
    add(source("b.mp4", heldScript(held)));
    std::filesystem::create_directories(dir_ / "src");
    const std::string badScript = "probe: cat " + probeGate + "\n" + probeLine("probe-random-bin.txt");
    convertFile* bad = add(fakeencoder::writeScript(dir_ / "src" / "notes.txt", badScript));
    convertFile* next = add(source("d.mp4", goodScript()));
    queue_->setMaxConverting(2);
    ASSERT_TRUE(queue_->start());
    EXPECT_EQ(converting(), "0 1");

    release(probeGate);
    pumpUntil([&] { return listener_.finished.size() == 1; });
    EXPECT_EQ(listener_.only("finished"), (std::vector<std::string>{"finished 2 2"}));
    EXPECT_EQ(bad->getState(), convert::JobState::ProbeFailed);
    EXPECT_EQ(queue_->finishedThisRun(), 1);
    EXPECT_EQ(converting(), "0 1");
    EXPECT_EQ(next->getState(), convert::JobState::Waiting);

    release(held);
    pumpUntil([&] { return listener_.finished.size() == 2; });
    EXPECT_EQ(converting(), "0 3");
    pumpUntil([&] { return listener_.finished.size() == 3; });
    EXPECT_EQ(next->getState(), convert::JobState::Done);
    EXPECT_EQ(listener_.ended, 0);
    queue_->stopAll();
}

// Two rows of one name converting at once into one folder: both are held until both encoders run,
// so both names are chosen while the other's file is still being written, and neither is lost.
TEST_F(ConversionQueueSlotsTest, TwoRowsOfOneNameAtOnceKeepBothOutputs)
{
    const std::string gate1 = gate("gate1");
    const std::string gate2 = gate("gate2");
    const auto held = [&](const std::string& gatePath, const std::string& pid) {
        return "pidfile " + (dir_ / pid).string() + "\n" + heldScript(gatePath);
    };
    convertFile* first = add(source("a.mp4", held(gate1, "1.pid"), "one"));
    convertFile* second = add(source("a.mp4", held(gate2, "2.pid"), "two"));
    queue_->setMaxConverting(2);
    ASSERT_TRUE(queue_->start());
    ASSERT_GT(fakeencoder::waitForPidFile(dir_ / "1.pid"), 0);
    ASSERT_GT(fakeencoder::waitForPidFile(dir_ / "2.pid"), 0);
    release(gate2);
    release(gate1);
    pumpUntilEnded(listener_);
    std::vector<std::string> outputs = {first->getOutputPath(), second->getOutputPath()};
    std::sort(outputs.begin(), outputs.end());
    EXPECT_EQ(outputs, (std::vector<std::string>{out() + "/a.avi", out() + "/a_1.avi"}));
    for (const std::string& output : outputs)
        EXPECT_TRUE(std::filesystem::file_size(output) > 0);
}

// With one slot, the default, a raise in the middle of a run starts the next rows at once.
TEST_F(ConversionQueueSlotsTest, ARaiseWhileConvertingFillsTheNewSlotsAtOnce)
{
    add(source("a.mp4", "status 0\nhang\n"));
    add(source("b.mp4", "status 0\nhang\n"));
    add(source("c.mp4", "status 0\nhang\n"));
    ASSERT_TRUE(queue_->start());
    EXPECT_EQ(converting(), "0");
    queue_->setMaxConverting(3);
    EXPECT_EQ(converting(), "0 1 2");
    // A cut stops nothing.
    queue_->setMaxConverting(1);
    EXPECT_EQ(converting(), "0 1 2");
    queue_->stopAll();
    EXPECT_EQ(converting(), "");
    EXPECT_GE(ConversionQueue::processorCount(), 1);
    EXPECT_LE(ConversionQueue::processorCount(), ConversionQueue::kMaxSlots);
}

}  // namespace
