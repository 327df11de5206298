#pragma once
// One queued conversion: a source file, the job's own copy of a profile, what the media probe
// found, and while it runs, one encoder process.
//
// start() hands the job to a thread of its own. That thread waits for the probe's result, builds
// the encoder command, runs the encoder with its console output on a pipe, turns the status lines
// into a percentage, and decides between Done and Failed. Every change of state goes to the
// listener (convertEvent).
//
// A conversion is Done only when the encoder printed at least one status line, ended with exit
// status 0, and left a non-empty output file; anything else is Failed, with the encoder's last
// lines (or the reason it could not start) as the error text in mediaInfo.
//
// Ownership: the conversion list owns its jobs outright; it marks them disposed so references never
// delete them, and deletes them itself. Deleting a job stops it first.
//
// Threads: the window thread calls start(), stop(), the setters and the getters; the job's thread
// runs run(); the probe thread calls setProbeResult() and getProbeInput(). The text fields, the
// profile and the folders are guarded by the process-wide jobLock; state and percent are atomics.
#include "convert/EncoderCommand.h"
#include "convert/JobState.h"
#include "convert/convertEvent.h"
#include "kxlib/KXCriticalSection.h"
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
#include <mutex>
#include <string>
#include <vector>

namespace platform {
class ChildProcess;
}

namespace convert {

class EncoderBinding;

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

    // Whether output names carry " [profile name]" (the output_profile setting); read when a job
    // names its output. Process-wide and off until set: whoever loads the settings sets it at
    // start-up and again whenever the setting changes (the options page, lumaret-cli convert).
    // Any thread.
    static void setAppendProfileName(bool append);
    static bool appendProfileName();

    // binding: the encoders to use; null means the process-wide binding. Must outlive the job.
    explicit convertFile(const EncoderBinding* binding = nullptr);
    ~convertFile() override;
    convertFile(const convertFile&) = delete;
    convertFile& operator=(const convertFile&) = delete;

    // Starts the job on a new thread; false when the job was not Waiting (the listener is then
    // told the current state again). A job without a source or with an unknown conversion type
    // becomes Failed here. Reports Converting on the caller's thread before the thread starts.
    bool start();
    // Stops a running job and returns it to Waiting, without a report; waits for its thread and
    // its encoder's end (and, on a job's first run only, for a question to the installed ffmpeg
    // under way, a fraction of a second). The partial output stays on disk. Does nothing unless Converting.
    void stop();
    // The thread body.
    void run() override;

    // The probe's result. ok: the duration and description are stored. Not ok: the fixed texts,
    // state ProbeFailed, and the listener is told at once, under the job lock.
    // durationMillis: the duration with its fraction when known (else taken from the text).
    void setProbeResult(const std::string& durationText, const std::string& info, bool ok,
                        int64_t durationMillis = -1);
    void getProbeInput(std::string& path, uint64_t& size) const;
    void getMediaInfo(std::string& text) const;
    void getDurationText(std::string& text) const;
    uint32_t getDurationSeconds() const;
    std::string getOutputPath() const;
    // The folder to show: targetFolder when set; else the source's folder (which is then stored
    // in targetFolder); "~/Lumaret_output" expanded when the source path cannot be cut.
    std::string getOutputFolder();
    // The encoder binding's notes on the last command (substitutions), for the command-line
    // converter.
    std::vector<std::string> getNotes() const;

    // Copies source, size, target folder, state, profile and listener (the list adopting a job).
    void copyFrom(const convertFile& other);

    void setSource(const std::string& path, uint64_t size);
    void setTargetFolder(const std::string& folder);
    std::string getTargetFolder() const;
    void setProfile(const profile::ProfileRecord& record);
    profile::ProfileRecord getProfile() const;
    void setListener(convertEvent* listener) { listener_.store(listener, std::memory_order_release); }
    convertEvent* getListener() const { return listener_.load(std::memory_order_acquire); }

    int getState() const { return state_.load(std::memory_order_acquire); }
    // The latest percentage, 0..100; negative while none is known.
    int getPercent() const { return percent_.load(std::memory_order_acquire); }

    // Gives the running encoder the current encoderPriorityClass(). Any thread.
    void applyPriority();

private:
    void report(int state);
    // Stores a new percentage and tells the listener when it changed.
    void setPercent(int percent);
    // Ends a run: Converting becomes `state` and is reported, unless stop() came first.
    void endRun(int state);
    void fail(const std::string& errorText);
    bool waitForProbe();
    // Runs the encoder of one conversion and ends the run with Done or Failed, or without a
    // report when stop() interrupted it.
    void runEncoder(const EncoderCommand& command, int64_t durationMillis);

    const EncoderBinding* binding_;

    std::string sourcePath_ KX_GUARDED_BY(jobLock);
    std::string outputPath_ KX_GUARDED_BY(jobLock);
    std::string targetFolder_ KX_GUARDED_BY(jobLock);
    std::string durationText_ KX_GUARDED_BY(jobLock);
    uint32_t durationSeconds_ KX_GUARDED_BY(jobLock) = 0;
    int64_t durationMillis_ KX_GUARDED_BY(jobLock) = 0;
    std::string mediaInfo_ KX_GUARDED_BY(jobLock);
    uint64_t sourceSize_ KX_GUARDED_BY(jobLock) = 0;
    profile::ProfileRecord profile_ KX_GUARDED_BY(jobLock);
    std::vector<std::string> notes_ KX_GUARDED_BY(jobLock);
    bool probed_ KX_GUARDED_BY(jobLock) = false;  // the probe has published its result
    // Wakes the job thread waiting for the probe (with jobLock) when a result or a stop arrives.
    std::condition_variable_any probeArrived_;

    std::atomic<int> state_{Waiting};
    std::atomic<int> percent_{-1};
    std::atomic<convertEvent*> listener_{nullptr};
    std::atomic<bool> stopRequested_{false};

    // start() and stop() one at a time; the thread object of the current or last run.
    std::mutex runMutex_;
    KXLib::KXSmartPtr<KXLib::KXThread> thread_;

    // The running encoder, reachable by stop() and applyPriority().
    mutable std::mutex processMutex_;
    std::shared_ptr<platform::ChildProcess> process_;
};

}  // namespace convert
