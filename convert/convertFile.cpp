#include "convert/convertFile.h"

#include "convert/CommandLineBuilder.h"
#include "convert/EncoderBinding.h"
#include "convert/EncoderOutputReader.h"
#include "convert/MediaInfoParser.h"
#include "kxlib/KXAutoLock.h"
#include "platform/ChildProcess.h"
#include "platform/DebugOutput.h"
#include "platform/Paths.h"
#include "profile/EncodingTables.h"

#include <cstring>
#include <filesystem>
#include <thread>

namespace convert {

using KXLib::KXAutoLock;

KXLib::KXCriticalSection convertFile::jobLock;

namespace {

std::atomic<uint32_t> priorityClass{PriorityNormal};
std::atomic<bool> appendProfileNameSetting{false};

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

// The reasons, beyond the encoder's own words, why a run did not count as a conversion.
std::string endReason(const char* program, const platform::ChildProcess::ExitStatus& exit, bool sawProgress,
                      bool outputWritten, const std::string& outputPath)
{
    if (!exit.exited && exit.signal != 0)
        return std::string(program) + " was ended by signal " + std::to_string(exit.signal) + " (" +
               strsignal(exit.signal) + ")";
    if (!exit.exited)
        return std::string(program) + " ended in an unknown way";
    if (exit.code != 0)
        return std::string(program) + " ended with exit status " + std::to_string(exit.code);
    if (!sawProgress)
        return std::string(program) + " ended without converting anything";
    if (!outputWritten)
        return std::string(program) + " wrote no output file (" + outputPath + ")";
    return {};
}

// The encoder's last lines and the reason, within the error text's limit; lines are dropped from
// the front when both do not fit.
std::string joinErrorText(std::string lines, const std::string& reason)
{
    if (reason.empty())
        return lines;
    const size_t room = EncoderOutputReader::kMaxErrorText;
    if (reason.size() + 1 >= room)
        return reason.substr(0, room);
    while (!lines.empty() && lines.size() + 1 + reason.size() > room) {
        const size_t nextLine = lines.find('\n');
        lines.erase(0, nextLine == std::string::npos ? lines.size() : nextLine + 1);
    }
    return lines.empty() ? reason : lines + "\n" + reason;
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

void convertFile::setAppendProfileName(bool append)
{
    appendProfileNameSetting.store(append);
}

bool convertFile::appendProfileName()
{
    return appendProfileNameSetting.load();
}

convertFile::convertFile(const EncoderBinding* binding)
    : binding_(binding), profile_(profile::makeEmptyProfileRecord())
{
}

convertFile::~convertFile()
{
    stop();
    std::lock_guard run(runMutex_);
    if (thread_ && thread_->threadId() != std::this_thread::get_id())
        thread_->join();
    thread_.reset();
}

void convertFile::report(int state)
{
    if (convertEvent* listener = getListener())
        listener->onStateChanged(this, state);
}

bool convertFile::start()
{
    std::lock_guard run(runMutex_);
    {
        KXAutoLock lock(&jobLock);
        if (sourcePath_.empty() || !profile::conversionTypeDescriptor(profile_.conversionType))
            state_.store(Failed);
    }
    const int current = state_.load();
    if (current != Waiting) {
        report(current);
        return false;
    }
    state_.store(Converting);
    report(Converting);

    // A new run always gets a new thread; the last one has ended (or ends now) on its own.
    if (thread_) {
        thread_->join();
        thread_.reset();
    }
    stopRequested_.store(false);
    percent_.store(-1);
    thread_ = new KXLib::KXThread(KXLib::KXSmartPtr<KXLib::KXRunable>(this));
    if (thread_->start() == std::thread::id()) {
        thread_.reset();
        fail("the conversion thread could not be created");
        return false;
    }
    return true;
}

void convertFile::stop()
{
    std::lock_guard run(runMutex_);
    int expected = Converting;
    if (!thread_ || !state_.compare_exchange_strong(expected, Stopping))
        return;
    stopRequested_.store(true);
    {
        // Taken so that a job thread about to wait for the probe cannot miss the wake-up.
        KXAutoLock lock(&jobLock);
        probeArrived_.notify_all();
    }
    {
        std::lock_guard guard(processMutex_);
        if (process_)
            process_->interrupt();
    }
    if (thread_->threadId() == std::this_thread::get_id())
        return;  // a listener stopping its own job: the run ends when this call returns
    thread_->join();
    thread_.reset();
    // A probe failure that arrived meanwhile stays; only a plain stop returns to Waiting.
    expected = Stopping;
    state_.compare_exchange_strong(expected, Waiting);
}

bool convertFile::waitForProbe()
{
    JobLockWaiter waiter;
    std::unique_lock lock(waiter);
    probeArrived_.wait(lock, [this]() KX_REQUIRES(jobLock) {
        return probed_ || stopRequested_.load() || state_.load() != Converting;
    });
    return state_.load() == Converting && !stopRequested_.load();
}

void convertFile::run()
{
    const CommandLineBuilder builder = binding_ ? CommandLineBuilder(*binding_) : CommandLineBuilder();
    // What the binding must learn about the installed ffmpeg for this profile (rarely anything) is
    // learnt while the probe runs, so the encoder starts as soon as the probe's result is in.
    builder.prepare(getProfile());

    // The encoder never starts before the probe has published its result; a failed probe or a
    // stop ends the run here without a report.
    if (!waitForProbe())
        return;

    std::string source;
    std::string folder;
    profile::ProfileRecord record;
    int64_t durationMillis = 0;
    {
        KXAutoLock lock(&jobLock);
        source = sourcePath_;
        folder = targetFolder_;
        record = profile_;
        durationMillis = durationMillis_;
    }
    const std::optional<EncoderCommand> command = builder.build(source, record, folder, appendProfileName());
    if (!command) {
        fail("no output file name can be made for \"" + source + "\"");
        return;
    }
    {
        KXAutoLock lock(&jobLock);
        outputPath_ = command->outputPath;
        if (targetFolder_.empty())
            targetFolder_ = command->targetFolder;
        notes_ = command->notes;
    }
    runEncoder(*command, durationMillis);
}

void convertFile::runEncoder(const EncoderCommand& command, int64_t durationMillis)
{
    auto child = std::make_shared<platform::ChildProcess>();
    {
        std::lock_guard guard(processMutex_);
        process_ = child;
        if (stopRequested_.load())
            child->interrupt();
    }
    auto dropProcess = [this] {
        std::lock_guard guard(processMutex_);
        process_.reset();
    };
    std::string startError;
    if (child->interrupted() ||
        !child->start(command.arguments, niceValueOf(encoderPriorityClass()), &startError)) {
        dropProcess();
        if (!stopRequested_.load())
            fail(startError);
        return;
    }

    EncoderOutputReader reader(command.program, durationMillis);
    std::string piece;
    platform::ChildProcess::ReadStatus status;
    while ((status = child->read(piece, 9999)) == platform::ChildProcess::ReadStatus::Data) {
        if (reader.feed(piece) && reader.percent() >= 0)
            setPercent(reader.percent());
        platform::DebugOutput::line(piece);
        piece.clear();
    }
    reader.finish();
    const platform::ChildProcess::ExitStatus exit = child->finish();
    dropProcess();
    if (status == platform::ChildProcess::ReadStatus::Interrupted || stopRequested_.load())
        return;  // stopped: no report, the partial output stays

    const bool outputWritten = isNonEmptyFile(command.outputPath);
    const char* program = encoderProgramName(command.program);
    if (reader.sawProgress() && exit.success() && outputWritten) {
        setPercent(100);
        endRun(Done);
        return;
    }
    fail(joinErrorText(reader.errorText(), endReason(program, exit, reader.sawProgress(), outputWritten,
                                                     command.outputPath)));
}

void convertFile::setPercent(int percent)
{
    if (percent_.exchange(percent) == percent)
        return;
    if (convertEvent* listener = getListener())
        listener->onProgress(this, percent);
}

void convertFile::endRun(int state)
{
    int expected = Converting;
    if (state_.compare_exchange_strong(expected, state))
        report(state);
}

void convertFile::fail(const std::string& errorText)
{
    {
        KXAutoLock lock(&jobLock);
        mediaInfo_ = errorText;
    }
    platform::DebugOutput::line(errorText);
    endRun(Failed);
}

void convertFile::setProbeResult(const std::string& durationText, const std::string& info, bool ok,
                                 int64_t durationMillis)
{
    KXAutoLock lock(&jobLock);
    probed_ = true;
    if (ok) {
        mediaInfo_ = info;
        durationText_ = durationText;
        durationSeconds_ = MediaInfoParser::secondsOf(durationText);
        durationMillis_ = durationMillis >= 0 ? durationMillis : int64_t(durationSeconds_) * 1000;
        probeArrived_.notify_all();
        return;
    }
    mediaInfo_ = kBadFileText;
    durationText_ = kNoDurationText;
    durationSeconds_ = 0;
    durationMillis_ = 0;
    state_.store(ProbeFailed);
    probeArrived_.notify_all();
    report(ProbeFailed);
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
    const size_t slash = sourcePath_.rfind('/');
    const size_t dot = sourcePath_.rfind('.');
    if (slash == std::string::npos || dot == std::string::npos || slash > dot)
        return platform::Paths::expandHome("~/Lumaret_output").string();
    targetFolder_ = sourcePath_.substr(0, slash);
    return targetFolder_;
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
    state_.store(other.getState());
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
    KXAutoLock lock(&jobLock);
    profile_ = record;
}

profile::ProfileRecord convertFile::getProfile() const
{
    KXAutoLock lock(&jobLock);
    return profile_;
}

void convertFile::applyPriority()
{
    std::lock_guard guard(processMutex_);
    if (process_)
        process_->setNice(niceValueOf(encoderPriorityClass()));
}

}  // namespace convert
