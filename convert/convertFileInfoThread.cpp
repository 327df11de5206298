#include "convert/convertFileInfoThread.h"

#include "convert/EncoderBinding.h"
#include "convert/MediaInfoParser.h"
#include "convert/MediaProbeBatch.h"
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
    // A job of the running probe (or the front, about to be probed): the encoder's further output
    // is of no use to it, and the run's other jobs are probed again.
    if (found == pendingJobs.begin() ||
        std::find(runningTickets_.begin(), runningTickets_.end(), found->ticket) != runningTickets_.end())
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
        std::vector<std::string> paths;
        std::vector<Pending> runJobs;
        {
            KXAutoLock lock(&queueLock);
            runJobs = takeRun(paths);
        }
        if (runJobs.empty()) {
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
        probeAll(binding, paths, *process, [&](size_t index, const MediaInfo& info) {
            if (stopRequested.load())
                return;
            KXAutoLock lock(&queueLock);
            publishAnswer(runJobs[index], info);
        });
        {
            KXLib::KXMutexLock guard(currentMutex_);
            current_.reset();
        }
        KXAutoLock lock(&queueLock);
        runningTickets_.clear();
    }
}

std::vector<convertFileInfoThread::Pending> convertFileInfoThread::takeRun(std::vector<std::string>& paths)
{
    auto hasControlCharacter = [](const std::string& path) {
        return std::any_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    };
    std::vector<Pending> runJobs;
    runningTickets_.clear();
    for (const Pending& entry : pendingJobs) {
        if (runJobs.size() == kBatchSize)
            break;
        std::string path;
        uint64_t size = 0;
        entry.job->getProbeInput(path, size);  // the job lock inside the queue lock
        // Such a name goes alone: the first of a run, it ends the run; later, it waits for its own.
        if (hasControlCharacter(path) && !runJobs.empty())
            break;
        runJobs.push_back(entry);
        runningTickets_.push_back(entry.ticket);
        paths.push_back(std::move(path));
        if (hasControlCharacter(paths.back()))
            break;
    }
    return runJobs;
}

void convertFileInfoThread::publishAnswer(const Pending& entry, const MediaInfo& info)
{
    if (pendingJobs.empty() || pendingJobs.front().ticket != entry.ticket)
        return;  // removed while it was probed: the result is dropped
    pendingJobs.pop_front();
    publish(entry.job, info);
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
    MediaInfo result;
    probeAll(binding, {sourcePath}, process, [&result](size_t, const MediaInfo& info) { result = info; });
    return result;
}

void convertFileInfoThread::probeAll(const EncoderBinding& binding, const std::vector<std::string>& sourcePaths,
                                     platform::ChildProcess& process, const AnswerFunction& answer)
{
    const EncoderCommand command = binding.probeCommand(sourcePaths);
    platform::DebugOutput::line(command.commandText);
    std::string error;
    if (process.interrupted() || !process.start(command.arguments, platform::ChildProcess::kNiceNormal, &error)) {
        platform::DebugOutput::line(error);
        if (!process.interrupted() && !sourcePaths.empty())
            answer(0, MediaInfo{});
        return;
    }
    // Everything is read, so the encoder never waits on a full pipe; the parsers keep only the
    // lines that matter, so a file with thousands of tags or chapters costs no more memory.
    MediaProbeBatch batch(command.inputArguments());
    auto answerKnown = [&] {
        while (auto known = batch.takeAnswer()) {
            platform::DebugOutput::line(known->info.ok ? "probe: " + known->info.durationText + " " + known->info.info
                                                       : "probe: not a media file");
            answer(known->index, known->info);
        }
    };
    std::string piece;
    while (process.read(piece, 4096) == platform::ChildProcess::ReadStatus::Data) {
        batch.feed(piece);
        piece.clear();
        answerKnown();
    }
    process.finish();
    if (!process.interrupted())
        batch.finish();
    answerKnown();
}

}  // namespace convert
