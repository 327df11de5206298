#include "convert/EncodingSpeedMeter.h"

#include "convert/EncoderOutputReader.h"
#include "tests/convert/ScriptedClock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using convert::EncoderOutputReader;
using convert::EncoderProgram;
using convert::EncodingSpeedMeter;

namespace {

std::string mencoderLine(double seconds, int frame)
{
    char line[128];
    std::snprintf(line, sizeof line, "Pos: %5.1fs %6df (10%%)  0.00fps Trem:   0min   0mb  A-V:0.000 [0:0]\r",
                  seconds, frame);
    return line;
}

}  // namespace

TEST(EncodingSpeedMeterTest, NothingBeforeStartOrBeforeASecondHasPassed)
{
    testclock::ScriptedClock clock;
    EncodingSpeedMeter meter(clock);
    meter.observe(5000, std::nullopt);  // before start(): ignored
    EXPECT_FALSE(meter.speed());
    EXPECT_EQ(meter.elapsedSeconds(), 0);
    EXPECT_EQ(meter.positionSeconds(), 0);

    meter.start();
    clock.advanceMillis(500);
    meter.observe(1000, std::nullopt);
    EXPECT_FALSE(meter.speed());  // half a second is too little to measure over
    EXPECT_DOUBLE_EQ(meter.positionSeconds(), 1.0);
    clock.advanceMillis(500);
    meter.observe(2000, std::nullopt);
    EXPECT_DOUBLE_EQ(*meter.speed(), 2.0);
    EXPECT_DOUBLE_EQ(meter.elapsedSeconds(), 1.0);
}

TEST(EncodingSpeedMeterTest, StatedSpeedWinsWhileTheLatestLineHasOne)
{
    testclock::ScriptedClock clock;
    EncodingSpeedMeter meter(clock);
    meter.start();
    clock.advanceMillis(200);
    meter.observe(100, 0.5);  // stated at once, no wait for a measurement
    EXPECT_DOUBLE_EQ(*meter.speed(), 0.5);
    clock.advanceMillis(1800);
    meter.observe(4000, std::nullopt);  // "speed=N/A": measured instead, 4 s of media in 2 s
    EXPECT_DOUBLE_EQ(*meter.speed(), 2.0);
}

// The pace drops from 4x to 1x: within one window the measured speed is the new pace.
TEST(EncodingSpeedMeterTest, MeasuredSpeedFollowsAChangeOfPaceWithinTheWindow)
{
    testclock::ScriptedClock clock;
    EncodingSpeedMeter meter(clock);
    meter.start();
    int64_t position = 0;
    for (int step = 0; step < 60; ++step) {  // 30 s at 4x
        clock.advanceMillis(500);
        meter.observe(position += 2000, std::nullopt);
    }
    EXPECT_NEAR(*meter.speed(), 4.0, 1e-9);
    for (int step = 0; step < 10; ++step) {  // 5 s at 1x: half the window, between the two
        clock.advanceMillis(500);
        meter.observe(position += 500, std::nullopt);
    }
    EXPECT_GT(*meter.speed(), 1.5);
    EXPECT_LT(*meter.speed(), 3.5);
    for (int step = 0; step < 20; ++step) {  // a whole window at 1x
        clock.advanceMillis(500);
        meter.observe(position += 500, std::nullopt);
    }
    EXPECT_NEAR(*meter.speed(), 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(meter.elapsedSeconds(), 45.0);
}

TEST(EncodingSpeedMeterTest, StandingStillOrGoingBackMeasuresAfresh)
{
    testclock::ScriptedClock clock;
    EncodingSpeedMeter meter(clock);
    meter.start();
    clock.advanceMillis(2000);
    meter.observe(0, std::nullopt);  // no media advanced: no speed, never a division by zero
    EXPECT_FALSE(meter.speed());
    clock.advanceMillis(2000);
    meter.observe(6000, std::nullopt);
    EXPECT_DOUBLE_EQ(*meter.speed(), 1.5);
    clock.advanceMillis(500);
    meter.observe(1000, std::nullopt);  // a count that started again
    EXPECT_FALSE(meter.speed());
    clock.advanceMillis(1000);
    meter.observe(3000, std::nullopt);
    EXPECT_DOUBLE_EQ(*meter.speed(), 2.0);
    meter.observe(-500, std::nullopt);  // negative positions count as 0
    EXPECT_EQ(meter.positionSeconds(), 0);
    meter.start();  // a new run forgets the old one
    EXPECT_FALSE(meter.speed());
    EXPECT_EQ(meter.elapsedSeconds(), 0);
}

// A flood of status lines in no time keeps the window bounded and the speed sound.
TEST(EncodingSpeedMeterTest, AFloodOfLinesStaysBounded)
{
    testclock::ScriptedClock clock;
    EncodingSpeedMeter meter(clock);
    meter.start();
    for (int64_t line = 1; line <= 200000; ++line) {
        if (line % 100 == 0)
            clock.advanceMillis(1);
        meter.observe(line, std::nullopt);
    }
    EXPECT_NEAR(*meter.speed(), 100.0, 1.0);
}

// mencoder's status lines, fed through the reader: the meter measures from their "Pos:" seconds.
TEST(EncodingSpeedMeterTest, MeasuresMencoderFromItsPositions)
{
    testclock::ScriptedClock clock;
    EncodingSpeedMeter meter(clock);
    EncoderOutputReader reader(EncoderProgram::Mencoder, 0);
    meter.start();
    for (int frame = 1; frame <= 250; ++frame) {  // 25 frames a second of media, 50 lines a second
        clock.advanceMillis(20);
        if (reader.feed(mencoderLine(frame / 25.0, frame)))
            meter.observe(reader.lastTimeMillis(), reader.reportedSpeed());
    }
    // One line's media time is printed to a tenth of a second, so the measure is that coarse.
    EXPECT_NEAR(*meter.speed(), 2.0, 0.05);
}
