#include "convert/convertFile.h"

#include "convert/EncoderBinding.h"
#include "convert/EncoderOutputReader.h"
#include "convert/MediaInfoParser.h"
#include "convert/OutputClaim.h"
#include "convert/OutputName.h"
#include "convert/RunVerdict.h"
#include "kxlib/KXAutoLock.h"
#include "kxlib/KXMutexLock.h"
#include "platform/core/AwakeClock.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/DebugOutput.h"
#include "platform/core/RegularFile.h"
#include "profile/EncodingTables.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <thread>

namespace convert {

using KXLib::KXAutoLock;
using KXLib::KXMutexLock;

KXLib::KXCriticalSection convertFile::jobLock;

namespace {

std::atomic<uint32_t> priorityClass{PriorityNormal};

// The report under way on this thread: which job it is from, and whether the job lock is held for
// it (a failed probe's report). Only the debug assertions read them.
thread_local const convertFile* reportingJob = nullptr;
thread_local bool reportingUnderJobLock = false;

// Marks a report on this thread for as long as it runs (reports may nest).
class ReportScope {
public:
    ReportScope(const convertFile* job, bool underJobLock)
        : job_(reportingJob), underJobLock_(reportingUnderJobLock)
    {
        reportingJob = job;
        reportingUnderJobLock = reportingUnderJobLock || underJobLock;
    }
    ~ReportScope()
    {
        reportingJob = job_;
        reportingUnderJobLock = underJobLock_;
    }
    ReportScope(const ReportScope&) = delete;
    ReportScope& operator=(const ReportScope&) = delete;

private:
    const convertFile* job_;
    bool underJobLock_;
};

// Lets a condition variable wait on the job lock.
struct JobLockWaiter {
    void lock() KX_ACQUIRE(convertFile::jobLock) { convertFile::jobLock.enter(); }
    void unlock() KX_RELEASE(convertFile::jobLock) { convertFile::jobLock.leave(); }
};

// A conversion is only Done when the encoder left something behind.
bool isNonEmptyFile(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

}  // namespace

void convertFile::setEncoderPriorityClass(uint32_t value)
{
    priorityClass.store(value);
}

uint32_t convertFile::encoderPriorityClass()
{
    return priorityClass.load();
}

int convertFile::niceValueOf(uint32_t value)
{
    switch (value) {
    case PriorityRealtime:
        return platform::ChildProcess::kNiceRealtime;
    case PriorityHigh:
        return platform::ChildProcess::kNiceHigh;
    case PriorityIdle:
        return platform::ChildProcess::kNiceIdle;
    default:
        return platform::ChildProcess::kNiceNormal;
    }
}

convertFile::convertFile(const EncoderBinding* binding)
    : binding_(binding), profile_(profile::makeEmptyProfileRecord()), clock_(&platform::AwakeClock::system())
{
}

convertFile::~convertFile()
{
    // The run's thread object holds a reference to this job; dropping it below must not delete the
    // job a second time (which re-entered this destructor and hung before).
    setDisposed(true);
    assert(reportingJob != this && "a job is deleted from inside its own report");
    stop();
    joinThread();
}

bool convertFile::onOwnThread() const
{
    return runThread_.load() == std::this_thread::get_id();
}

void convertFile::report(JobState state, bool underJobLock)
{
    convertEvent* listener = getListener();
    if (!listener)
        return;
    ReportScope scope(this, underJobLock);
    listener->onStateChanged(this, state);
}

CommandLineBuilder convertFile::builder() const
{
    return binding_ ? CommandLineBuilder(*binding_) : CommandLineBuilder();
}

std::string convertFile::startRefusal() const
{
    std::string source;
    int type = 0;
    {
        KXAutoLock lock(&jobLock);
        source = sourcePath_;
        type = profile_.conversionType;
    }
    if (source.empty())
        return "没有源文件";
    if (std::string refusal = CommandLineBuilder::profileRefusal(type); !refusal.empty())
        return refusal;
    // Checked without opening: a FIFO or a device would hold the encoder (and the user) for ever.
    const platform::RegularFileStatus status =
        platform::RegularFile::check(source, std::numeric_limits<uint64_t>::max());
    if (status == platform::RegularFileStatus::NotRegular || status == platform::RegularFileStatus::Missing)
        return platform::RegularFile::describe(status, source);
    return {};
}

bool convertFile::start()
{
    if (getState() == JobState::Waiting) {
        if (const std::string refusal = startRefusal(); !refusal.empty()) {
            JobState expected = JobState::Waiting;
            if (state_.compare_exchange_strong(expected, JobState::Failed))
                setErrorText(refusal);
        }
    }
    JobState expected = JobState::Waiting;
    if (!state_.compare_exchange_strong(expected, JobState::Converting)) {
        report(expected);
        return false;
    }
    if (!startThread()) {
        fail("无法创建转换线程");
        return false;
    }
    // No lock is held here: the listener may start or stop this job from inside the report. The
    // run waits for the end of this report before it reports anything itself.
    report(JobState::Converting);
    KXAutoLock lock(&jobLock);
    announced_ = true;
    probeArrived_.notify_all();
    return true;
}

bool convertFile::startThread()
{
    KXMutexLock run(runMutex_);
    // A new run always gets a new thread; the last one has ended (or ends now) on its own.
    if (thread_) {
        thread_->join();
        thread_.reset();
    }
    stopRequested_.store(false);
    percent_.store(-1);
    {
        KXAutoLock lock(&jobLock);
        announced_ = false;
    }
    thread_ = new KXLib::KXThread(KXLib::KXSmartPtr<KXLib::KXRunable>(this));
    if (thread_->start() != std::thread::id())
        return true;
    thread_.reset();
    return false;
}

void convertFile::stop()
{
    JobState expected = JobState::Converting;
    if (state_.compare_exchange_strong(expected, JobState::Stopping))
        requestStop();
    else if (expected != JobState::Stopping)
        return;
    if (onOwnThread())
        return;  // a report of this run stopping it: the run ends when the report returns
    joinThread();
}

void convertFile::requestStop()
{
    stopRequested_.store(true);
    {
        // Taken so that a job thread about to wait for the probe cannot miss the wake-up.
        KXAutoLock lock(&jobLock);
        probeArrived_.notify_all();
    }
    KXMutexLock guard(processMutex_);
    if (process_)
        process_->interrupt();
}

void convertFile::joinThread()
{
    KXLib::KXSmartPtr<KXLib::KXThread> thread;
    {
        KXMutexLock run(runMutex_);
        thread = thread_;
        thread_.reset();
    }
    // A thread cannot wait for itself; dropping its object lets it end on its own.
    if (!thread || thread->threadId() == std::this_thread::get_id())
        return;
    // The job thread may be about to take the job lock: waiting for it with the lock held would
    // never end.
    assert(!reportingUnderJobLock && "a job is stopped or deleted from inside a failed probe's report");
    thread->join();
}

bool convertFile::waitForRun(bool needProbe)
{
    JobLockWaiter waiter;
    std::unique_lock lock(waiter);
    probeArrived_.wait(lock, [this, needProbe]() KX_REQUIRES(jobLock) {
        return ((probed_ || !needProbe) && announced_) || stopRequested_.load() ||
               state_.load() != JobState::Converting;
    });
    return state_.load() == JobState::Converting && !stopRequested_.load();
}

std::optional<int64_t> convertFile::probedDuration() const
{
    KXAutoLock lock(&jobLock);
    return probed_ ? std::optional<int64_t>(durationMillis_) : std::nullopt;
}

std::optional<int64_t> convertFile::verdictDuration(const EncoderOutputReader& reader)
{
    if (std::optional<int64_t> probed = probedDuration())
        return probed;
    if (reader.durationFromHeader())
        return reader.durationMillis();
    // Without any duration a cut conversion would pass for a whole one: the probe decides.
    if (!waitForRun(true))
        return std::nullopt;
    return probedDuration();
}

void convertFile::run()
{
    runThread_.store(std::this_thread::get_id());
    runConversion();
    runThread_.store(std::thread::id());
    // A stopped run hands the job back only now, when its encoder has ended and its partial
    // output is gone, so that the next start() finds a clean job.
    JobState expected = JobState::Stopping;
    state_.compare_exchange_strong(expected, JobState::Waiting);
}

void convertFile::prepare()
{
    const CommandLineBuilder commands = builder();
    const profile::ProfileRecord record = getProfile();
    commands.prepare(record);
    if (std::optional<std::vector<std::string>> notes = commands.notesWithoutWaiting(record)) {
        KXAutoLock lock(&jobLock);
        notes_ = std::move(*notes);
    }
}

void convertFile::runConversion()
{
    // What the binding must learn about the installed ffmpeg for this profile (rarely anything).
    prepare();

    // Nothing is reported before start() has reported Converting; the probe is not waited for. A
    // failed probe or a stop ends the run here without a report.
    if (!waitForRun(false))
        return;

    std::string source;
    std::string folder;
    profile::ProfileRecord record;
    {
        KXAutoLock lock(&jobLock);
        source = sourcePath_;
        folder = targetFolder_;
        record = profile_;
    }
    std::string reason = startRefusal();
    const std::optional<OutputName> name =
        reason.empty() ? CommandLineBuilder::nameOutput(source, record, folder, appendsProfileName(), &reason)
                       : std::nullopt;
    if (name && !name->folder().empty())
        ::mkdir(name->folder().c_str(), 0777);  // one level; an existing folder is fine
    const std::optional<OutputClaim> claim = name ? OutputClaim::claim(*name, &reason) : std::nullopt;
    if (!claim) {
        fail(reason);
        return;
    }
    const EncoderCommand command = builder().buildFor(source, record, name->folder(), claim->path());
    {
        KXAutoLock lock(&jobLock);
        outputPath_ = claim->path();
        claim_ = claim;
        if (targetFolder_.empty())
            targetFolder_ = name->folder();
        notes_ = command.notes;
    }
    if (convertEvent* listener = getListener())
        listener->onOutputClaimed(this);
    std::string errorText;
    const RunOutcome outcome = runEncoder(command, errorText);
    if (outcome == RunOutcome::Done) {
        setPercent(100);
        forgetClaim();
        if (endRun(JobState::Done))
            return;
    }
    // No half-written file may look like a result: what this run claimed goes before the report.
    claim->remove();
    forgetClaim();
    if (outcome == RunOutcome::Failed)
        fail(errorText);
}

void convertFile::forgetClaim()
{
    KXAutoLock lock(&jobLock);
    claim_.reset();
}

std::optional<OutputClaim> convertFile::claimedOutput() const
{
    KXAutoLock lock(&jobLock);
    return claim_;
}

bool convertFile::restoreOutcome(JobState state, const std::string& outputPath, const std::string& errorText)
{
    const JobState current = getState();
    if (current == JobState::Converting || current == JobState::Stopping)
        return false;
    KXAutoLock lock(&jobLock);
    outputPath_ = outputPath;
    mediaInfo_ = errorText;
    state_.store(state);
    return true;
}

convertFile::RunOutcome convertFile::runEncoder(const EncoderCommand& command, std::string& errorText)
{
    auto child = std::make_shared<platform::ChildProcess>();
    if (!launch(child, command, errorText))
        return stopRequested_.load() || getState() != JobState::Converting ? RunOutcome::Stopped : RunOutcome::Failed;

    const std::optional<int64_t> probed = probedDuration();
    EncoderOutputReader reader = probed ? EncoderOutputReader(command.program, *probed)
                                        : EncoderOutputReader(command.program, command.inputArgument());
    bool probeTaken = probed.has_value();
    // The probe's answer, once it is in, replaces the duration of the encoder's header.
    auto takeProbe = [&] {
        if (probeTaken)
            return;
        if (const std::optional<int64_t> arrived = probedDuration()) {
            reader.setDurationMillis(*arrived);
            probeTaken = true;
        }
    };
    std::string piece;
    platform::ChildProcess::ReadStatus status;
    while ((status = child->read(piece, 9999)) == platform::ChildProcess::ReadStatus::Data) {
        takeProbe();
        if (reader.feed(piece))
            observeMeter(reader);
        // Every piece counts at once, the one with the last status line before the end too;
        // setPercent() reports only a change.
        if (reader.percent() >= 0)
            setPercent(reader.percent());
        platform::DebugOutput::line(piece);
        piece.clear();
    }
    reader.finish();
    const platform::ChildProcess::ExitStatus exit = child->finish();
    dropProcess();
    // No report for a stop or a failed probe (which has reported); the partial output goes.
    if (status == platform::ChildProcess::ReadStatus::Interrupted || stopRequested_.load()) {
        stopMeter(false);
        return RunOutcome::Stopped;
    }
    const std::optional<int64_t> durationMillis = verdictDuration(reader);
    if (!durationMillis) {
        stopMeter(false);
        return RunOutcome::Stopped;
    }
    takeProbe();
    if (reader.percent() >= 0)
        setPercent(reader.percent());  // the last status line over the duration the verdict used

    RunVerdict::Run run;
    run.exit = exit;
    run.sawProgress = reader.sawProgress();
    run.lastTimeMillis = reader.lastTimeMillis();
    run.outputWritten = isNonEmptyFile(command.outputPath);
    run.outputPath = command.outputPath;
    run.durationMillis = *durationMillis;
    const RunVerdict verdict(encoderProgramName(command.program), run);
    stopMeter(verdict.converted());
    if (verdict.converted())
        return RunOutcome::Done;
    errorText = verdict.errorText(reader.errorText());
    return RunOutcome::Failed;
}

bool convertFile::launch(const std::shared_ptr<platform::ChildProcess>& child, const EncoderCommand& command,
                         std::string& errorText)
{
    {
        KXMutexLock guard(processMutex_);
        process_ = child;
        // A stop or a failed probe that came before this child was reachable ends it here.
        if (stopRequested_.load() || getState() != JobState::Converting)
            child->interrupt();
    }
    std::string startError;
    // Timed from before the start, so that the encoder's own start-up counts as encoding time.
    startMeter();
    // A priority chosen from here on reaches the child through process_ (setNice() before or
    // during the start is kept for it).
    if (!child->interrupted() && child->start(command.arguments, niceValueOf(encoderPriorityClass()), &startError))
        return true;
    stopMeter(false);
    dropProcess();
    const std::string& program = command.arguments.front();
    const char* name = encoderProgramName(command.program);
    errorText = platform::ChildProcess::findProgram(program).empty()
                    ? "找不到编码器 " + std::string(name) + "(" + program + ")"
                    : "无法启动编码器 " + std::string(name) + ": " + startError;
    return false;
}

void convertFile::setClock(const platform::AwakeClock& clock)
{
    KXMutexLock guard(paceMutex_);
    clock_ = &clock;
}

void convertFile::startMeter()
{
    KXMutexLock guard(paceMutex_);
    encodingSeconds_.reset();
    statusLines_ = 0;
    meter_.emplace(*clock_);
    meter_->start();
}

void convertFile::observeMeter(const EncoderOutputReader& reader)
{
    KXMutexLock guard(paceMutex_);
    if (!meter_)
        return;
    meter_->observe(reader.lastTimeMillis(), reader.reportedSpeed());
    statusLines_ = reader.statusLines();
}

void convertFile::stopMeter(bool converted)
{
    KXMutexLock guard(paceMutex_);
    if (converted && meter_)
        encodingSeconds_ = meter_->elapsedSeconds();
    meter_.reset();
}

convertFile::EncoderPace convertFile::encoderPace() const
{
    KXMutexLock guard(paceMutex_);
    EncoderPace pace;
    if (!meter_)
        return pace;
    pace.running = true;
    pace.positionSeconds = meter_->positionSeconds();
    if (statusLines_ >= kSteadyStatusLine)
        pace.speed = meter_->speed();
    return pace;
}

std::optional<double> convertFile::encodingSeconds() const
{
    KXMutexLock guard(paceMutex_);
    return encodingSeconds_;
}

int64_t convertFile::getDurationMillis() const
{
    KXAutoLock lock(&jobLock);
    return durationMillis_;
}

void convertFile::dropProcess()
{
    KXMutexLock guard(processMutex_);
    process_.reset();
}

int convertFile::shownPercent() const
{
    const JobState state = getState();
    if (state == JobState::Waiting || state == JobState::Stopping)
        return 0;
    return std::max(getPercent(), 0);
}

void convertFile::setPercent(int percent)
{
    if (percent_.exchange(percent) == percent)
        return;
    convertEvent* listener = getListener();
    if (!listener)
        return;
    ReportScope scope(this, false);
    listener->onProgress(this, percent);
}

bool convertFile::endRun(JobState state)
{
    JobState expected = JobState::Converting;
    if (!state_.compare_exchange_strong(expected, state))
        return false;
    report(state);
    return true;
}

void convertFile::setErrorText(const std::string& errorText)
{
    {
        KXAutoLock lock(&jobLock);
        mediaInfo_ = errorText;
    }
    platform::DebugOutput::line(errorText);
}

void convertFile::fail(const std::string& errorText)
{
    JobState expected = JobState::Converting;
    if (!state_.compare_exchange_strong(expected, JobState::Failed))
        return;  // a stop or a probe failure came first
    setErrorText(errorText);
    report(JobState::Failed);
}

void convertFile::setProbeResult(const std::string& durationText, const std::string& info, bool ok,
                                 int64_t durationMillis)
{
    if (!storeProbeResult(durationText, info, ok, durationMillis))
        return;
    // The run ended by the failure may have its encoder going already: nothing it writes counts.
    KXMutexLock guard(processMutex_);
    if (process_)
        process_->interrupt();
}

bool convertFile::storeProbeResult(const std::string& durationText, const std::string& info, bool ok,
                                   int64_t durationMillis)
{
    KXAutoLock lock(&jobLock);
    probed_ = true;
    if (ok) {
        // A job refused by start() keeps its reason; every other job shows the streams.
        if (getState() != JobState::Failed)
            mediaInfo_ = info;
        durationText_ = durationText;
        durationSeconds_ = MediaInfoParser::secondsOf(durationText);
        durationMillis_ = durationMillis >= 0 ? durationMillis : int64_t(durationSeconds_) * 1000;
        probeArrived_.notify_all();
        return false;
    }
    if (getState() != JobState::Failed)
        mediaInfo_ = kBadFileText;
    durationText_ = kNoDurationText;
    durationSeconds_ = 0;
    durationMillis_ = 0;
    probeArrived_.notify_all();
    // Done, Failed and ProbeFailed are final: a job has one final report.
    JobState current = state_.load();
    while (current == JobState::Waiting || current == JobState::Converting || current == JobState::Stopping) {
        if (state_.compare_exchange_weak(current, JobState::ProbeFailed)) {
            report(JobState::ProbeFailed, true);
            return true;
        }
    }
    return false;
}

void convertFile::getProbeInput(std::string& path, uint64_t& size) const
{
    KXAutoLock lock(&jobLock);
    path = sourcePath_;
    size = sourceSize_;
}

void convertFile::getMediaInfo(std::string& text) const
{
    KXAutoLock lock(&jobLock);
    text = mediaInfo_;
}

void convertFile::getDurationText(std::string& text) const
{
    KXAutoLock lock(&jobLock);
    text = durationText_;
}

uint32_t convertFile::getDurationSeconds() const
{
    KXAutoLock lock(&jobLock);
    return durationSeconds_;
}

std::string convertFile::getOutputPath() const
{
    KXAutoLock lock(&jobLock);
    return outputPath_;
}

std::string convertFile::getOutputFolder()
{
    KXAutoLock lock(&jobLock);
    if (!targetFolder_.empty())
        return targetFolder_;
    const std::optional<OutputName::SourceParts> parts = OutputName::cutSource(sourcePath_);
    if (!parts)
        return OutputName::defaultFolder();
    targetFolder_ = parts->folder;
    return targetFolder_;
}

std::string convertFile::getSourcePath() const
{
    KXAutoLock lock(&jobLock);
    return sourcePath_;
}

uint64_t convertFile::getSourceSize() const
{
    KXAutoLock lock(&jobLock);
    return sourceSize_;
}

std::vector<std::string> convertFile::getNotes() const
{
    KXAutoLock lock(&jobLock);
    return notes_;
}

void convertFile::copyFrom(const convertFile& other)
{
    if (&other == this)
        return;
    KXAutoLock lock(&jobLock);  // one lock guards both jobs' fields
    sourcePath_ = other.sourcePath_;
    sourceSize_ = other.sourceSize_;
    targetFolder_ = other.targetFolder_;
    profile_ = other.profile_;
    notes_ = other.notes_;
    setAppendProfileName(other.appendsProfileName());
    const JobState state = other.getState();
    if (state == JobState::Done || state == JobState::Failed || state == JobState::ProbeFailed) {
        outputPath_ = other.outputPath_;
        mediaInfo_ = other.mediaInfo_;
    }
    state_.store(state);
    setListener(other.getListener());
}

void convertFile::setSource(const std::string& path, uint64_t size)
{
    KXAutoLock lock(&jobLock);
    sourcePath_ = path;
    sourceSize_ = size;
}

void convertFile::setTargetFolder(const std::string& folder)
{
    KXAutoLock lock(&jobLock);
    targetFolder_ = folder;
}

std::string convertFile::getTargetFolder() const
{
    KXAutoLock lock(&jobLock);
    return targetFolder_;
}

void convertFile::setProfile(const profile::ProfileRecord& record)
{
    std::optional<std::vector<std::string>> notes = builder().notesWithoutWaiting(record);
    KXAutoLock lock(&jobLock);
    profile_ = record;
    notes_ = notes ? std::move(*notes) : std::vector<std::string>{};
}

profile::ProfileRecord convertFile::getProfile() const
{
    KXAutoLock lock(&jobLock);
    return profile_;
}

void convertFile::applyPriority()
{
    KXMutexLock guard(processMutex_);
    if (process_)
        process_->setNice(niceValueOf(encoderPriorityClass()));
}

}  // namespace convert
