#pragma once
// The media probe of one conversion list: a single worker that runs `ffmpeg -i FILE -i FILE ...`
// for up to kBatchSize jobs from the front of its queue at a time, reads each file's duration and
// streams from its section of the output, and publishes the result into the job
// (convertFile::setProbeResult). One process for several files spares the encoder's start-up,
// which costs far more than reading a file's header.
//
// A file whose output has no usable duration or no video stream is a bad file: the job becomes
// ProbeFailed and its listener is told on this worker's thread. After each published result the
// notify function runs on this worker's thread (the page passes one that queues a repaint to its
// window).
//
// A run's results are published in queue order, each as soon as its section of the output is over.
// ffmpeg stops at the first input it cannot open: that job gets the failed result, exactly as a
// probe of it alone would, and the jobs after it stay at the front of the queue for the next run.
// An encoder that cannot be started fails the first job of the run only. A source whose name holds
// a control character is probed alone (its header could otherwise pass for another input's).
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
#include <vector>

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
    // published for it. The other jobs of that run whose results had not come stay queued and are
    // probed again.
    void remove(convertFile* job);

    // Jobs waiting, those being probed included.
    size_t pendingCount() const;

    void run() override;

    // One probe of sourcePath in the given (unstarted) process, as the worker runs it for each
    // job. A failed result when the encoder cannot be started or the process is interrupted.
    static MediaInfo probe(const EncoderBinding& binding, const std::string& sourcePath,
                           platform::ChildProcess& process);

    // The most files one run probes.
    static constexpr size_t kBatchSize = 8;

    // Receives one file's result: its place among the sources and what was found.
    using AnswerFunction = std::function<void(size_t index, const MediaInfo& info)>;
    // One probe of several sources in the given (unstarted) process, as the worker runs it: answer
    // is called on this thread for each file whose result is known, in order (see
    // MediaProbeBatch), while the output is read. When the encoder cannot be started, only the
    // first source is answered, failed. When the process is interrupted, only the files whose
    // sections had been closed by a later line are answered.
    static void probeAll(const EncoderBinding& binding, const std::vector<std::string>& sourcePaths,
                         platform::ChildProcess& process, const AnswerFunction& answer);

private:
    // Each queued job with the number of its enqueue, so that a job deleted and another created at
    // the same address can never receive the first one's result.
    struct Pending {
        convertFile* job;
        uint64_t ticket;
    };
    // Takes the jobs of the next run from the front of the queue (none when it is empty).
    std::vector<Pending> takeRun(std::vector<std::string>& paths) KX_REQUIRES(queueLock);
    // Publishes a run's result into its job, when the job is still at the front of the queue.
    void publishAnswer(const Pending& entry, const MediaInfo& info) KX_REQUIRES(queueLock);
    void publish(convertFile* job, const MediaInfo& info) KX_REQUIRES(queueLock);
    void interruptCurrent() KX_EXCLUDES(currentMutex_);

    const EncoderBinding* binding_;
    mutable KXLib::KXCriticalSection queueLock KX_ACQUIRED_BEFORE(convertFile::jobLock);
    std::deque<Pending> pendingJobs KX_GUARDED_BY(queueLock);
    // The tickets of the running probe's jobs: removing one of them ends that probe.
    std::vector<uint64_t> runningTickets_ KX_GUARDED_BY(queueLock);
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
