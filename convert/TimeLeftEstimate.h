#pragma once
// TimeLeftEstimate: how long the rows that are converting still need, and how long the whole queue
// does, from the media durations, the speeds the running encoders show and the speeds a
// SpeedHistory remembers per profile.
//
// A running row needs its media left (duration - position) times a rate in seconds of encoding
// per second of media. Its encoder's speed gives one rate, the history of its profile another;
// while a file has barely begun its early speed is unsteady, so the two are blended by the share
// of the file already done (at 10 % the encoder's speed weighs 0.1, at 90 % 0.9). With only one
// of them known, that one is used.
// A waiting row needs its duration times its profile's rate from the history, or, for a profile
// the history does not know yet, the rate of a running row of the same profile.
// The queue: the rows are spread over `slots` encoders running at once (as many as there are
// running rows, if that is more); each waiting row, in row order, goes to the encoder that is free
// first, and the queue is done when the last encoder is.
//
// "Unknown" (an empty optional) for a row without a duration (0: the probe has not read it, or
// could not) or without any rate; the queue is unknown as soon as any of its rows is.
//
// Threads: a pure function of its arguments.
#include "convert/SpeedHistory.h"

#include <optional>
#include <string>
#include <vector>

namespace convert {

struct RunningRowProgress {
    std::string profileName;
    double mediaSeconds = 0;              // the probed duration; 0 when unknown
    double positionSeconds = 0;           // where the encoder is in the media
    std::optional<double> speed;          // seconds of media per second of encoding, if measured
};

struct WaitingRowWork {
    std::string profileName;
    double mediaSeconds = 0;              // the probed duration; 0 when unknown
};

struct TimeLeft {
    std::vector<std::optional<double>> runningSeconds;  // one per running row, in the given order
    std::optional<double> queueSeconds;                 // 0 for an empty queue
};

class TimeLeftEstimate {
public:
    static TimeLeft estimate(const std::vector<RunningRowProgress>& running,
                             const std::vector<WaitingRowWork>& waiting, const SpeedHistory& history,
                             int slots = 1);

    // The rate (seconds of encoding per second of media) a running row goes at, as described
    // above; nothing when neither its speed nor its profile's history is known.
    static std::optional<double> runningRate(const RunningRowProgress& row, const SpeedHistory& history);
};

}  // namespace convert
