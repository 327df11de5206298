#pragma once
// TimeLeftText: the words the conversion page shows for an estimate, as pure functions.
//
//   timeLeft(75)      "剩余约 01:15"       minutes and seconds under an hour
//   timeLeft(3725)    "剩余约 1:02:05"     hours, minutes and seconds from an hour on
//   timeLeft(>= 100 h) "剩余超过 100 小时"  no estimate that far out means anything
//   timeLeft(unknown, negative, not a number)  "剩余时间未知"
//   speed(1.234)      "1.23x"             seconds of media per second of encoding
//   speed(unknown, 0 or less, above 1e6, not a number)  ""
//   rowPace(1.234, 75)   "速度 1.23x 剩余约 01:15"   a converting row; without a speed only the time
//   withTimeLeft("正在转换文件,请稍候...", 75)   "正在转换文件,请稍候... 剩余约 01:15"; unknown: unchanged
// Seconds are rounded up, so a file with half a second left does not read "00:00".
//
// Threads: any thread.
#include <optional>
#include <string>

namespace convert {

class TimeLeftText {
public:
    static std::string timeLeft(std::optional<double> seconds);
    static std::string speed(std::optional<double> mediaSecondsPerSecond);
    // What a converting row says of its encoder: its speed, when known, and its time left.
    static std::string rowPace(std::optional<double> mediaSecondsPerSecond, std::optional<double> seconds);
    // A status line with the queue's time left after it; the line alone while that is unknown,
    // since a status line that says "unknown" for the first minutes tells the user nothing.
    static std::string withTimeLeft(const std::string& status, std::optional<double> seconds);
};

}  // namespace convert
