#pragma once
// One queued conversion: a source file, the job's own copy of a profile, what the media probe
// found, and while it runs, one encoder process.
//
// start() hands the job to a thread of its own. That thread claims the output file's name on disk,
// runs the encoder with its console output on a pipe, turns the status lines into a percentage, and
// decides between Done and Failed. Every change of state goes to the listener (convertEvent).
//
// The encoder does not wait for the media probe. Until the probe's answer is in, the duration for
// the percentage and for the coverage check is the one ffmpeg states in its own header (read by
// the probe's rules, EncoderOutputReader); the probe's answer replaces it as soon as it arrives.
// An encoder that ends before the probe has answered and without a duration of its own (mencoder,
// or an ffmpeg whose header said none) waits for the probe before the verdict. A probe that fails
// while the encoder runs ends the run: the encoder is ended, its output removed, and the job is
// ProbeFailed, exactly as when the failure comes first.
//
// A conversion is Done only when the encoder printed at least one status line, ended with exit
// status 0, left a non-empty output file, and its last status line reached the duration (the
// probe's, or ffmpeg's own, see above; within max(2 s, 3 %); RunVerdict decides). Anything else is
// Failed, with the encoder's last lines and the reason (in Chinese, with both times for a
// shortfall) as the error text in mediaInfo.
//
// Output files: the output name is claimed with O_CREAT|O_EXCL before the encoder starts, so two
// conversions never write one file. A run that fails or is stopped removes the file it claimed (and
// only that file, while it is still the one it created); each run claims a name afresh.
//
// Ownership: the conversion list owns its jobs outright; it marks them disposed so references never
// delete them, and deletes them itself. A job that is not disposed may be deleted too, after any
// number of runs. Deleting a job stops it first.
//
// Threads: start() and stop() are called from one controlling thread (the window thread), or from
// inside any report of the same job (onStateChanged, onProgress) on whatever thread that report
// arrives; neither call holds a lock while it reports. Forbidden, and caught by debug assertions:
// deleting a job from inside one of its own reports; and stopping or deleting a running job from
// inside a failed probe's report (the probe reports with the job lock held, which the running
// job's thread may need before it can end: post such work to another thread). The job's thread
// runs run(); the probe thread calls setProbeResult() and getProbeInput(). The text fields, the
// profile and the folders are guarded by the process-wide jobLock; state and percent are atomics.
#include "convert/CommandLineBuilder.h"
#include "convert/EncoderCommand.h"
#include "convert/EncodingSpeedMeter.h"
#include "convert/JobState.h"
#include "convert/OutputClaim.h"
#include "convert/convertEvent.h"
#include "kxlib/KXCriticalSection.h"
#include "kxlib/KXMutex.h"
#include "kxlib/KXRunable.h"
#include "kxlib/KXShared.h"
#include "kxlib/KXSmartPtr.h"
#include "kxlib/KXThread.h"
#include "kxlib/KXThreadSafety.h"
#include "profile/ProfileRecord.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace platform {
class AwakeClock;
class ChildProcess;
}

namespace convert {

class EncoderBinding;
class EncoderOutputReader;

// The encoder priority classes, with the values the classic program used for them.
enum EncoderPriorityClass : uint32_t {
    PriorityRealtime = 0x100,
    PriorityHigh = 0x80,
    PriorityNormal = 0x20,
    PriorityIdle = 0x40,
};

class convertFile : public virtual KXLib::KXRunable, public virtual KXLib::KXShared {
public:
    // Guards the text fields of every job and the probe's hand-over of results. Taken after the
    // probe's queue lock when both are needed.
    static KXLib::KXCriticalSection jobLock;

    // The fixed texts of a failed probe.
    static constexpr const char* kBadFileText = "错误的文件,无法获取文件的媒体信息";
    static constexpr const char* kNoDurationText = "00:00:00";

    // The priority class given to each new encoder (PriorityNormal at start-up); any thread.
    static void setEncoderPriorityClass(uint32_t priorityClass);
    static uint32_t encoderPriorityClass();
    // realtime -15, high -5, normal 0, idle 19; an unknown class is normal.
    static int niceValueOf(uint32_t priorityClass);

    // binding: the encoders to use; null means the process-wide binding. Must outlive the job.
    explicit convertFile(const EncoderBinding* binding = nullptr);
    ~convertFile() override;
    convertFile(const convertFile&) = delete;
    convertFile& operator=(const convertFile&) = delete;

    // Starts the job on a new thread; false when the job was not Waiting (the listener is then
    // told the current state again). A Waiting job becomes Failed here, with a Chinese reason in
    // mediaInfo, when it has no source, its conversion type is outside the table, or its source is
    // not a regular file (a folder, FIFO or device) or is gone. Reports Converting on the caller's
    // thread once the thread exists; the run reports nothing before that report has returned.
    // True when this call started a run (which a stop() from inside that report may have ended).
    bool start();
    // Stops a running job and returns it to Waiting, without a report. From the controlling thread
    // it waits for the job's thread, its encoder's end and the removal of the partial output (and,
    // on a job's first run only, for a question to the installed ffmpeg under way, a fraction of a
    // second). From inside a report on the job's own thread it returns at once: the job is
    // Stopping until the run ends, a moment later, and then Waiting. Does nothing unless
    // Converting (or Stopping, when it waits as above).
    void stop();
    // The thread body.
    void run() override;

    // The probe's result. ok: the duration and description are stored. Not ok: the fixed texts,
    // state ProbeFailed, and the listener is told at once, under the job lock. A job that has
    // already ended (Done, Failed, ProbeFailed) keeps its state and its error text: one final
    // report per run.
    // durationMillis: the duration with its fraction when known (else taken from the text).
    void setProbeResult(const std::string& durationText, const std::string& info, bool ok,
                        int64_t durationMillis = -1);
    void getProbeInput(std::string& path, uint64_t& size) const;
    void getMediaInfo(std::string& text) const;
    void getDurationText(std::string& text) const;
    uint32_t getDurationSeconds() const;
    std::string getOutputPath() const;
    // The output file the current run has claimed (path and identity), from the claim until the
    // run ends; nothing before and after. Any thread.
    std::optional<OutputClaim> claimedOutput() const;
    // The folder to show: targetFolder when set; else the source's folder (which is then stored
    // in targetFolder); OutputName::defaultFolder() when the source path cannot be cut.
    std::string getOutputFolder();
    std::string getSourcePath() const;
    uint64_t getSourceSize() const;

    // The encoder binding's notes on this job's command (how it differs from the classic one: AMR
    // written as AAC, WMV written by ffmpeg, ffm written as NUT, ...), for the row's tooltip and the
    // command-line converter. Known from setProfile() on when they do not depend on the installed
    // ffmpeg's lists; otherwise once prepare() has run (the run does it first). After a run, the
    // notes of the command that ran. Any thread; never blocks.
    std::vector<std::string> getNotes() const;
    // Reads what this job's command depends on (for a few profiles the installed ffmpeg's lists:
    // two ffmpeg start-ups, once per process) and fills the notes. Blocks meanwhile: call it on a
    // worker thread (the probe's), not the window thread.
    void prepare();

    // Whether the output name carries " [profile name]" (the output_profile setting, which the
    // creator of the job takes from the settings). Off until set; read when a run names its output.
    // Any thread.
    void setAppendProfileName(bool append) { appendProfileName_.store(append, std::memory_order_release); }
    bool appendsProfileName() const { return appendProfileName_.load(std::memory_order_acquire); }

    // Copies source, size, target folder, state, profile, the profile-name choice, the notes and the
    // listener (the list adopting a job); for an ended job (Done, Failed, ProbeFailed) also its
    // output path and error text.
    void copyFrom(const convertFile& other);
    // Gives a job that is not running the result of an earlier run, as a journal recorded it
    // (a row restored after a crash): an ended state with its output path and error text, or
    // Waiting. A running job is left alone (false).
    bool restoreOutcome(JobState state, const std::string& outputPath, const std::string& errorText);

    void setSource(const std::string& path, uint64_t size);
    void setTargetFolder(const std::string& folder);
    std::string getTargetFolder() const;
    // Also refreshes the notes where that needs no ffmpeg run (see getNotes).
    void setProfile(const profile::ProfileRecord& record);
    profile::ProfileRecord getProfile() const;
    void setListener(convertEvent* listener) { listener_.store(listener, std::memory_order_release); }
    convertEvent* getListener() const { return listener_.load(std::memory_order_acquire); }

    JobState getState() const { return state_.load(std::memory_order_acquire); }
    // The latest percentage, 0..100; negative while none is known.
    int getPercent() const { return percent_.load(std::memory_order_acquire); }
    // The percentage the job's row shows, 0..100. A waiting or stopping job shows 0, because a
    // stopped run starts again from the beginning, and so does a run that has not reported yet;
    // a finished or failed job keeps the last percentage it reached. Any thread.
    int shownPercent() const;

    // Gives the running encoder the current encoderPriorityClass(). Any thread.
    void applyPriority();

    // The clock the encoder's speed and run time are measured on (AwakeClock::system() until set;
    // tests give a scripted one). Must outlive the job; set it before start(), not during a run.
    void setClock(const platform::AwakeClock& clock);
    // Where the running encoder is and how fast it goes, from its status lines. `running` is false
    // (and the rest zero or unknown) before the encoder has started and after it has ended. The
    // speed is known from the kSteadyStatusLine-th status line on: the first comes while the
    // encoder is still starting, and the speed it states covers a fraction of a second (an
    // encoder that stalls after it shows no speed at all rather than that one). Any thread.
    static constexpr uint64_t kSteadyStatusLine = 2;
    struct EncoderPace {
        bool running = false;
        double positionSeconds = 0;
        std::optional<double> speed;  // seconds of media per second of encoding
    };
    EncoderPace encoderPace() const;
    // The seconds on the clock the last successful run's encoder took, from its start to its end;
    // nothing while a run is under way and after a run that did not end Done. Any thread.
    std::optional<double> encodingSeconds() const;
    // The probed duration with its fraction, in milliseconds; 0 when unknown.
    int64_t getDurationMillis() const;

private:
    enum class RunOutcome { Done, Failed, Stopped };

    // underJobLock: the report of a failed probe, made with the job lock held.
    void report(JobState state, bool underJobLock = false);
    bool onOwnThread() const;
    // Stores a new percentage and tells the listener when it changed.
    void setPercent(int percent);
    // Ends a run: Converting becomes `state` and is reported; false (no report) when a stop or a
    // probe failure came first.
    bool endRun(JobState state);
    // setProbeResult() under the job lock; true when the failure ended this job's run.
    bool storeProbeResult(const std::string& durationText, const std::string& info, bool ok, int64_t durationMillis);
    void setErrorText(const std::string& errorText);
    void fail(const std::string& errorText);
    // The reason a Waiting job cannot start (empty when it can).
    std::string startRefusal() const;
    // Creates and starts the job's thread; false when the system refused one.
    bool startThread();
    // Takes the job's thread object and waits for its end (never the calling thread's own).
    void joinThread();
    // Sets the stop flag and wakes whatever the run waits for (the probe, the encoder's output).
    void requestStop();
    // Waits until start() has reported Converting (and, with needProbe, until the probe has
    // answered); false when a stop or a probe failure came first.
    bool waitForRun(bool needProbe);
    // The probe's duration once it has answered.
    std::optional<int64_t> probedDuration() const;
    // The duration the verdict compares with: the probe's, else the encoder's own, else the
    // probe's after waiting for it. Nothing when a stop or a probe failure came first.
    std::optional<int64_t> verdictDuration(const EncoderOutputReader& reader);
    CommandLineBuilder builder() const;
    // The body of run(): prepare, wait for the probe, claim the output, run the encoder, report.
    void runConversion();
    // Runs the encoder of one conversion; on Failed, errorText holds what the row will show.
    RunOutcome runEncoder(const EncoderCommand& command, std::string& errorText);
    bool launch(const std::shared_ptr<platform::ChildProcess>& child, const EncoderCommand& command,
                std::string& errorText);
    void dropProcess();
    // The speed meter of a run: started just before its encoder, fed by each status line, stopped
    // when the encoder ends (with the run time kept when the run converted).
    void startMeter();
    void observeMeter(const EncoderOutputReader& reader);
    void stopMeter(bool converted);
    // The run no longer holds a claim worth recording: its output is a result or is gone.
    void forgetClaim();

    const EncoderBinding* binding_;

    std::string sourcePath_ KX_GUARDED_BY(jobLock);
    std::string outputPath_ KX_GUARDED_BY(jobLock);
    std::optional<OutputClaim> claim_ KX_GUARDED_BY(jobLock);  // the running run's claimed output
    std::string targetFolder_ KX_GUARDED_BY(jobLock);
    std::string durationText_ KX_GUARDED_BY(jobLock);
    uint32_t durationSeconds_ KX_GUARDED_BY(jobLock) = 0;
    int64_t durationMillis_ KX_GUARDED_BY(jobLock) = 0;
    std::string mediaInfo_ KX_GUARDED_BY(jobLock);
    uint64_t sourceSize_ KX_GUARDED_BY(jobLock) = 0;
    profile::ProfileRecord profile_ KX_GUARDED_BY(jobLock);
    std::vector<std::string> notes_ KX_GUARDED_BY(jobLock);
    bool probed_ KX_GUARDED_BY(jobLock) = false;  // the probe has published its result
    bool announced_ KX_GUARDED_BY(jobLock) = false;  // start() has reported Converting for this run
    // Wakes the job thread waiting for the probe (with jobLock) when a result or a stop arrives.
    std::condition_variable_any probeArrived_;

    std::atomic<JobState> state_{JobState::Waiting};
    std::atomic<int> percent_{-1};
    std::atomic<convertEvent*> listener_{nullptr};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> appendProfileName_{false};
    // The thread that runs run() now (empty between runs).
    std::atomic<std::thread::id> runThread_{};

    // Guards thread_ only; never held while a report is made or a thread is joined. A new run's
    // set-up takes the job lock inside it.
    KXLib::KXMutex runMutex_ KX_ACQUIRED_BEFORE(jobLock);
    KXLib::KXSmartPtr<KXLib::KXThread> thread_ KX_GUARDED_BY(runMutex_);

    // The running encoder, reachable by stop(), applyPriority() and a failed probe. Held only
    // around calls into the encoder's process, never together with another lock of the job.
    KXLib::KXMutex processMutex_;
    std::shared_ptr<platform::ChildProcess> process_ KX_GUARDED_BY(processMutex_);

    // The pace of the running encoder: written on the job's thread, read by the window thread.
    // Held only around the meter's own calls, never together with another lock of the job.
    mutable KXLib::KXMutex paceMutex_;
    const platform::AwakeClock* clock_ KX_GUARDED_BY(paceMutex_);
    std::optional<EncodingSpeedMeter> meter_ KX_GUARDED_BY(paceMutex_);  // while the encoder runs
    uint64_t statusLines_ KX_GUARDED_BY(paceMutex_) = 0;  // of the running encoder
    std::optional<double> encodingSeconds_ KX_GUARDED_BY(paceMutex_);
};

}  // namespace convert
