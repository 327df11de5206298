#include "convert/ConversionQueue.h"

#include "convert/JobState.h"
#include "convert/QueueJournal.h"
#include "convert/QueuedFile.h"
#include "convert/TimeLeftEstimate.h"
#include "convert/convertFileInfoThread.h"
#include "kxlib/KXMutex.h"
#include "kxlib/KXMutexLock.h"
#include "platform/core/AwakeClock.h"
#include "platform/core/DebugOutput.h"
#include "profile/ProfileRecord.h"

#include <algorithm>
#include <thread>
#include <unordered_map>

namespace convert {

namespace {

bool isFinal(JobState state)
{
    return state == JobState::Done || state == JobState::Failed || state == JobState::ProbeFailed;
}

}  // namespace

struct ConversionQueue::Impl {
    Impl(Poster posterFunction, ConversionQueueListener* queueListener, const EncoderBinding* encoders)
        : poster(std::move(posterFunction)), listener(queueListener), binding(encoders), probe(encoders)
    {
    }

    const Poster poster;
    ConversionQueueListener* const listener;
    const EncoderBinding* const binding;
    convertFileInfoThread probe;
    uint32_t priorityClass = convertFile::encoderPriorityClass();
    SpeedHistory speeds;
    const platform::AwakeClock* clock = &platform::AwakeClock::system();

    // Lives as long as the queue. A posted function holds only a weak reference, so a function run
    // after the queue is gone (or from inside a listener call that destroyed it) does nothing.
    std::shared_ptr<int> life = std::make_shared<int>(0);
    const std::weak_ptr<int> weakLife = life;

    // The id of each job in the queue, read on job and probe threads to label their reports.
    // Never held while a job or the probe is called; a job takes it from inside a report it makes
    // with the job lock held (a failed probe's).
    KXLib::KXMutex idMutex KX_ACQUIRED_AFTER(convertFile::jobLock);
    std::unordered_map<const convertFile*, uint64_t> ids KX_GUARDED_BY(idMutex);
};

ConversionQueue::ConversionQueue(Poster poster, ConversionQueueListener* listener, const EncoderBinding* binding)
    : impl_(std::make_unique<Impl>(std::move(poster), listener, binding))
{
    impl_->probe.setDisposed(true);
    // The probe does not say which job it served; the owner's thread looks for rows whose result
    // has arrived.
    const std::weak_ptr<int> life = impl_->weakLife;
    impl_->probe.start([this, life, post = impl_->poster] {
        post([this, life] {
            if (!life.expired())
                handleProbed();
        });
    });
}

ConversionQueue::~ConversionQueue()
{
    converting_ = false;
    // The probe first: it writes into jobs. Then each job's destructor stops its run; no report is
    // delivered any more, since every posted function checks the queue's life first.
    impl_->probe.stop();
    {
        KXLib::KXMutexLock lock(impl_->idMutex);
        impl_->ids.clear();
    }
    rows_.clear();
}

convertFile* ConversionQueue::addJob(const convertFile& job)
{
    auto own = std::make_unique<convertFile>(impl_->binding);
    own->setDisposed(true);
    own->copyFrom(job);
    own->setListener(this);
    own->setClock(*impl_->clock);

    Row row;
    row.id = nextId_++;
    // A job adopted in a final state has nothing left to report.
    row.finalSeen = isFinal(own->getState());
    row.job = std::move(own);
    convertFile* added = row.job.get();
    {
        KXLib::KXMutexLock lock(impl_->idMutex);
        impl_->ids[added] = row.id;
    }
    rows_.push_back(std::move(row));
    impl_->probe.enqueue(added);
    scheduleJournalWrite();
    if (impl_->listener)
        impl_->listener->onJobAdded(added);
    return added;
}

convertFile* ConversionQueue::addJob(const QueuedFile& file)
{
    convertFile job(impl_->binding);
    job.setDisposed(true);
    job.setSource(file.sourcePath, file.sourceSize);
    job.setTargetFolder(file.targetFolder);
    job.setProfile(file.profile);
    job.setAppendProfileName(file.appendProfileName);
    return addJob(job);
}

bool ConversionQueue::mayChange(const convertFile* job) const
{
    return job && !converting_ && rowIndexOf(job) >= 0 && job->getState() == JobState::Waiting;
}

std::size_t ConversionQueue::restoreRows(const std::vector<JournalRow>& rows)
{
    for (const JournalRow& row : rows) {
        convertFile job(impl_->binding);
        job.setDisposed(true);
        fillFromJournal(row, job);
        addJob(job);
    }
    return rows.size();
}

void ConversionQueue::fillFromJournal(const JournalRow& row, convertFile& job)
{
    job.setSource(row.sourcePath, row.sourceSize);
    job.setTargetFolder(row.targetFolder);
    job.setProfile(row.profile);
    job.setAppendProfileName(row.appendProfileName);
    // A row that was converting has been through QueueJournal::recover(); should one reach here
    // anyway, it waits rather than pretending to run.
    const bool runState = row.state == JobState::Converting || row.state == JobState::Stopping;
    job.restoreOutcome(runState ? JobState::Waiting : row.state, runState ? std::string() : row.outputPath,
                       row.errorText);
}

bool ConversionQueue::removeJob(convertFile* job)
{
    const int index = rowIndexOf(job);
    if (index < 0)
        return false;
    Row& row = rows_[static_cast<size_t>(index)];
    const JobState state = job->getState();
    // The driver's own job is kept until its end has been heard, or the queue would wait for it
    // for ever.
    if (state == JobState::Converting || state == JobState::Stopping || isRunning(row.id))
        return false;

    impl_->probe.remove(job);
    {
        KXLib::KXMutexLock lock(impl_->idMutex);
        impl_->ids.erase(job);
    }
    std::unique_ptr<convertFile> removed = std::move(row.job);
    rows_.erase(rows_.begin() + index);
    removed.reset();
    scheduleJournalWrite();
    return true;
}

convertFile* ConversionQueue::jobAt(std::size_t row) const
{
    return row < rows_.size() ? rows_[row].job.get() : nullptr;
}

int ConversionQueue::rowOf(const convertFile* job) const
{
    return rowIndexOf(job);
}

int ConversionQueue::rowIndexOf(const convertFile* job) const
{
    const auto found =
        std::find_if(rows_.begin(), rows_.end(), [job](const Row& row) { return row.job.get() == job; });
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

ConversionQueue::Row* ConversionQueue::findRow(uint64_t id)
{
    const auto found = std::find_if(rows_.begin(), rows_.end(), [id](const Row& row) { return row.id == id; });
    return found == rows_.end() ? nullptr : &*found;
}

bool ConversionQueue::start()
{
    if (converting_ || !runningIds_.empty() || countWaiting() == 0)
        return false;
    converting_ = true;
    finishedThisRun_ = 0;
    advance();
    return true;
}

void ConversionQueue::stopAll()
{
    converting_ = false;
    // Each stop waits for its job's end; a hung encoder is killed, so none of them holds up the rest.
    for (Row& row : rows_) {
        if (row.job->getState() != JobState::Converting)
            continue;
        row.job->stop();
        // A job that ended on its own just before the stop keeps its result, and its report
        // (already posted) is still counted.
        if (row.job->getState() == JobState::Waiting)
            row.startedByQueue = false;
    }
    runningIds_.clear();
    scheduleJournalWrite();  // the stopped jobs are Waiting again, without a report
}

void ConversionQueue::setJournal(QueueJournal* journal)
{
    journal_ = journal;
    if (journal_ && !rows_.empty())
        scheduleJournalWrite();
}

void ConversionQueue::endJournal()
{
    if (journal_)
        journal_->remove();
    journal_ = nullptr;
}

void ConversionQueue::scheduleJournalWrite()
{
    if (!journal_ || journalWritePosted_)
        return;
    journalWritePosted_ = true;
    const std::weak_ptr<int> life = impl_->weakLife;
    impl_->poster([this, life] {
        if (life.expired())
            return;
        journalWritePosted_ = false;
        writeJournal();
    });
}

void ConversionQueue::writeJournal()
{
    if (!journal_ || !journal_->held())
        return;
    std::string error;
    const bool written = rows_.empty() ? journal_->remove() : journal_->save(journalRows(), &error);
    if (!written && !error.empty())
        platform::DebugOutput::line(error);
}

std::vector<JournalRow> ConversionQueue::journalRows() const
{
    std::vector<JournalRow> rows;
    rows.reserve(rows_.size());
    for (const Row& row : rows_) {
        const convertFile& job = *row.job;
        JournalRow& out = rows.emplace_back();
        job.getProbeInput(out.sourcePath, out.sourceSize);
        out.profile = job.getProfile();
        out.targetFolder = job.getTargetFolder();
        out.state = job.getState();
        out.appendProfileName = job.appendsProfileName();
        if (out.state == JobState::Converting || out.state == JobState::Stopping) {
            // Only the file this run claimed may be removed after a crash, so its identity goes too.
            if (const std::optional<OutputClaim> claim = job.claimedOutput()) {
                out.outputPath = claim->path();
                out.outputDevice = claim->device();
                out.outputInode = claim->inode();
                out.outputStamp = claim->stamp();
            }
        } else if (isFinal(out.state)) {
            out.outputPath = job.getOutputPath();
            if (out.state != JobState::Done)
                job.getMediaInfo(out.errorText);
        }
    }
    return rows;
}

int ConversionQueue::countWaiting() const
{
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                          [](const Row& row) { return row.job->getState() == JobState::Waiting; }));
}

int ConversionQueue::countFinished() const
{
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                          [](const Row& row) { return isFinal(row.job->getState()); }));
}

convertFile* ConversionQueue::findConvertingJob() const
{
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [](const Row& row) { return row.job->getState() == JobState::Converting; });
    return found == rows_.end() ? nullptr : found->job.get();
}

std::vector<convertFile*> ConversionQueue::convertingJobs() const
{
    std::vector<convertFile*> jobs;
    for (const Row& row : rows_)
        if (row.job->getState() == JobState::Converting)
            jobs.push_back(row.job.get());
    return jobs;
}

int ConversionQueue::countConverting() const
{
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                          [](const Row& row) { return row.job->getState() == JobState::Converting; }));
}

void ConversionQueue::setMaxConverting(int count)
{
    maxConverting_ = std::clamp(count, 1, kMaxSlots);
    // Only starts: the queue's end is decided when a report arrives, never inside an owner's call.
    if (converting_)
        fillSlots();
}

int ConversionQueue::processorCount()
{
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : std::min(static_cast<int>(count), kMaxSlots);
}

void ConversionQueue::setPriorityClass(uint32_t priorityClass)
{
    impl_->priorityClass = priorityClass;
    convertFile::setEncoderPriorityClass(priorityClass);
    for (convertFile* running : convertingJobs())
        running->applyPriority();
}

uint32_t ConversionQueue::priorityClass() const
{
    return impl_->priorityClass;
}

void ConversionQueue::loadSpeedHistory(const std::filesystem::path& folder)
{
    impl_->speeds = SpeedHistory(folder);
    if (impl_->speeds.loaded() == SpeedHistory::Loaded::SetAside ||
        impl_->speeds.loaded() == SpeedHistory::Loaded::NotKept)
        platform::DebugOutput::line("damaged speed history set aside: " + impl_->speeds.path().string());
}

const SpeedHistory& ConversionQueue::speedHistory() const
{
    return impl_->speeds;
}

void ConversionQueue::setClock(const platform::AwakeClock& clock)
{
    impl_->clock = &clock;
}

void ConversionQueue::rememberSpeed(const convertFile& job)
{
    const std::optional<double> seconds = job.encodingSeconds();
    if (!seconds)
        return;
    const double mediaSeconds = static_cast<double>(job.getDurationMillis()) / 1000.0;
    if (!impl_->speeds.record(profile::profileNameOf(job.getProfile()), *seconds, mediaSeconds))
        return;
    std::string error;
    if (impl_->speeds.loaded() != SpeedHistory::Loaded::Nothing && !impl_->speeds.save(&error))
        platform::DebugOutput::line(error);
}

const ConversionQueue::RowTimeLeft* ConversionQueue::TimeLeftNow::find(const convertFile* job) const
{
    const auto found =
        std::find_if(running.begin(), running.end(), [job](const RowTimeLeft& row) { return row.job == job; });
    return found == running.end() ? nullptr : &*found;
}

ConversionQueue::TimeLeftNow ConversionQueue::timeLeft() const
{
    TimeLeftNow now;
    std::vector<RunningRowProgress> running;
    std::vector<WaitingRowWork> waiting;
    for (const Row& row : rows_) {
        const convertFile& job = *row.job;
        const JobState state = job.getState();
        // Ended rows, and waiting ones while nothing converts, cost nothing but their state.
        if (state != JobState::Converting && !(state == JobState::Waiting && converting_))
            continue;
        const double mediaSeconds = static_cast<double>(job.getDurationMillis()) / 1000.0;
        const std::string name = profile::profileNameOf(job.getProfile());
        if (state == JobState::Converting) {
            const convertFile::EncoderPace pace = job.encoderPace();
            running.push_back({name, mediaSeconds, pace.positionSeconds, pace.speed});
            now.running.push_back({&job, pace.speed, std::nullopt});
        } else {
            waiting.push_back({name, mediaSeconds});
        }
    }
    const TimeLeft estimate = TimeLeftEstimate::estimate(running, waiting, impl_->speeds, maxConverting());
    for (size_t i = 0; i < now.running.size() && i < estimate.runningSeconds.size(); ++i)
        now.running[i].seconds = estimate.runningSeconds[i];
    if (converting_)
        now.queueSeconds = estimate.queueSeconds;
    return now;
}

void ConversionQueue::onStateChanged(convertFile* job, JobState state)
{
    postFor(job, [state](ConversionQueue& queue, uint64_t id) { queue.handleState(id, state); });
}

void ConversionQueue::onProgress(convertFile* job, int percent)
{
    postFor(job, [percent](ConversionQueue& queue, uint64_t id) { queue.handleProgress(id, percent); });
}

void ConversionQueue::onOutputClaimed(convertFile* job)
{
    postFor(job, [](ConversionQueue& queue, uint64_t) { queue.scheduleJournalWrite(); });
}

void ConversionQueue::postFor(const convertFile* job, std::function<void(ConversionQueue&, uint64_t)> handler)
{
    uint64_t id = 0;
    {
        KXLib::KXMutexLock lock(impl_->idMutex);
        const auto found = impl_->ids.find(job);
        if (found == impl_->ids.end())
            return;
        id = found->second;
    }
    const std::weak_ptr<int> life = impl_->weakLife;
    impl_->poster([this, life, id, handler = std::move(handler)] {
        if (!life.expired())
            handler(*this, id);
    });
}

void ConversionQueue::handleState(uint64_t id, JobState state)
{
    Row* row = findRow(id);
    if (!row)
        return;  // removed after the report was posted
    convertFile* job = row->job.get();
    const bool final = isFinal(state);
    scheduleJournalWrite();
    bool counted = false;
    if (final && !row->finalSeen) {
        row->finalSeen = true;
        counted = converting_ || row->startedByQueue;
        row->startedByQueue = false;
        if (counted)
            ++finishedThisRun_;
    }
    if (final)
        freeSlot(id);
    if (state == JobState::Done && counted)
        rememberSpeed(*job);

    // The listener may remove rows, stop, start or even destroy the queue from inside any call,
    // so nothing found before a call is trusted after it.
    const std::weak_ptr<int> life = impl_->weakLife;
    ConversionQueueListener* listener = impl_->listener;
    if (listener)
        listener->onJobStateChanged(job, state);
    if (life.expired())
        return;
    if (counted && listener && findRow(id)) {
        listener->onJobFinished(job, state);
        if (life.expired())
            return;
    }
    if (final)
        advance();
}

void ConversionQueue::handleProgress(uint64_t id, int percent)
{
    // Only a running job's bar moves; a late report of a stopped run is dropped.
    Row* row = findRow(id);
    if (row && isRunning(id) && impl_->listener)
        impl_->listener->onJobProgress(row->job.get(), percent);
}

void ConversionQueue::handleProbed()
{
    std::vector<uint64_t> arrived;
    for (Row& row : rows_) {
        if (row.probeSeen)
            continue;
        std::string duration;
        row.job->getDurationText(duration);
        // The probe always publishes a duration text, "00:00:00" for a bad file.
        if (!duration.empty()) {
            row.probeSeen = true;
            arrived.push_back(row.id);
        }
    }
    const std::weak_ptr<int> life = impl_->weakLife;
    for (uint64_t id : arrived) {
        Row* row = findRow(id);
        if (!row || !impl_->listener)
            continue;
        impl_->listener->onJobProbed(row->job.get());
        if (life.expired())
            return;
    }
}

bool ConversionQueue::hasUnreportedFinalState() const
{
    return std::any_of(rows_.begin(), rows_.end(),
                       [](const Row& row) { return !row.finalSeen && isFinal(row.job->getState()); });
}

bool ConversionQueue::isRunning(uint64_t id) const
{
    return std::find(runningIds_.begin(), runningIds_.end(), id) != runningIds_.end();
}

void ConversionQueue::freeSlot(uint64_t id)
{
    runningIds_.erase(std::remove(runningIds_.begin(), runningIds_.end(), id), runningIds_.end());
}

void ConversionQueue::fillSlots()
{
    for (Row& row : rows_) {
        if (runningIds_.size() >= static_cast<size_t>(maxConverting_))
            return;
        if (row.job->getState() != JobState::Waiting || isRunning(row.id))
            continue;
        runningIds_.push_back(row.id);
        row.startedByQueue = true;
        convertFile::setEncoderPriorityClass(impl_->priorityClass);
        // Every outcome is reported, a refusal too (the job's current state, or Failed), and the
        // report frees the slot; so the result of start() needs no handling here.
        row.job->start();
    }
}

void ConversionQueue::advance()
{
    if (!converting_)
        return;
    fillSlots();
    if (!runningIds_.empty())
        return;
    // A job that ended while others ran (a failed probe) is counted when its report arrives;
    // the queue ends only after that, so the overall count is complete when the owner hears it.
    if (hasUnreportedFinalState())
        return;
    converting_ = false;
    if (impl_->listener)
        impl_->listener->onQueueEnded();
}

}  // namespace convert
