// What the start of the program does with a journal left behind: the question and its count, what
// "是" and "否" do, a second program, a damaged journal, and a journal with nothing left to do.
#include "convert/QueueRecovery.h"

#include "convert/JobState.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using convert::JobState;

using convert::JournalRow;
using convert::QueueJournal;
using convert::QueueRecovery;

namespace {

class QueueRecoveryTest : public ::testing::Test {
protected:
    std::string source(const std::string& name)
    {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << "0123456789";
        return path.string();
    }
    JournalRow row(const std::string& path, JobState state)
    {
        JournalRow r;
        r.sourcePath = path;
        r.sourceSize = 10;
        r.state = state;
        if (state == convert::JobState::Done)
            r.outputPath = path + ".avi";
        return r;
    }
    // A list of three: one converted, one waiting, one whose source has gone since.
    std::vector<JournalRow> leftBehind()
    {
        return {row(source("a.mp4"), convert::JobState::Done), row(source("b.mp4"), convert::JobState::Waiting),
                row((dir / "gone.mp4").string(), convert::JobState::Waiting)};
    }
    std::filesystem::path data() const { return dir / "data"; }

    testsupport::TempDir dir;
};

}  // namespace

TEST_F(QueueRecoveryTest, YesRestoresTheRowsInOrderAfterTheRulesOfARestoredList)
{
    const auto rows = leftBehind();
    QueueJournal journal(data());
    ASSERT_TRUE(journal.save(rows));
    QueueRecovery recovery(journal);
    const QueueRecovery::Offer& offer = recovery.offer();
    EXPECT_TRUE(offer.held);
    EXPECT_TRUE(offer.damageNotice.empty());
    EXPECT_EQ(offer.unfinished, 2);
    EXPECT_EQ(offer.question, "上次有 2 个文件未完成转换,是否恢复转换列表?");

    const std::vector<JournalRow> restored = recovery.acceptRestore();
    ASSERT_EQ(restored.size(), 3u);
    EXPECT_EQ(restored[0], rows[0]);
    EXPECT_EQ(restored[1].state, convert::JobState::Waiting);
    EXPECT_EQ(restored[2].state, convert::JobState::Failed);  // its source is gone
    EXPECT_FALSE(restored[2].errorText.empty());
    // The journal stays for the restored list to keep; a second answer gives nothing more.
    EXPECT_TRUE(journal.exists());
    EXPECT_TRUE(recovery.acceptRestore().empty());
}

TEST_F(QueueRecoveryTest, NoAndANothingLeftToDoJournalRemoveIt)
{
    {
        QueueJournal journal(data());
        ASSERT_TRUE(journal.save(leftBehind()));
        QueueRecovery recovery(journal);
        EXPECT_FALSE(recovery.offer().question.empty());
        recovery.declineRestore();
        EXPECT_FALSE(journal.exists());
        EXPECT_TRUE(recovery.acceptRestore().empty());
    }
    QueueJournal journal(data());
    ASSERT_TRUE(journal.save({row(source("a.mp4"), convert::JobState::Done)}));
    QueueRecovery recovery(journal);
    EXPECT_EQ(recovery.offer().unfinished, 0);
    EXPECT_TRUE(recovery.offer().question.empty());  // nothing to ask
    recovery.declineRestore();
    EXPECT_FALSE(journal.exists());
}

TEST_F(QueueRecoveryTest, ASecondProgramNeitherAsksNorTouchesTheJournal)
{
    QueueJournal first(data());
    ASSERT_TRUE(first.save(leftBehind()));
    QueueJournal second(data());
    QueueRecovery recovery(second);
    EXPECT_FALSE(recovery.offer().held);
    EXPECT_TRUE(recovery.offer().question.empty());
    EXPECT_TRUE(recovery.acceptRestore().empty());
    recovery.declineRestore();
    EXPECT_TRUE(first.exists());
    EXPECT_EQ(first.load().rows.size(), 3u);
}

TEST_F(QueueRecoveryTest, ADamagedJournalIsToldAndItsReadableRowsOffered)
{
    const auto rows = leftBehind();
    const std::string whole = QueueJournal::encode(rows);
    std::filesystem::create_directories(data());
    std::ofstream(data() / "queue.dat", std::ios::binary) << whole.substr(0, whole.size() - 10);
    QueueJournal journal(data());
    QueueRecovery recovery(journal);
    const QueueRecovery::Offer& offer = recovery.offer();
    EXPECT_NE(offer.damageNotice.find("只读出了前 2 个"), std::string::npos) << offer.damageNotice;
    EXPECT_EQ(offer.unfinished, 1);  // the cut third row is lost
    EXPECT_EQ(offer.question, QueueRecovery::questionText(1));
    EXPECT_TRUE(std::filesystem::exists(journal.badPath()));
    EXPECT_EQ(recovery.acceptRestore().size(), 2u);
}
