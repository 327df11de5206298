#include "convert/RunVerdict.h"

#include "convert/EncoderOutputReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace convert {

RunVerdict::RunVerdict(const std::string& program, const Run& run) : reason_(reasonFor(program, run))
{
}

std::string RunVerdict::reasonFor(const std::string& program, const Run& run)
{
    const platform::ChildProcess::ExitStatus& exit = run.exit;
    if (!exit.exited && exit.signal != 0)
        return program + " 被信号 " + std::to_string(exit.signal) + "(" + signalName(exit.signal) + ")终止";
    if (!exit.exited)
        return program + " 以未知方式结束";
    if (exit.code != 0)
        return program + " 异常结束,退出状态 " + std::to_string(exit.code);
    if (!run.sawProgress)
        return program + " 没有转换任何内容就结束了";
    if (!run.outputWritten)
        return program + " 没有写出输出文件(" + run.outputPath + ")";
    if (!coversDuration(run.lastTimeMillis, run.durationMillis))
        return "转换不完整: " + program + " 只转换到 " + clockText(static_cast<double>(run.lastTimeMillis) / 1000.0) +
               ",源文件时长为 " + clockText(static_cast<double>(run.durationMillis) / 1000.0);
    return {};
}

std::string RunVerdict::errorText(std::string lastLines) const
{
    if (reason_.empty())
        return lastLines;
    const size_t room = EncoderOutputReader::kMaxErrorText;
    if (reason_.size() + 1 >= room)
        return reason_.substr(0, room);
    while (!lastLines.empty() && lastLines.size() + 1 + reason_.size() > room) {
        const size_t nextLine = lastLines.find('\n');
        lastLines.erase(0, nextLine == std::string::npos ? lastLines.size() : nextLine + 1);
    }
    return lastLines.empty() ? reason_ : lastLines + "\n" + reason_;
}

int64_t RunVerdict::coverageSlackMillis(int64_t durationMillis)
{
    return std::max<int64_t>(2000, durationMillis * 3 / 100);
}

bool RunVerdict::coversDuration(int64_t lastTimeMillis, int64_t durationMillis)
{
    if (durationMillis <= 0)
        return true;
    return lastTimeMillis >= durationMillis - coverageSlackMillis(durationMillis);
}

std::string RunVerdict::clockText(double seconds)
{
    const auto hundredths = static_cast<long long>(std::llround(std::max(0.0, seconds) * 100.0));
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%02lld", hundredths / 360000, hundredths / 6000 % 60,
                  hundredths / 100 % 60, hundredths % 100);
    return text;
}

std::string RunVerdict::signalName(int signal)
{
    const char* name = ::sigabbrev_np(signal);
    return name ? "SIG" + std::string(name) : std::to_string(signal);
}

}  // namespace convert
