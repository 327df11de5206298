#pragma once
// The media probe of one conversion list: a single worker that runs `ffmpeg -i FILE` for each
// queued job in turn, reads the duration and the streams from its output, and publishes the result
// into the job (convertFile::setProbeResult).
//
// A file whose output has no usable duration or no video stream, and a probe whose encoder cannot
// be started, are bad files: the job becomes ProbeFailed and its listener is told on this worker's
// thread. After each published result the notify function runs on this worker's thread (the page
// passes one that queues a repaint to its window).
//
// Locks: queueLock guards the queue and the notify function; it is taken before
// convertFile::jobLock and before currentMutex_, never after them. A result is published only
// while its job is still at the front of the queue, with both locks held; a job removed meanwhile
// is never written to.
//
// Threads: start(), stop(), enqueue() and remove() may be called from any thread but the worker
// (usually the window thread). Jobs are not owned: the list calls remove() before deleting one.
#include "convert/convertFile.h"
#include "kxlib/KXCriticalSection.h"
#include "kxlib/KXMutex.h"
#include "kxlib/KXRunable.h"
#include "kxlib/KXShared.h"
#include "kxlib/KXSignal.h"
#include "kxlib/KXSmartPtr.h"
#include "kxlib/KXThread.h"
#include "kxlib/KXThreadSafety.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class ChildProcess;
}

namespace convert {

class EncoderBinding;
struct MediaInfo;

class convertFileInfoThread : public virtual KXLib::KXRunable, public virtual KXLib::KXShared {
public:
    using NotifyFunction = std::function<void()>;

    // binding: the encoders to use; null means the process-wide binding. Must outlive the probe.
    explicit convertFileInfoThread(const EncoderBinding* binding = nullptr);
    // Stops the worker.
    ~convertFileInfoThread() override;
    convertFileInfoThread(const convertFileInfoThread&) = delete;
    convertFileInfoThread& operator=(const convertFileInfoThread&) = delete;

    // stop(), then starts the worker; notify (may be empty) runs after each published result.
    void start(NotifyFunction notify);
    // Ends the worker and waits for it: a probe under way is cut short and its result discarded.
    // Then forgets the notify function and empties the queue (the jobs are not touched).
    void stop();
    // Queues a job for probing (at the back) and wakes the worker.
    void enqueue(convertFile* job);
    // Takes a job out of the queue; if it is being probed, its encoder is ended and nothing is
    // published.
    void remove(convertFile* job);

    // Jobs waiting, the one being probed included.
    size_t pendingCount() const;

    void run() override;

    // One probe of sourcePath in the given (unstarted) process, as the worker runs it for each
    // job. A failed result when the encoder cannot be started or the process is interrupted.
    static MediaInfo probe(const EncoderBinding& binding, const std::string& sourcePath,
                           platform::ChildProcess& process);

private:
    void publish(convertFile* job, const MediaInfo& info) KX_REQUIRES(queueLock);
    void interruptCurrent() KX_EXCLUDES(currentMutex_);

    const EncoderBinding* binding_;
    mutable KXLib::KXCriticalSection queueLock KX_ACQUIRED_BEFORE(convertFile::jobLock);
    // Each queued job with the number of its enqueue, so that a job deleted and another created at
    // the same address can never receive the first one's result.
    struct Pending {
        convertFile* job;
        uint64_t ticket;
    };
    std::deque<Pending> pendingJobs KX_GUARDED_BY(queueLock);
    uint64_t nextTicket_ KX_GUARDED_BY(queueLock) = 0;
    NotifyFunction notify_ KX_GUARDED_BY(queueLock);
    KXLib::KXSignal wakeSignal;
    KXLib::KXSmartPtr<KXLib::KXThread> thread_;
    std::atomic<bool> stopRequested{false};

    // The probe's running encoder, so that stop() and remove() can cut it short.
    KXLib::KXMutex currentMutex_ KX_ACQUIRED_AFTER(queueLock);
    std::shared_ptr<platform::ChildProcess> current_ KX_GUARDED_BY(currentMutex_);
};

}  // namespace convert
