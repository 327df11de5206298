#include "app/CliCommands.h"

#include "app/CliText.h"
#include "convert/convertFile.h"
#include "convert/convertFileInfoThread.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>

namespace app {

namespace {

// Waits for the one result the probe publishes, good or bad.
class ProbeWaiter {
public:
    void published()
    {
        std::lock_guard lock(mutex_);
        done_ = true;
        changed_.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return done_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
};

}  // namespace

// Probes FILE as the conversion list does (a job queued to the media probe) and prints what the
// list would show: duration=HH:MM:SS, seconds=N and info=...; or error=... and exit status 1.
int runProbeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 1 || args.front().empty())
        return kCliUsage;
    std::error_code ignored;
    const std::string source = std::filesystem::absolute(args.front(), ignored).string();

    convert::convertFile job;
    job.setDisposed(true);
    job.setSource(source, 0);
    ProbeWaiter waiter;
    convert::convertFileInfoThread probe;
    probe.setDisposed(true);
    probe.start([&waiter] { waiter.published(); });
    probe.enqueue(&job);
    waiter.wait();
    probe.stop();

    std::string info;
    job.getMediaInfo(info);
    if (job.getState() == convert::ProbeFailed) {
        out << "error=" << printable(info) << '\n';
        return kCliFailure;
    }
    std::string duration;
    job.getDurationText(duration);
    out << "duration=" << printable(duration) << "\nseconds=" << job.getDurationSeconds() << "\ninfo=" << printable(info)
        << '\n';
    return kCliSuccess;
}

}  // namespace app
