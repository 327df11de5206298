#include "convert/TimeLeftEstimate.h"

#include "convert/EncoderOutputReader.h"
#include "convert/EncodingSpeedMeter.h"
#include "tests/convert/ScriptedClock.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

using convert::EncoderOutputReader;
using convert::EncoderProgram;
using convert::EncodingSpeedMeter;
using convert::RunningRowProgress;
using convert::SpeedHistory;
using convert::TimeLeft;
using convert::TimeLeftEstimate;
using convert::WaitingRowWork;

namespace {

// One clip of a scripted encoder: its length, its average pace (seconds of media per second) and
// how much the pace swings within the file (0.2: 20 % either way over the file).
struct Clip {
    double mediaSeconds;
    double speed;
    double swing = 0;
};

// Before its first status line an encoder opens its input and output; after the last it writes
// the trailer. Both cost time whatever the clip's length, which a per-second rate must absorb.
constexpr double kStartSeconds = 1.5;
constexpr double kEndSeconds = 0.5;
constexpr double kLineEverySeconds = 0.5;

std::string statusLine(EncoderProgram program, double positionSeconds, std::optional<double> speed)
{
    char line[160];
    if (program == EncoderProgram::Mencoder) {
        std::snprintf(line, sizeof line, "Pos: %6.1fs %6df (10%%)  0.00fps Trem:   0min   0mb\r", positionSeconds,
                      static_cast<int>(positionSeconds * 25));
    } else {
        const int whole = static_cast<int>(positionSeconds);
        const int hundredths = static_cast<int>((positionSeconds - whole) * 100);
        char speedText[32] = "N/A";
        if (speed)
            std::snprintf(speedText, sizeof speedText, "%.3gx", *speed);
        std::snprintf(line, sizeof line, "frame= 100 fps= 25 q=2.0 size=     120kB time=%02d:%02d:%02d.%02d "
                      "bitrate= 402.0kbits/s speed=%s    \r", whole / 3600, whole / 60 % 60, whole % 60, hundredths,
                      speedText);
    }
    return line;
}

// Runs one clip through the reader and the meter on the scripted clock, as a job would, and
// records it in the history. Returns the seconds the clip took.
double encodeClip(EncoderProgram program, const Clip& clip, testclock::ScriptedClock& clock, SpeedHistory& history)
{
    EncodingSpeedMeter meter(clock);
    EncoderOutputReader reader(program, static_cast<int64_t>(clip.mediaSeconds * 1000));
    meter.start();
    clock.advanceSeconds(kStartSeconds);
    double position = 0;
    double encoding = 0;
    while (position < clip.mediaSeconds) {
        // The pace swings over the file like a sine: quick and slow scenes.
        const double pace = clip.speed * (1 + clip.swing * std::sin(position / clip.mediaSeconds * 6.283));
        position = std::min(clip.mediaSeconds, position + pace * kLineEverySeconds);
        clock.advanceSeconds(kLineEverySeconds);
        encoding += kLineEverySeconds;
        // ffmpeg's speed counts from its own start, after the opening.
        if (reader.feed(statusLine(program, position, position / encoding)))
            meter.observe(reader.lastTimeMillis(), reader.reportedSpeed());
    }
    clock.advanceSeconds(kEndSeconds);
    reader.finish();
    EXPECT_TRUE(history.record("MP4 720p", meter.elapsedSeconds(), clip.mediaSeconds));
    return meter.elapsedSeconds();
}

// Converts the clips one after the other. Right after the first, when the second has just started,
// the queue's estimate is compared with the time the rest really takes. Returns the error as a
// share of the true time.
double errorAfterFirstClip(EncoderProgram program, const std::vector<Clip>& clips, SpeedHistory& history)
{
    testclock::ScriptedClock clock;
    encodeClip(program, clips[0], clock, history);
    std::vector<WaitingRowWork> waiting;
    for (size_t i = 2; i < clips.size(); ++i)
        waiting.push_back({"MP4 720p", clips[i].mediaSeconds});
    const RunningRowProgress second{"MP4 720p", clips[1].mediaSeconds, 0, std::nullopt};
    const TimeLeft estimate = TimeLeftEstimate::estimate({second}, waiting, history);
    double truth = 0;
    for (size_t i = 1; i < clips.size(); ++i)
        truth += encodeClip(program, clips[i], clock, history);
    EXPECT_TRUE(estimate.queueSeconds);
    return std::abs(estimate.queueSeconds.value_or(0) - truth) / truth;
}

const std::vector<Clip> kFiveClips = {{42, 2.0, 0.2}, {65, 1.8, 0.2}, {30, 2.2, 0.3}, {80, 1.9, 0.1}, {51, 2.1, 0.2}};

}  // namespace

// The accuracy the estimate is built for: five clips of one profile, of different lengths and
// slightly different paces, with an encoder's fixed start and end costs.
TEST(TimeLeftEstimateTest, FiveClipsEstimateAfterTheFirstWithinFifteenPercent)
{
    for (EncoderProgram program : {EncoderProgram::Ffmpeg, EncoderProgram::Mencoder}) {
        SCOPED_TRACE(program == EncoderProgram::Ffmpeg ? "ffmpeg" : "mencoder");
        SpeedHistory fresh;
        const double error = errorAfterFirstClip(program, kFiveClips, fresh);
        std::printf("five clips, no history: error after the first %.1f %%\n", error * 100);
        EXPECT_LT(error, 0.15);
    }
    // Another day's history three times too slow must not spoil this run's estimate.
    testsupport::TempDir dir;
    testsupport::writeText(dir / "speed.dat", SpeedHistory::encode({{"MP4 720p", {1.5, 20}}}));
    SpeedHistory stale(dir.path());
    ASSERT_EQ(stale.loaded(), SpeedHistory::Loaded::Read);
    const double error = errorAfterFirstClip(EncoderProgram::Ffmpeg, kFiveClips, stale);
    std::printf("five clips, stale history: error after the first %.1f %%\n", error * 100);
    EXPECT_LT(error, 0.15);
}

// The estimate of a running row as its encoder slows down: the row's time left follows.
TEST(TimeLeftEstimateTest, RunningRowFollowsASpeedChange)
{
    SpeedHistory history;
    ASSERT_TRUE(history.record("AVI", 50, 100));  // 0.5 s a second of media
    RunningRowProgress row{"AVI", 100, 0, std::nullopt};
    // Not begun: the history alone.
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({row}, {}, history).runningSeconds[0], 50.0);
    // A quarter done at half the pace the history knows (rate 2 s): mostly the history still.
    row.positionSeconds = 25;
    row.speed = 0.5;
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::runningRate(row, history), 0.25 * 2.0 + 0.75 * 0.5);
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({row}, {}, history).runningSeconds[0], 75 * 0.875);
    // Nine tenths done: mostly the encoder's own speed.
    row.positionSeconds = 90;
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({row}, {}, history).runningSeconds[0], 10 * (0.9 * 2.0 + 0.1 * 0.5));
    // Without any history the speed alone; past the end nothing is left.
    const SpeedHistory none;
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({row}, {}, none).runningSeconds[0], 20.0);
    row.positionSeconds = 130;
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({row}, {}, none).runningSeconds[0], 0.0);

    // Through the meter: a file at 2x that drops to 1x. The estimate at the drop is too hopeful;
    // a window later the time left is what the new pace makes it.
    testclock::ScriptedClock clock;
    EncodingSpeedMeter meter(clock);
    meter.start();
    int64_t position = 0;
    for (int line = 0; line < 40; ++line, clock.advanceMillis(500))
        meter.observe(position += 1000, std::nullopt);
    for (int line = 0; line < 25; ++line, clock.advanceMillis(500))
        meter.observe(position += 500, std::nullopt);
    const RunningRowProgress slowed{"MPG", 200, meter.positionSeconds(), meter.speed()};
    EXPECT_NEAR(*TimeLeftEstimate::estimate({slowed}, {}, none).runningSeconds[0], 200 - 52.5, 0.5);
}

TEST(TimeLeftEstimateTest, UnknownDurationsOrSpeedsMakeTheQueueUnknown)
{
    SpeedHistory history;
    ASSERT_TRUE(history.record("AVI", 10, 10));
    const RunningRowProgress running{"AVI", 60, 30, 2.0};
    const TimeLeft known = TimeLeftEstimate::estimate({running}, {{"AVI", 40}}, history);
    EXPECT_DOUBLE_EQ(*known.runningSeconds[0], 30 * (0.5 * 0.5 + 0.5 * 1.0));
    EXPECT_DOUBLE_EQ(*known.queueSeconds, 22.5 + 40);

    // A waiting row the probe has not measured yet.
    TimeLeft result = TimeLeftEstimate::estimate({running}, {{"AVI", 40}, {"AVI", 0}}, history);
    EXPECT_TRUE(result.runningSeconds[0]);
    EXPECT_FALSE(result.queueSeconds);
    // A running row without a duration: neither it nor the queue is known.
    result = TimeLeftEstimate::estimate({{"AVI", 0, 30, 2.0}}, {}, history);
    EXPECT_FALSE(result.runningSeconds[0]);
    EXPECT_FALSE(result.queueSeconds);
    // A profile nobody has measured, and none of its files runs.
    EXPECT_FALSE(TimeLeftEstimate::estimate({running}, {{"MKV", 40}}, history).queueSeconds);
    // No history for the running row's profile and no speed yet: unknown until the first line.
    EXPECT_FALSE(TimeLeftEstimate::estimate({{"MKV", 60, 0, std::nullopt}}, {}, history).runningSeconds[0]);
    // The profile is not in the history, but one of its files runs: its rate serves the others.
    result = TimeLeftEstimate::estimate({{"MKV", 60, 30, 0.5}}, {{"MKV", 10}}, history);
    EXPECT_DOUBLE_EQ(*result.queueSeconds, 30 * 2.0 + 10 * 2.0);
    // Nothing queued: nothing left.
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({}, {}, history).queueSeconds, 0.0);
}

TEST(TimeLeftEstimateTest, FiguresThatAreNoNumbersNeverLeak)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    SpeedHistory history;
    ASSERT_TRUE(history.record("AVI", 10, 10));
    for (double speed : {nan, inf, -2.0, 0.0, 1e-320}) {
        SCOPED_TRACE(speed);
        // A speed that is none falls back on the history; 1e-320 is a speed whose rate overflows.
        EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({{"AVI", 60, 0, speed}}, {}, history).runningSeconds[0], 60.0);
    }
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({{"AVI", 60, nan, std::nullopt}}, {}, history).runningSeconds[0],
                     60.0);
    EXPECT_FALSE(TimeLeftEstimate::estimate({{"AVI", inf, 0, 1.0}}, {}, history).runningSeconds[0]);
    EXPECT_FALSE(TimeLeftEstimate::estimate({{"AVI", nan, 0, 1.0}}, {}, history).runningSeconds[0]);
    EXPECT_FALSE(TimeLeftEstimate::estimate({}, {{"AVI", nan}}, history).queueSeconds);
    EXPECT_FALSE(TimeLeftEstimate::estimate({}, {{"AVI", -5}}, history).queueSeconds);
}

// Two encoders at once: each waiting row, in row order, goes to the one that is free first.
TEST(TimeLeftEstimateTest, RowsSpreadOverSeveralEncodersInRowOrder)
{
    SpeedHistory history;
    ASSERT_TRUE(history.record("AVI", 10, 10));  // one second a second
    const std::vector<RunningRowProgress> running = {{"AVI", 20, 10, 1.0}, {"AVI", 40, 10, 1.0}};
    const std::vector<WaitingRowWork> waiting = {{"AVI", 20}, {"AVI", 5}, {"AVI", 10}};
    // Free at 10 and 30; the 20 s row runs 10..30, the 5 s row 30..35 and the 10 s row 30..40.
    TimeLeft result = TimeLeftEstimate::estimate(running, waiting, history, 2);
    EXPECT_DOUBLE_EQ(*result.runningSeconds[0], 10.0);
    EXPECT_DOUBLE_EQ(*result.runningSeconds[1], 30.0);
    EXPECT_DOUBLE_EQ(*result.queueSeconds, 40.0);
    // One slot set while two still run (the setting was lowered): the two finish as they are.
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate(running, waiting, history, 1).queueSeconds, 40.0);
    // Three encoders: the idle third takes the first waiting row at once.
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate(running, waiting, history, 3).queueSeconds, 30.0);
    // From nothing running: two slots share 20, 5 and 10 as 0..20 and 0..5..15.
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({}, waiting, history, 2).queueSeconds, 20.0);
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({}, waiting, history, 1).queueSeconds, 35.0);
    // Counts that make no sense: fewer than one is one; a huge one is as many as there are rows.
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({}, waiting, history, 0).queueSeconds, 35.0);
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({}, waiting, history, -3).queueSeconds, 35.0);
    EXPECT_DOUBLE_EQ(*TimeLeftEstimate::estimate({}, waiting, history, INT_MAX).queueSeconds, 20.0);
}
