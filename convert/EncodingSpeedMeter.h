#pragma once
// EncodingSpeedMeter: how fast one running encoder gets through its media, in seconds of media per
// second of encoding (2.0: a ten-minute film takes five minutes), and how long it has run.
//
// The speed is the one the encoder states on its status line (ffmpeg's "speed=") when the latest
// line stated one. Otherwise (mencoder, or ffmpeg before it knows) it is measured: the media time
// the status lines advanced over the time that passed, across the last kWindowMillis, so that a
// change of pace shows within that window rather than being averaged away over a long file.
// Time is read from an AwakeClock, so a suspend in the middle of a file counts for nothing.
//
// Threads: not thread-safe; one meter belongs to one job, fed on its thread. The clock must
// outlive the meter.
#include "platform/core/AwakeClock.h"

#include <cstdint>
#include <deque>
#include <optional>

namespace convert {

class EncodingSpeedMeter {
public:
    // The span of status lines a measured speed looks back over.
    static constexpr int64_t kWindowMillis = 10000;
    // A measured speed needs at least this much time behind it; over less, a status line arriving
    // a little early or late would swing it wildly.
    static constexpr int64_t kShortestSpanMillis = 1000;

    explicit EncodingSpeedMeter(const platform::AwakeClock& clock);

    // The encoder has started: its run is timed from now, at media position 0. Starting again
    // forgets the earlier run.
    void start();
    // A status line: the encoder's media position (EncoderOutputReader::lastTimeMillis()) and the
    // speed it stated, if any. A position behind the previous one (a restarted count) starts the
    // measuring window afresh. Ignored before start().
    void observe(int64_t positionMillis, std::optional<double> reportedSpeed);

    // Seconds of media per second of encoding; nothing until a status line stated a speed or
    // enough time has passed to measure one (and nothing while the media stands still).
    std::optional<double> speed() const;
    // Seconds on the awake clock since start(); 0 before it.
    double elapsedSeconds() const;
    // The latest media position in seconds; 0 before any status line.
    double positionSeconds() const;

private:
    struct Sample {
        int64_t atMillis;
        int64_t positionMillis;
    };
    std::optional<double> measuredSpeed() const;

    const platform::AwakeClock& clock_;
    std::optional<int64_t> startedAt_;
    std::deque<Sample> window_;
    std::optional<double> reportedSpeed_;
};

}  // namespace convert
