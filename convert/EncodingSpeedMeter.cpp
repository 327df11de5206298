#include "convert/EncodingSpeedMeter.h"

namespace convert {

namespace {

// Lines closer together than this replace each other in the window, so an encoder that prints
// thousands of status lines a second keeps it at about a hundred samples.
constexpr int64_t kSampleSpacingMillis = 100;

}  // namespace

EncodingSpeedMeter::EncodingSpeedMeter(const platform::AwakeClock& clock) : clock_(clock) {}

void EncodingSpeedMeter::start()
{
    startedAt_ = clock_.nowMillis();
    window_.assign(1, Sample{*startedAt_, 0});
    reportedSpeed_.reset();
}

void EncodingSpeedMeter::observe(int64_t positionMillis, std::optional<double> reportedSpeed)
{
    if (!startedAt_)
        return;
    const Sample sample{clock_.nowMillis(), positionMillis < 0 ? 0 : positionMillis};
    if (sample.positionMillis < window_.back().positionMillis)
        window_.clear();
    if (window_.size() >= 2 && sample.atMillis - window_[window_.size() - 2].atMillis < kSampleSpacingMillis)
        window_.back() = sample;
    else
        window_.push_back(sample);
    // Keep the newest sample that is at least a window old, so the span covers the whole window.
    while (window_.size() > 2 && sample.atMillis - window_[1].atMillis >= kWindowMillis)
        window_.pop_front();
    reportedSpeed_ = reportedSpeed;
}

std::optional<double> EncodingSpeedMeter::speed() const
{
    if (reportedSpeed_)
        return reportedSpeed_;
    return measuredSpeed();
}

std::optional<double> EncodingSpeedMeter::measuredSpeed() const
{
    if (window_.size() < 2)
        return std::nullopt;
    const Sample& oldest = window_.front();
    const Sample& newest = window_.back();
    const int64_t span = newest.atMillis - oldest.atMillis;
    const int64_t advanced = newest.positionMillis - oldest.positionMillis;
    if (span < kShortestSpanMillis || advanced <= 0)
        return std::nullopt;
    return static_cast<double>(advanced) / static_cast<double>(span);
}

double EncodingSpeedMeter::elapsedSeconds() const
{
    if (!startedAt_)
        return 0;
    return static_cast<double>(clock_.nowMillis() - *startedAt_) / 1000.0;
}

double EncodingSpeedMeter::positionSeconds() const
{
    if (window_.empty())
        return 0;
    return static_cast<double>(window_.back().positionMillis) / 1000.0;
}

}  // namespace convert
