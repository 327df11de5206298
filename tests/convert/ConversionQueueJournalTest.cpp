#include "convert/ConversionQueue.h"

#include "convert/ConversionQueueLoop.h"
#include "convert/QueueJournal.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using convert::ConversionQueue;
using convert::convertFile;
using convert::JournalRow;
using convert::QueueJournal;

namespace {

class Listener : public convert::ConversionQueueListener {
public:
    void onJobProgress(convertFile*, int) override
    {
        ++progressReports;
    }
    void onJobFinished(convertFile*, convert::JobState) override { ++finished; }
    void onJobProbed(convertFile*) override { ++probed; }
    void onQueueEnded() override { ++ended; }

    int progressReports = 0;
    int probed = 0;
    int finished = 0;
    int ended = 0;
};

// The queue with a journal, its reports pumped by hand on the test's thread.
class ConversionQueueJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        journal_ = std::make_unique<QueueJournal>(dir_ / "data");
        ASSERT_TRUE(journal_->held());
        queue_ = std::make_unique<ConversionQueue>(loop_.poster(), &listener_, binding_.get());
        queue_->setJournal(journal_.get());
    }
    void TearDown() override { queue_.reset(); }

    std::string source(const std::string& name, const std::string& script)
    {
        std::filesystem::create_directories(dir_ / "src");
        return fakeencoder::writeScript(dir_ / "src" / name, "probe: cat " +
                                                                 testfixtures::path("probe-mp4-av-mp4.txt") + "\n" +
                                                                 script);
    }
    convertFile* add(const std::string& path)
    {
        convertFile job;
        job.setDisposed(true);
        job.setSource(path, std::filesystem::file_size(path));
        job.setTargetFolder((dir_ / "out").string());
        profile::ProfileRecord record = profile::makeEmptyProfileRecord();
        record.conversionType = 8;  // AVI
        job.setProfile(record);
        job.setAppendProfileName(true);
        return queue_->addJob(job);
    }
    // The journal as another reader finds it on disk (the queue's journal holds the lock).
    std::vector<JournalRow> onDisk() const
    {
        std::ifstream in(journal_->path(), std::ios::binary);
        return QueueJournal::decode(std::string(std::istreambuf_iterator<char>(in), {})).rows;
    }
    void pumpUntil(const std::function<bool()>& done)
    {
        while (!done())
            ASSERT_TRUE(loop_.runOneWithin(std::chrono::seconds(60))) << "a report never arrived";
    }

    testsupport::TempDir dir_;
    std::unique_ptr<convert::EncoderBinding> binding_ = fakeencoder::binding();
    convert::ConversionQueueLoop loop_;
    std::unique_ptr<QueueJournal> journal_;
    Listener listener_;
    std::unique_ptr<ConversionQueue> queue_;
};

TEST_F(ConversionQueueJournalTest, WrittenOnMembershipAndStateButNeverForProgress)
{
    // Many files added at once cost one write, made when the owner's loop turns.
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"})
        add(source(name, "statuses 0 2 0.5\nwrite-output\n"));
    EXPECT_FALSE(std::filesystem::exists(journal_->path()));
    loop_.runPending();
    EXPECT_EQ(journal_->writeCount(), 1);
    ASSERT_EQ(onDisk().size(), 3u);
    EXPECT_TRUE(onDisk()[0].appendProfileName);

    ASSERT_TRUE(queue_->start());
    pumpUntil([&] { return listener_.ended > 0; });
    loop_.runPending();
    // Per file at most: Converting, the claim, Done.
    EXPECT_LE(journal_->writeCount(), 1 + 3 * 3);

    const std::vector<JournalRow> rows = onDisk();
    ASSERT_EQ(rows.size(), 3u);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].state, convert::JobState::Done);
        EXPECT_EQ(rows[i].outputPath, queue_->jobAt(i)->getOutputPath());
    }

    // Removing every row removes the journal.
    while (queue_->size() > 0)
        ASSERT_TRUE(queue_->removeJob(queue_->jobAt(0)));
    loop_.runPending();
    EXPECT_FALSE(std::filesystem::exists(journal_->path()));
}

// A hundred progress reports of the running job, fed as its thread would, write nothing.
TEST_F(ConversionQueueJournalTest, ProgressAloneNeverWrites)
{
    convertFile* job = add(source("a.mp4", "status 0\nwrite-output\nhang\n"));
    ASSERT_TRUE(queue_->start());
    pumpUntil([&] { return !onDisk().empty() && onDisk()[0].outputInode != 0; });
    loop_.runPending();
    const int writes = journal_->writeCount();
    for (int percent = 1; percent <= 100; ++percent)
        job->getListener()->onProgress(job, percent);
    loop_.runPending();
    EXPECT_GE(listener_.progressReports, 100);
    EXPECT_EQ(journal_->writeCount(), writes);
    queue_->stopAll();
}

// While the second of three files converts, the journal holds the first as Done with its output,
// the second as Converting with the very file its run claimed, and the third as Waiting; the list
// rebuilt from it converts the second again into a name picked afresh.
TEST_F(ConversionQueueJournalTest, RecordsTheClaimedOutputAndRestoresTheList)
{
    add(source("a.mp4", "statuses 0 2 0.5\nwrite-output\n"));
    add(source("b.mp4", "status 0\nwrite-output\nhang\n"));
    add(source("c.mp4", "statuses 0 2 0.5\nwrite-output\n"));
    ASSERT_TRUE(queue_->start());
    pumpUntil([&] {
        const std::vector<JournalRow> rows = onDisk();
        return rows.size() == 3 && rows[1].state == convert::JobState::Converting && rows[1].outputInode != 0;
    });
    const std::vector<JournalRow> snapshot = onDisk();
    EXPECT_EQ(snapshot[0].state, convert::JobState::Done);
    EXPECT_TRUE(std::filesystem::exists(snapshot[0].outputPath));
    EXPECT_EQ(snapshot[2].state, convert::JobState::Waiting);
    EXPECT_TRUE(snapshot[2].outputPath.empty());
    struct stat partial {};
    ASSERT_EQ(::lstat(snapshot[1].outputPath.c_str(), &partial), 0);
    EXPECT_EQ(snapshot[1].outputInode, partial.st_ino);
    EXPECT_EQ(snapshot[1].outputDevice, partial.st_dev);

    // The queue's end without the exit procedure leaves the journal.
    queue_.reset();
    EXPECT_TRUE(std::filesystem::exists(journal_->path()));

    queue_ = std::make_unique<ConversionQueue>(loop_.poster(), &listener_, binding_.get());
    queue_->setJournal(journal_.get());
    ASSERT_EQ(queue_->restoreRows(QueueJournal::recover(snapshot)), 3u);
    EXPECT_EQ(queue_->jobAt(0)->getState(), convert::JobState::Done);
    EXPECT_EQ(queue_->jobAt(0)->getOutputPath(), snapshot[0].outputPath);
    EXPECT_EQ(queue_->jobAt(1)->getState(), convert::JobState::Waiting);
    EXPECT_EQ(queue_->jobAt(2)->getState(), convert::JobState::Waiting);
    EXPECT_TRUE(queue_->jobAt(1)->appendsProfileName());
    EXPECT_EQ(queue_->countWaiting(), 2);

    // The second row converts again; stop it and check it ran into a claimed file of its own.
    ASSERT_TRUE(queue_->start());
    pumpUntil([&] { return queue_->jobAt(1)->claimedOutput().has_value(); });
    EXPECT_FALSE(queue_->jobAt(1)->claimedOutput()->path().empty());
    queue_->stopAll();
    loop_.runPending();
    EXPECT_EQ(onDisk()[1].state, convert::JobState::Waiting);
    EXPECT_EQ(onDisk()[1].outputInode, 0u);

    // The normal exit removes the journal.
    queue_->endJournal();
    EXPECT_FALSE(std::filesystem::exists(journal_->path()));
    queue_.reset();
    EXPECT_FALSE(std::filesystem::exists(journal_->path()));
}

TEST_F(ConversionQueueJournalTest, RestoredFailedRowKeepsItsReasonAndVanishedSourceFails)
{
    JournalRow failed;
    failed.sourcePath = source("a.mp4", "exit 1\n");
    failed.sourceSize = std::filesystem::file_size(failed.sourcePath);
    failed.state = convert::JobState::Failed;
    failed.outputPath = (dir_ / "out" / "a.avi").string();
    failed.errorText = "编码器没有转换完整个文件";
    JournalRow vanished = failed;
    vanished.sourcePath = (dir_ / "src" / "gone.mp4").string();
    vanished.state = convert::JobState::Waiting;
    vanished.outputPath.clear();
    vanished.errorText.clear();

    queue_->restoreRows(QueueJournal::recover({failed, vanished}));
    loop_.runPending();
    std::string reason;
    queue_->jobAt(0)->getMediaInfo(reason);
    EXPECT_EQ(reason, failed.errorText);
    EXPECT_EQ(queue_->jobAt(0)->getOutputPath(), failed.outputPath);
    EXPECT_EQ(queue_->jobAt(1)->getState(), convert::JobState::Failed);
    queue_->jobAt(1)->getMediaInfo(reason);
    EXPECT_NE(reason.find("源文件已不存在"), std::string::npos) << reason;
    EXPECT_FALSE(queue_->start());  // nothing is left to convert

    const std::vector<JournalRow> rows = onDisk();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].errorText, failed.errorText);
    EXPECT_EQ(rows[1].state, convert::JobState::Failed);
}

// Two queues on one data folder: the second never writes over the first one's journal.
TEST_F(ConversionQueueJournalTest, SecondQueueDoesNotTouchTheFirstOnesJournal)
{
    add(source("a.mp4", "exit 1\n"));
    loop_.runPending();
    ASSERT_EQ(onDisk().size(), 1u);

    QueueJournal other(dir_ / "data");
    EXPECT_FALSE(other.held());
    ConversionQueue second(loop_.poster(), nullptr, binding_.get());
    second.setJournal(&other);
    convertFile job;
    job.setSource(source("b.mp4", "exit 1\n"), 10);
    second.addJob(job);
    second.addJob(job);
    loop_.runPending();
    EXPECT_EQ(onDisk().size(), 1u);
    ASSERT_TRUE(second.removeJob(second.jobAt(0)));
    ASSERT_TRUE(second.removeJob(second.jobAt(0)));
    second.endJournal();
    loop_.runPending();
    EXPECT_EQ(onDisk().size(), 1u);
}

// A program converting two files at once is killed with SIGKILL. Its encoders die with it, the
// journal on disk holds both rows as Converting with their claimed files, and the next start
// removes both partial outputs and converts both rows again.
TEST(ConversionQueueKillTest, SigkillWithTwoFilesConvertingRecoversBothRows)
{
    testsupport::TempDir dir;
    const std::filesystem::path data = dir / "data";
    const std::filesystem::path ready = dir / "ready.pid";
    std::filesystem::create_directories(dir / "src");
    std::vector<std::string> sources;
    std::vector<std::filesystem::path> pidFiles;
    for (const char* name : {"a", "b", "c"}) {
        pidFiles.push_back(dir / (std::string(name) + ".pid"));
        sources.push_back(fakeencoder::writeScript(
            dir / "src" / (std::string(name) + ".mp4"),
            "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") + "\npidfile " + pidFiles.back().string() +
                "\nstatus 0\nhang\n"));
    }
    const auto add = [&](ConversionQueue& queue, const std::string& path) {
        convertFile job;
        job.setDisposed(true);
        job.setSource(path, std::filesystem::file_size(path));
        job.setTargetFolder((dir / "out").string());
        profile::ProfileRecord record = profile::makeEmptyProfileRecord();
        record.conversionType = 8;  // AVI
        job.setProfile(record);
        queue.addJob(job);
    };

    // The child is the program: two slots, three rows; it says when the journal holds both runs
    // and the probe is done (a probe being started would hold the journal's lock for a moment).
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto binding = fakeencoder::binding();
        convert::ConversionQueueLoop loop;
        QueueJournal journal(data);
        Listener probes;
        ConversionQueue queue(loop.poster(), &probes, binding.get());
        queue.setJournal(&journal);
        for (const std::string& path : sources)
            add(queue, path);
        queue.setMaxConverting(2);
        if (!journal.held() || !queue.start())
            ::_exit(1);
        for (;;) {
            if (!loop.runOneWithin(std::chrono::seconds(60)))
                ::_exit(2);
            std::ifstream in(journal.path(), std::ios::binary);
            const std::vector<JournalRow> rows =
                QueueJournal::decode(std::string(std::istreambuf_iterator<char>(in), {})).rows;
            if (rows.size() == 3 && rows[0].outputInode != 0 && rows[1].outputInode != 0 && probes.probed == 3)
                std::ofstream(ready) << ::getpid() << '\n';
        }
    }
    const bool wasReady = fakeencoder::waitForPidFile(ready) == child;
    const pid_t encoders[] = {fakeencoder::waitForPidFile(pidFiles[0]), fakeencoder::waitForPidFile(pidFiles[1])};
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(wasReady);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    for (pid_t encoder : encoders) {
        ASSERT_GT(encoder, 0);
        EXPECT_TRUE(fakeencoder::becomesGone(encoder));
    }
    EXPECT_FALSE(std::filesystem::exists(pidFiles[2]));  // the third row never started

    QueueJournal journal(data);
    ASSERT_TRUE(journal.held());
    const convert::JournalContents contents = journal.load();
    ASSERT_FALSE(contents.damaged);
    ASSERT_EQ(contents.rows.size(), 3u);
    EXPECT_EQ(contents.rows[0].state, convert::JobState::Converting);
    EXPECT_EQ(contents.rows[1].state, convert::JobState::Converting);
    EXPECT_EQ(contents.rows[2].state, convert::JobState::Waiting);
    const std::string partials[] = {contents.rows[0].outputPath, contents.rows[1].outputPath};
    for (const std::string& partial : partials)
        EXPECT_TRUE(std::filesystem::exists(partial)) << partial;

    const std::vector<JournalRow> recovered = QueueJournal::recover(contents.rows);
    for (const JournalRow& row : recovered) {
        EXPECT_EQ(row.state, convert::JobState::Waiting);
        EXPECT_TRUE(row.outputPath.empty());
    }
    for (const std::string& partial : partials)
        EXPECT_FALSE(std::filesystem::exists(partial)) << partial;

    // The restored list converts every row again, two at a time. The first two encoders wait at a
    // FIFO each until the count is checked, so that neither can end before it.
    std::vector<std::string> gates;
    for (size_t row = 0; row < sources.size(); ++row) {
        std::string held;
        if (row < 2) {
            gates.push_back((dir / ("gate" + std::to_string(row))).string());
            EXPECT_EQ(::mkfifo(gates.back().c_str(), 0600), 0);
            held = "cat " + gates.back() + "\n";
        }
        fakeencoder::writeScript(sources[row], "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") + "\n" +
                                                   held + "statuses 0 2 0.5\nwrite-output\n");
    }
    auto binding = fakeencoder::binding();
    convert::ConversionQueueLoop loop;
    Listener listener;
    ConversionQueue queue(loop.poster(), &listener, binding.get());
    queue.setJournal(&journal);
    ASSERT_EQ(queue.restoreRows(recovered), 3u);
    queue.setMaxConverting(2);
    ASSERT_TRUE(queue.start());
    EXPECT_EQ(queue.countConverting(), 2);
    for (const std::string& gate : gates)
        ::close(::open(gate.c_str(), O_WRONLY));
    while (listener.ended == 0)
        ASSERT_TRUE(loop.runOneWithin(std::chrono::seconds(60))) << "a report never arrived";
    for (size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(queue.jobAt(row)->getState(), convert::JobState::Done) << row;
        EXPECT_TRUE(std::filesystem::exists(queue.jobAt(row)->getOutputPath()));
    }
}

}  // namespace
