// The queue's time left, end to end: real jobs run the fake encoder, whose every file waits at a
// FIFO until the test lets it go, so the test moves the queue's scripted clock by exactly the time
// each file "takes". What the queue estimates is then checked against that arithmetic, and nothing
// depends on how fast or loaded the machine is.
#include "convert/ConversionQueue.h"

#include "convert/ConversionQueueLoop.h"
#include "convert/SpeedHistory.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/convert/ScriptedClock.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

using convert::JobState;

using convert::ConversionQueue;
using convert::convertFile;
using convert::SpeedHistory;

namespace {

constexpr const char* kProfileName = "AVI 720p";
constexpr const char16_t* kProfileName16 = u"AVI 720p";

// One file of the scripted queue: its duration and the speed its encoder goes at.
struct Clip {
    int mediaSeconds;
    double speed;
};

// Before its first status line an encoder opens its input and output; that costs the same for a
// short file and a long one, and the per-second rate the history keeps has to absorb it.
constexpr double kStartSeconds = 1.0;

double takes(const Clip& clip) { return clip.mediaSeconds / clip.speed + kStartSeconds; }

class Listener : public convert::ConversionQueueListener {
public:
    void onJobProbed(convertFile*) override { ++probed; }
    void onJobFinished(convertFile*, JobState state) override { finished.push_back(state); }
    void onJobProgress(convertFile*, int percent) override { lastPercent = percent; }
    void onQueueEnded() override { ++ended; }

    int probed = 0;
    int ended = 0;
    int lastPercent = -1;
    std::vector<convert::JobState> finished;
};

class ConversionQueueTimeLeftTest : public ::testing::Test {
protected:
    std::unique_ptr<ConversionQueue> makeQueue(Listener& listener)
    {
        auto queue = std::make_unique<ConversionQueue>(loop_.poster(), &listener, binding_.get());
        queue->setClock(clock_);
        queue->loadSpeedHistory(data());
        return queue;
    }
    std::filesystem::path data() const { return dir_ / "data"; }

    // A source whose probe finds `clip`'s duration and whose encoder waits at its own FIFO (`gate`),
    // then prints the status lines up to `reached` seconds (the end when negative) at the clip's
    // speed and runs `tail`.
    convertFile* add(ConversionQueue& queue, const std::string& name, const Clip& clip, std::string& gate,
                     int reached = -1, const std::string& tail = "write-output\n")
    {
        std::filesystem::create_directories(dir_ / "src");
        const std::filesystem::path probe = dir_ / "src" / (name + ".probe");
        std::string answer = testfixtures::read("probe-mp4-av-mp4.txt");
        char duration[32];
        std::snprintf(duration, sizeof duration, "%02d:%02d:%02d.00", clip.mediaSeconds / 3600,
                      clip.mediaSeconds / 60 % 60, clip.mediaSeconds % 60);
        answer.replace(answer.find("00:00:02.00"), 11, duration);
        testsupport::writeText(probe, answer);
        const std::filesystem::path fifo = dir_ / "src" / (name + ".gate");
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        gate = fifo.string();
        char statuses[96];
        std::snprintf(statuses, sizeof statuses, "statuses 0 %d 5 %.3f\n", reached < 0 ? clip.mediaSeconds : reached,
                      clip.speed);
        const std::string script = "probe: cat " + probe.string() + "\nawait " + gate + "\n" + statuses + tail;

        convertFile job;
        job.setDisposed(true);
        job.setSource(fakeencoder::writeScript(dir_ / "src" / (name + ".mp4"), script), 100);
        job.setTargetFolder((dir_ / "out").string());
        profile::ProfileRecord record = profile::makeEmptyProfileRecord();
        record.conversionType = 8;  // AVI
        profile::setFieldText(record.profileName, profile::kProfileTextChars, kProfileName16);
        job.setProfile(record);
        return queue.addJob(job);
    }

    // Opening the FIFO waits until the encoder has started and opened it; the file then "takes"
    // its time on the clock before the encoder may go on.
    void letGo(const std::string& gate, const Clip& clip)
    {
        std::ofstream opened(gate);
        clock_.advanceSeconds(takes(clip));
        opened << "go\n";
    }

    void pumpUntil(const std::function<bool()>& done)
    {
        while (!done())
            ASSERT_TRUE(loop_.runOneWithin(std::chrono::seconds(60))) << "a report never arrived";
    }

    testsupport::TempDir dir_;
    std::unique_ptr<convert::EncoderBinding> binding_ = fakeencoder::binding();
    testclock::ScriptedClock clock_;
    convert::ConversionQueueLoop loop_;  // before the queues: it must outlive them
};

}  // namespace

// Five clips of one profile, of different lengths and slightly different paces: once the first is
// converted the queue knows the profile's rate, and its estimate for the other four is within
// 15 % of the time they then take. The history is saved, and a later queue estimates its first
// file from it before anything has run.
TEST_F(ConversionQueueTimeLeftTest, FiveClipsEstimateAfterTheFirstWithinFifteenPercentAndLaterQueuesRemember)
{
    const std::vector<Clip> clips = {{40, 2.0}, {65, 1.9}, {30, 2.15}, {80, 1.8}, {50, 2.05}};
    Listener listener;
    auto queue = makeQueue(listener);
    ASSERT_EQ(queue->speedHistory().loaded(), SpeedHistory::Loaded::Missing);
    std::vector<std::string> gates(clips.size());
    std::vector<convertFile*> jobs;
    for (size_t i = 0; i < clips.size(); ++i)
        jobs.push_back(add(*queue, "clip" + std::to_string(i), clips[i], gates[i]));
    pumpUntil([&] { return listener.probed == static_cast<int>(clips.size()); });
    EXPECT_FALSE(queue->timeLeft().queueSeconds);  // an idle queue has no time left to tell

    ASSERT_TRUE(queue->start());
    // Nothing is known of the profile yet.
    ConversionQueue::TimeLeftNow now = queue->timeLeft();
    ASSERT_EQ(now.running.size(), 1u);
    EXPECT_EQ(now.running[0].job, jobs[0]);
    EXPECT_FALSE(now.running[0].seconds);
    EXPECT_FALSE(now.queueSeconds);

    letGo(gates[0], clips[0]);
    pumpUntil([&] { return listener.finished.size() == 1; });
    ASSERT_EQ(listener.finished[0], convert::JobState::Done);
    ASSERT_EQ(jobs[0]->encodingSeconds(), takes(clips[0]));

    // The second file has just started: it and the three waiting ones go at the first one's rate.
    now = queue->timeLeft();
    ASSERT_EQ(now.running.size(), 1u);
    EXPECT_EQ(now.running[0].job, jobs[1]);
    EXPECT_EQ(now.find(jobs[0]), nullptr);
    const double rate = takes(clips[0]) / clips[0].mediaSeconds;
    ASSERT_TRUE(now.running[0].seconds);
    EXPECT_NEAR(*now.running[0].seconds, rate * clips[1].mediaSeconds, 0.01);
    double mediaLeft = 0;
    for (size_t i = 1; i < clips.size(); ++i)
        mediaLeft += clips[i].mediaSeconds;
    ASSERT_TRUE(now.queueSeconds);
    EXPECT_NEAR(*now.queueSeconds, rate * mediaLeft, 0.01);

    double truth = 0;
    const int64_t before = clock_.nowMillis();
    for (size_t i = 1; i < clips.size(); ++i) {
        truth += takes(clips[i]);
        letGo(gates[i], clips[i]);
        pumpUntil([&] { return listener.finished.size() == i + 1; });
    }
    pumpUntil([&] { return listener.ended == 1; });
    EXPECT_NEAR((clock_.nowMillis() - before) / 1000.0, truth, 0.01);
    const double error = std::abs(*now.queueSeconds - truth) / truth;
    std::printf("five clips after the first: estimate %.1f s, real %.1f s, error %.1f %%\n", *now.queueSeconds, truth,
                error * 100);
    EXPECT_LT(error, 0.15);
    EXPECT_EQ(listener.finished, std::vector<convert::JobState>(clips.size(), convert::JobState::Done));

    // Saved after each file, and read back by the next queue.
    const SpeedHistory saved(data());
    ASSERT_EQ(saved.loaded(), SpeedHistory::Loaded::Read);
    ASSERT_TRUE(saved.rate(kProfileName));
    EXPECT_EQ(saved.remembered().at(kProfileName).samples, clips.size());

    Listener laterListener;
    auto later = makeQueue(laterListener);
    std::string laterGate;
    convertFile* first = add(*later, "later", {60, 2.0}, laterGate);
    pumpUntil([&] { return laterListener.probed == 1; });
    ASSERT_TRUE(later->start());
    now = later->timeLeft();
    ASSERT_TRUE(now.queueSeconds);
    EXPECT_NEAR(*now.queueSeconds, *saved.rate(kProfileName) * 60, 0.01);
    later->stopAll();
    EXPECT_EQ(first->getState(), convert::JobState::Waiting);
}

// The converting row's speed is the one its encoder states; once the status lines reach the end
// nothing is left of the file. A stopped run and a failed one teach the history nothing.
TEST_F(ConversionQueueTimeLeftTest, RunningRowShowsItsEncodersSpeedAndOnlySuccessesAreRemembered)
{
    Listener listener;
    auto queue = makeQueue(listener);
    // The encoder goes on from its first status line, and ends, only when further gates open, so
    // the test looks at it while it runs.
    const std::filesystem::path more = dir_ / "paced.more";
    const std::filesystem::path hold = dir_ / "paced.hold";
    ASSERT_EQ(::mkfifo(more.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(hold.c_str(), 0600), 0);
    std::string gate;
    convertFile* job = add(*queue, "paced", {20, 2.5}, gate, 0,
                           "await " + more.string() + "\nstatuses 5 20 5 2.5\nawait " + hold.string() +
                               "\nwrite-output\n");
    pumpUntil([&] { return listener.probed == 1; });
    ASSERT_TRUE(queue->start());
    EXPECT_FALSE(job->encoderPace().speed);

    // The first status line comes while the encoder starts up: its speed is not taken.
    letGo(gate, {20, 2.5});
    pumpUntil([&] { return listener.lastPercent == 0; });
    EXPECT_TRUE(job->encoderPace().running);
    EXPECT_FALSE(job->encoderPace().speed);
    EXPECT_FALSE(queue->timeLeft().queueSeconds);

    std::ofstream(more) << "go\n";
    pumpUntil([&] { return listener.lastPercent == 100; });
    const convertFile::EncoderPace pace = job->encoderPace();
    EXPECT_TRUE(pace.running);
    EXPECT_EQ(pace.speed, 2.5);
    EXPECT_DOUBLE_EQ(pace.positionSeconds, 20);
    const ConversionQueue::TimeLeftNow now = queue->timeLeft();
    ASSERT_NE(now.find(job), nullptr);
    EXPECT_EQ(now.find(job)->speed, 2.5);
    EXPECT_EQ(now.find(job)->seconds, 0.0);
    EXPECT_EQ(now.queueSeconds, 0.0);

    // Stopped while the encoder waits: nothing is remembered, nothing is written.
    queue->stopAll();
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_FALSE(job->encoderPace().running);
    EXPECT_FALSE(job->encodingSeconds());
    loop_.runPending();
    EXPECT_FALSE(queue->speedHistory().rate(kProfileName));
    EXPECT_FALSE(std::filesystem::exists(data() / SpeedHistory::kFileName));

    // A run that falls short of the duration fails and teaches nothing either.
    std::string shortGate;
    convertFile* cut = add(*queue, "cut", {40, 2.0}, shortGate, 10);
    pumpUntil([&] { return listener.probed == 2; });
    queue->removeJob(job);
    ASSERT_TRUE(queue->start());
    letGo(shortGate, {40, 2.0});
    pumpUntil([&] { return listener.ended == 1; });
    EXPECT_EQ(cut->getState(), convert::JobState::Failed);
    EXPECT_FALSE(cut->encodingSeconds());
    EXPECT_FALSE(queue->speedHistory().rate(kProfileName));
}

// A FIFO where the history should be never holds the queue up: it is set aside, the estimate
// starts afresh, and the next success writes a plain file in its place.
TEST_F(ConversionQueueTimeLeftTest, AFifoInPlaceOfTheHistoryIsSetAsideAndReplacedByTheNextSuccess)
{
    std::filesystem::create_directories(data());
    const std::filesystem::path file = data() / SpeedHistory::kFileName;
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    Listener listener;
    auto queue = makeQueue(listener);
    EXPECT_EQ(queue->speedHistory().loaded(), SpeedHistory::Loaded::SetAside);
    EXPECT_TRUE(std::filesystem::is_fifo(queue->speedHistory().badPath()));

    std::string gate;
    add(*queue, "after", {10, 2.0}, gate);
    pumpUntil([&] { return listener.probed == 1; });
    ASSERT_TRUE(queue->start());
    letGo(gate, {10, 2.0});
    pumpUntil([&] { return listener.ended == 1; });
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    const SpeedHistory saved(data());
    EXPECT_EQ(saved.loaded(), SpeedHistory::Loaded::Read);
    EXPECT_EQ(saved.rate(kProfileName), takes({10, 2.0}) / 10);
}
