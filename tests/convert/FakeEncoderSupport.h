#pragma once
// Helpers of the job and probe tests: an encoder binding over the fake encoder of tests/support, a
// listener that records the reports, and checks that a process is gone.
#include "convert/EncoderBinding.h"
#include "convert/convertEvent.h"
#include "convert/convertFile.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace fakeencoder {

// ffmpeg and mencoder are both the fake encoder; the capabilities are those of a current build,
// so the binding never runs an encoder to ask.
inline std::unique_ptr<convert::EncoderBinding> binding(const std::string& program = LUMARET_FAKE_ENCODER)
{
    convert::EncoderBinding::Locations where;
    where.ffmpeg = program;
    where.mencoder = program;
    where.ffmpegFound = where.mencoderFound = std::filesystem::exists(program);
    return std::make_unique<convert::EncoderBinding>(where, convert::EncoderCapabilities());
}

// Writes a script for the fake encoder; the file is the "source" of a job.
inline std::string writeScript(const std::filesystem::path& file, const std::string& script)
{
    std::ofstream(file, std::ios::binary) << script;
    return file.string();
}

// Records every report of the jobs it listens to, and lets a test wait for a final one.
class Recorder : public convert::convertEvent {
public:
    void onStateChanged(convert::convertFile*, convert::JobState state) override
    {
        std::lock_guard lock(mutex_);
        states_.push_back(state);
        changed_.notify_all();
    }
    std::vector<convert::JobState> states() const
    {
        std::lock_guard lock(mutex_);
        return states_;
    }
    // Waits until `count` reports arrived (a safety limit of 60 s keeps a broken run from hanging
    // the suite; it is not a timing requirement).
    bool waitForReports(size_t count) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [&] { return states_.size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<convert::JobState> states_;
};

// True while the process exists and is not a zombie.
inline bool isRunning(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text))
        return false;
    const size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z' &&
           text[close + 2] != 'X';
}

// Waits for a file the fake encoder writes (its process ids), and reads the number in it.
inline pid_t waitForPidFile(const std::filesystem::path& file)
{
    for (int i = 0; i < 6000; ++i) {
        std::ifstream in(file);
        long value = 0;
        if (in >> value && value > 0)
            return static_cast<pid_t>(value);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

// Waits until the file holds at least `count` lines (the fake encoder's "pidlog"), and reads them.
inline std::vector<pid_t> waitForPidLog(const std::filesystem::path& file, size_t count)
{
    std::vector<pid_t> pids;
    for (int i = 0; i < 6000; ++i) {
        pids.clear();
        std::ifstream in(file);
        long value = 0;
        while (in >> value)
            pids.push_back(static_cast<pid_t>(value));
        if (pids.size() >= count)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pids;
}

// Waits until the process is gone (the kernel delivers SIGKILL asynchronously to the children of
// an ended group).
inline bool becomesGone(pid_t pid)
{
    for (int i = 0; i < 500 && isRunning(pid); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !isRunning(pid);
}

}  // namespace fakeencoder
