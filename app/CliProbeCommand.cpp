#include "app/CliCommands.h"

#include "app/CliText.h"
#include "convert/convertFile.h"
#include "convert/convertFileInfoThread.h"
#include "kxlib/KXCondition.h"
#include "kxlib/KXMutex.h"
#include "kxlib/KXMutexLock.h"
#include "kxlib/KXThreadSafety.h"

#include <filesystem>

namespace app {

namespace {

// Waits for the one result the probe publishes, good or bad.
class ProbeWaiter {
public:
    void published()
    {
        KXLib::KXMutexLock lock(mutex_);
        done_ = true;
        changed_.signalAll();
    }
    void wait()
    {
        KXLib::KXMutexLock lock(mutex_);
        while (!done_)
            changed_.wait(mutex_);
    }

private:
    KXLib::KXMutex mutex_;
    KXLib::KXCondition changed_;
    bool done_ KX_GUARDED_BY(mutex_) = false;
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
    if (job.getState() == convert::JobState::ProbeFailed) {
        out << "error=" << printable(info) << '\n';
        return kCliFailure;
    }
    std::string duration;
    job.getDurationText(duration);
    out << "duration=" << printable(duration) << "\nseconds=" << job.getDurationSeconds()
        << "\ninfo=" << printable(info) << '\n';
    return kCliSuccess;
}

}  // namespace app
