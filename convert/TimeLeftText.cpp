#include "convert/TimeLeftText.h"

#include "convert/EncoderOutputReader.h"

#include <cmath>
#include <cstdio>

namespace convert {

namespace {

constexpr double kLongestShownSeconds = 100.0 * 3600;

}  // namespace

std::string TimeLeftText::timeLeft(std::optional<double> seconds)
{
    if (!seconds || !(*seconds >= 0))
        return "剩余时间未知";
    if (*seconds >= kLongestShownSeconds)
        return "剩余超过 100 小时";
    const long whole = static_cast<long>(std::ceil(*seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%02ld:%02ld", whole / 60, whole % 60);
    return std::string("剩余约 ") + text;
}

std::string TimeLeftText::speed(std::optional<double> mediaSecondsPerSecond)
{
    // No encoder reaches the reader's limit; a larger figure is no speed to show.
    if (!mediaSecondsPerSecond || !(*mediaSecondsPerSecond > 0) ||
        *mediaSecondsPerSecond > EncoderOutputReader::kMaxReportedSpeed)
        return {};
    char text[48];
    std::snprintf(text, sizeof text, "%.2fx", *mediaSecondsPerSecond);
    return text;
}

std::string TimeLeftText::rowPace(std::optional<double> mediaSecondsPerSecond, std::optional<double> seconds)
{
    const std::string shownSpeed = speed(mediaSecondsPerSecond);
    return (shownSpeed.empty() ? std::string() : "速度 " + shownSpeed + " ") + timeLeft(seconds);
}

std::string TimeLeftText::withTimeLeft(const std::string& status, std::optional<double> seconds)
{
    if (!seconds || !(*seconds >= 0))
        return status;
    return status + " " + timeLeft(seconds);
}

}  // namespace convert
