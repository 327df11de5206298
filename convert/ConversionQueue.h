#pragma once
// The conversion queue: the rows' jobs in order, the media probe that serves them, and the driver
// that converts them. The conversion page is a thin view over it, and lumaret-cli convert runs the
// same queue without a window.
//
// Rules:
// - The queue has maxConverting() slots, 1 unless the owner asks for more: while converting it keeps
//   up to that many jobs running, and a free slot always takes the first Waiting row from the top.
//   With one slot the jobs are converted strictly one after another, in row order.
// - Every file is queued to the probe as it is added, so files are probed ahead while others
//   convert.
// - A final report (Done, Failed, ProbeFailed) of a job that ran in this queue's converting mode is
//   counted once for the overall progress; a Waiting job is started into the freed slot after the
//   owner has been told. A ProbeFailed report of a row the queue has not started (a bad file found
//   while others convert) is counted and starts nothing beyond the free slots. One job's failure
//   never stops another.
// - stopAll() stops every running job (each returns to Waiting, is not counted, and a later start
//   takes it again and picks a fresh output name) and leaves converting mode.
// - When no Waiting row is left and the last running job has ended, converting mode ends and the
//   owner hears onQueueEnded().
//
// Threads: every public function is called on the owner's thread (the window thread in the
// program, the front end's loop in lumaret-cli). Job and probe reports arrive on their own threads;
// the queue hands each one to the injected poster, which must run it later on the owner's thread,
// in order. So the listener is called only on the owner's thread, never on a job's or the probe's
// thread, and never from inside a call into the queue. From inside any of its calls the listener
// may remove rows, start, stopAll() and even destroy the queue.
//
// Journal: given a QueueJournal (setJournal), the queue keeps its rows there while the list is not
// empty. A change of a row's membership or state (and a run's claim of its output file) schedules
// one write through the poster, so a burst of changes (adding a thousand files) costs one write;
// progress never writes. An empty list removes the journal, and so does endJournal(), the normal
// exit. Destroying the queue leaves the journal as it is: an end without the exit procedure is
// what the journal is for.
//
// Time left: the queue keeps a SpeedHistory (in memory, or read from the data folder with
// loadSpeedHistory()), records in it the encoding time of each verified success, saves it after
// each, and estimates from it, the running encoders' paces and the waiting rows' durations how
// long the converting rows and the whole queue still need (timeLeft()).
//
// Ownership: the queue owns its jobs and the probe. A job pointer stays valid until removeJob()
// or the queue's destruction; reports already posted for a removed job are dropped.
#include "convert/SpeedHistory.h"
#include "convert/convertEvent.h"
#include "convert/convertFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class AwakeClock;
}

namespace convert {

class EncoderBinding;
class QueueJournal;
struct QueuedFile;
class convertFileInfoThread;
struct JournalRow;

// What the owner hears; every call on the owner's thread.
class ConversionQueueListener {
public:
    virtual ~ConversionQueueListener() = default;
    // A row was appended, by whichever caller (show it); called from within addJob().
    virtual void onJobAdded(convertFile* job) { (void)job; }
    // Any report of a job's state, including Waiting and Converting (repaint its row).
    virtual void onJobStateChanged(convertFile* job, JobState state) { (void)job; (void)state; }
    // A running job's percentage changed.
    virtual void onJobProgress(convertFile* job, int percent) { (void)job; (void)percent; }
    // The probe published its result for a job (repaint its row: duration, stream facts).
    virtual void onJobProbed(convertFile* job) { (void)job; }
    // A job of the converting queue ended (Done, Failed or ProbeFailed) and was counted; called
    // before a job starts into the freed slot, so the owner may act on a Done first (show the
    // output, move the source to the trash).
    virtual void onJobFinished(convertFile* job, JobState state) { (void)job; (void)state; }
    // Converting mode ended because no Waiting row is left and no job runs (not after stopAll()).
    virtual void onQueueEnded() {}
};

class ConversionQueue : private convertEvent {
public:
    // Runs a function later on the owner's thread. Must be callable from any thread.
    using Poster = std::function<void(std::function<void()>)>;

    // binding: the encoders to use; null means the process-wide binding. Must outlive the queue.
    // listener may be null; it must outlive the queue. The probe starts at once.
    ConversionQueue(Poster poster, ConversionQueueListener* listener, const EncoderBinding* binding = nullptr);
    // Stops the running jobs and the probe, then deletes every job.
    ~ConversionQueue() override;
    ConversionQueue(const ConversionQueue&) = delete;
    ConversionQueue& operator=(const ConversionQueue&) = delete;

    // Appends a row with the queue's own copy of `job` (source, size, target folder, profile,
    // output naming), state Waiting, and queues it to the probe; the listener hears of it at once.
    // Returns the queue's job. Owner's thread.
    convertFile* addJob(const convertFile& job);
    // Appends a row for a file built by QueuedFile::build(), as addJob() above.
    convertFile* addJob(const QueuedFile& file);
    // Removes a row and deletes its job. Refused (false) for a converting job (also while its
    // final report is still on its way to the owner) and for a job not in the queue.
    bool removeJob(convertFile* job);

    std::size_t size() const { return rows_.size(); }
    convertFile* jobAt(std::size_t row) const;
    // The row of a job, or -1.
    int rowOf(const convertFile* job) const;

    // Keeps the rows in `journal` from now on (null: no journal). The journal must outlive the
    // queue or be detached first. A journal that another program holds is never written.
    void setJournal(QueueJournal* journal);
    // The normal exit: removes the journal and writes it no more.
    void endJournal();
    // Appends the rows of a journal, already passed through QueueJournal::recover(), in order, each
    // with its state, output path and error text. Returns how many rows were added.
    std::size_t restoreRows(const std::vector<JournalRow>& rows);
    // Gives `job` (not running) what a journal row holds, for an owner that adds rows through a view
    // of its own; a run state (Converting) becomes Waiting without an output.
    static void fillFromJournal(const JournalRow& row, convertFile& job);

    // Enters converting mode and starts the first Waiting jobs, as many as there are slots; false
    // (and nothing changes) when no row is Waiting or the queue already converts.
    bool start();
    // Stops every running job, one after another, and leaves converting mode; no onQueueEnded().
    void stopAll();
    bool isConverting() const { return converting_; }
    // Whether the user may still change a row's output folder or profile: only a Waiting row, and
    // only while the queue does not convert (a row about to start must not change under the driver).
    bool mayChange(const convertFile* job) const;

    // Rows whose job is Waiting; rows whose job has ended (Done, Failed, ProbeFailed).
    int countWaiting() const;
    int countFinished() const;
    // Final reports counted since the last start() (the overall bar's position).
    int finishedThisRun() const { return finishedThisRun_; }
    // The first job in row order whose encoder runs, or null.
    convertFile* findConvertingJob() const;
    // The jobs that are Converting now, in row order, and how many they are.
    std::vector<convertFile*> convertingJobs() const;
    int countConverting() const;

    // The number of slots: how many jobs the queue keeps converting at once. `count` is held to
    // 1..kMaxSlots; the owner keeps it to 1..processorCount() as its settings do. A raise while
    // converting starts Waiting rows into the new slots at once; a cut stops nothing, the running
    // jobs finish and free slots are filled only up to the new count.
    void setMaxConverting(int count);
    int maxConverting() const { return maxConverting_; }
    static constexpr int kMaxSlots = 64;
    // The processors this program may run on, at least 1: the most slots the settings offer.
    static int processorCount();

    // The priority class (convert::EncoderPriorityClass) of the running encoders and of every
    // encoder started from now on; applied at once to every running one.
    void setPriorityClass(uint32_t priorityClass);
    uint32_t priorityClass() const;

    // Reads the speed history of `folder` (SpeedHistory: a damaged file is set aside) in place of
    // the one in memory; every verified success from now on is saved there.
    void loadSpeedHistory(const std::filesystem::path& folder);
    const SpeedHistory& speedHistory() const;
    // The clock the jobs added from now on measure their encoders on (AwakeClock::system() until
    // set). Must outlive the queue.
    void setClock(const platform::AwakeClock& clock);

    // The estimate as it stands: for each converting row (in row order) its encoder's speed and
    // the seconds it still needs, and the seconds until the last Waiting row is converted. Unknown
    // parts are empty; the queue's seconds are empty too while the queue does not convert.
    struct RowTimeLeft {
        const convertFile* job = nullptr;
        std::optional<double> speed;    // seconds of media per second of encoding
        std::optional<double> seconds;
    };
    struct TimeLeftNow {
        std::vector<RowTimeLeft> running;
        std::optional<double> queueSeconds;
        // The entry of a converting job; null for any other.
        const RowTimeLeft* find(const convertFile* job) const;
    };
    TimeLeftNow timeLeft() const;

private:
    // One row: its job and a number of its own, so that a report posted for a removed job can
    // never reach a job created later at the same address.
    struct Row {
        std::unique_ptr<convertFile> job;
        uint64_t id = 0;
        bool finalSeen = false;       // a final report of this job was handled
        bool startedByQueue = false;  // started by the driver and not yet ended
        bool probeSeen = false;       // onJobProbed was sent
    };

    // convertEvent, on job and probe threads: post to the owner's thread.
    void onStateChanged(convertFile* job, JobState state) override;
    void onProgress(convertFile* job, int percent) override;
    void onOutputClaimed(convertFile* job) override;
    // Posts `handler(id)` for the job's row, unless the job has left the queue.
    void postFor(const convertFile* job, std::function<void(ConversionQueue&, uint64_t)> handler);

    // The handlers of posted reports, on the owner's thread.
    void handleState(uint64_t id, JobState state);
    void handleProgress(uint64_t id, int percent);
    void handleProbed();
    // Fills the free slots when converting; ends converting mode when no row is Waiting, no job
    // runs and every final state has been reported.
    void advance();
    // Starts the first Waiting rows into the free slots, in row order.
    void fillSlots();
    bool isRunning(uint64_t id) const;
    // The row's run has ended (or was stopped): its slot is free.
    void freeSlot(uint64_t id);
    bool hasUnreportedFinalState() const;
    // A verified success teaches the history its profile's pace.
    void rememberSpeed(const convertFile& job);
    // Posts one journal write for any number of changes made before it runs.
    void scheduleJournalWrite();
    void writeJournal();
    std::vector<JournalRow> journalRows() const;

    Row* findRow(uint64_t id);
    int rowIndexOf(const convertFile* job) const;

    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::vector<Row> rows_;
    uint64_t nextId_ = 1;
    // The rows whose jobs the driver started and has not heard the end of, one per taken slot.
    std::vector<uint64_t> runningIds_;
    int maxConverting_ = 1;
    bool converting_ = false;
    int finishedThisRun_ = 0;
    QueueJournal* journal_ = nullptr;
    bool journalWritePosted_ = false;
};

}  // namespace convert
