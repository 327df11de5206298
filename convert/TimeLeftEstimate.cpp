#include "convert/TimeLeftEstimate.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>

namespace convert {

namespace {

bool isKnownDuration(double seconds)
{
    return std::isfinite(seconds) && seconds > 0;
}

std::optional<double> rateOfSpeed(std::optional<double> speed)
{
    if (!speed || !std::isfinite(*speed) || *speed <= 0)
        return std::nullopt;
    const double rate = 1.0 / *speed;
    return std::isfinite(rate) ? std::optional(rate) : std::nullopt;
}

std::optional<double> runningSecondsLeft(const RunningRowProgress& row, const SpeedHistory& history)
{
    const std::optional<double> rate = TimeLeftEstimate::runningRate(row, history);
    if (!rate || !isKnownDuration(row.mediaSeconds))
        return std::nullopt;
    const double position = std::isfinite(row.positionSeconds) ? row.positionSeconds : 0;
    return std::clamp(row.mediaSeconds - position, 0.0, row.mediaSeconds) * *rate;
}

// A profile's rate for a waiting row: the history's, else that of a running row of the profile.
std::optional<double> waitingRate(const WaitingRowWork& row, const std::vector<RunningRowProgress>& running,
                                  const SpeedHistory& history)
{
    if (const std::optional<double> remembered = history.rate(row.profileName))
        return remembered;
    for (const RunningRowProgress& other : running)
        if (other.profileName == row.profileName)
            if (const std::optional<double> rate = TimeLeftEstimate::runningRate(other, history))
                return rate;
    return std::nullopt;
}

}  // namespace

std::optional<double> TimeLeftEstimate::runningRate(const RunningRowProgress& row, const SpeedHistory& history)
{
    const std::optional<double> measured = rateOfSpeed(row.speed);
    const std::optional<double> remembered = history.rate(row.profileName);
    if (!measured || !remembered)
        return measured ? measured : remembered;
    const double done = isKnownDuration(row.mediaSeconds) && std::isfinite(row.positionSeconds)
                            ? std::clamp(row.positionSeconds / row.mediaSeconds, 0.0, 1.0)
                            : 0.0;
    return done * *measured + (1 - done) * *remembered;
}

TimeLeft TimeLeftEstimate::estimate(const std::vector<RunningRowProgress>& running,
                                    const std::vector<WaitingRowWork>& waiting, const SpeedHistory& history,
                                    int slots)
{
    TimeLeft result;
    bool queueKnown = true;
    // The moments at which each encoder becomes free, earliest on top.
    std::priority_queue<double, std::vector<double>, std::greater<>> freeAt;
    for (const RunningRowProgress& row : running) {
        const std::optional<double> left = runningSecondsLeft(row, history);
        result.runningSeconds.push_back(left);
        queueKnown = queueKnown && left;
        freeAt.push(left.value_or(0));
    }
    // More encoders than rows change nothing; the bound keeps an absurd count from costing memory.
    const size_t encoders = std::min(static_cast<size_t>(std::max(slots, 1)), running.size() + waiting.size());
    while (freeAt.size() < encoders)
        freeAt.push(0);
    for (const WaitingRowWork& row : waiting) {
        const std::optional<double> rate = waitingRate(row, running, history);
        if (!rate || !isKnownDuration(row.mediaSeconds)) {
            queueKnown = false;
            break;
        }
        const double start = freeAt.top();
        freeAt.pop();
        freeAt.push(start + row.mediaSeconds * *rate);
    }
    if (queueKnown) {
        double last = 0;
        for (; !freeAt.empty(); freeAt.pop())
            last = freeAt.top();
        result.queueSeconds = last;
    }
    return result;
}

}  // namespace convert
