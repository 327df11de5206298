#include "convert/convertFileInfoThread.h"

#include "convert/EncoderBinding.h"
#include "convert/MediaInfoParser.h"
#include "convert/convertFile.h"
#include "kxlib/KXAutoLock.h"
#include "kxlib/KXMutexLock.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/DebugOutput.h"

#include <algorithm>

namespace convert {

using KXLib::KXAutoLock;

convertFileInfoThread::convertFileInfoThread(const EncoderBinding* binding)
    : binding_(binding), wakeSignal(std::make_unique<KXLib::KXSemaphore>(0, KXLib::kKXSignalMaximum))
{
}

convertFileInfoThread::~convertFileInfoThread()
{
    stop();
}

void convertFileInfoThread::start(NotifyFunction notify)
{
    stop();
    {
        KXAutoLock lock(&queueLock);
        notify_ = std::move(notify);
    }
    stopRequested.store(false);
    thread_ = new KXLib::KXThread(KXLib::KXSmartPtr<KXLib::KXRunable>(this));
    if (thread_->start() == std::thread::id())
        thread_.reset();
}

void convertFileInfoThread::stop()
{
    stopRequested.store(true);
    interruptCurrent();
    if (thread_) {
        wakeSignal.post();
        thread_->join();
        thread_.reset();
    }
    KXAutoLock lock(&queueLock);
    notify_ = nullptr;
    pendingJobs.clear();
}

void convertFileInfoThread::enqueue(convertFile* job)
{
    KXAutoLock lock(&queueLock);
    pendingJobs.push_back({job, nextTicket_++});
    wakeSignal.post();
}

void convertFileInfoThread::remove(convertFile* job)
{
    KXAutoLock lock(&queueLock);
    const auto found = std::find_if(pendingJobs.begin(), pendingJobs.end(),
                                    [job](const Pending& entry) { return entry.job == job; });
    if (found == pendingJobs.end())
        return;
    // The front is the job being probed (or about to be): its encoder has nothing left to tell.
    if (found == pendingJobs.begin())
        interruptCurrent();
    pendingJobs.erase(found);
}

size_t convertFileInfoThread::pendingCount() const
{
    KXAutoLock lock(&queueLock);
    return pendingJobs.size();
}

void convertFileInfoThread::interruptCurrent()
{
    KXLib::KXMutexLock guard(currentMutex_);
    if (current_)
        current_->interrupt();
}

void convertFileInfoThread::run()
{
    const EncoderBinding& binding = binding_ ? *binding_ : EncoderBinding::instance();
    while (!stopRequested.load()) {
        Pending front{};
        std::string path;
        {
            KXAutoLock lock(&queueLock);
            if (!pendingJobs.empty()) {
                front = pendingJobs.front();
                uint64_t size = 0;
                front.job->getProbeInput(path, size);  // the job lock inside the queue lock
            }
        }
        if (!front.job) {
            // Units left by removed jobs only cause an empty round.
            wakeSignal.wait(KXLib::kKXInfinite);
            continue;
        }

        auto process = std::make_shared<platform::ChildProcess>();
        {
            KXLib::KXMutexLock guard(currentMutex_);
            current_ = process;
            if (stopRequested.load())
                process->interrupt();
        }
        const MediaInfo info = probe(binding, path, *process);
        {
            KXLib::KXMutexLock guard(currentMutex_);
            current_.reset();
        }
        if (stopRequested.load())
            break;

        KXAutoLock lock(&queueLock);
        if (pendingJobs.empty() || pendingJobs.front().ticket != front.ticket)
            continue;  // removed while it was probed: the result is dropped
        pendingJobs.pop_front();
        if (process->interrupted())
            continue;
        publish(front.job, info);
    }
}

void convertFileInfoThread::publish(convertFile* job, const MediaInfo& info)
{
    if (info.ok)
        job->setProbeResult(info.durationText, info.info, true, info.durationMillis);
    else
        job->setProbeResult(convertFile::kNoDurationText, convertFile::kBadFileText, false);
    if (notify_)
        notify_();
}

MediaInfo convertFileInfoThread::probe(const EncoderBinding& binding, const std::string& sourcePath,
                                       platform::ChildProcess& process)
{
    const EncoderCommand command = binding.probeCommand(sourcePath);
    platform::DebugOutput::line(command.commandText);
    std::string error;
    if (process.interrupted() || !process.start(command.arguments, platform::ChildProcess::kNiceNormal, &error)) {
        platform::DebugOutput::line(error);
        return MediaInfo{};
    }
    // Everything is read, so the encoder never waits on a full pipe; the parser keeps only the
    // lines that matter, so a file with thousands of tags or chapters costs no more memory.
    MediaInfoParser parser(command.inputArgument());
    std::string piece;
    while (process.read(piece, 4096) == platform::ChildProcess::ReadStatus::Data) {
        parser.feed(piece);
        piece.clear();
    }
    process.finish();
    if (process.interrupted())
        return MediaInfo{};
    MediaInfo info = parser.finish();
    platform::DebugOutput::line(info.ok ? "probe: " + info.durationText + " " + info.info : "probe: not a media file");
    return info;
}

}  // namespace convert
