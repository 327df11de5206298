#include "convert/QueueJournal.h"

#include "convert/JobState.h"
#include "convert/OutputClaim.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using convert::JobState;

using convert::JournalContents;
using convert::JournalRow;
using convert::QueueJournal;

namespace {

std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

JournalRow makeRow(const std::string& source, JobState state)
{
    JournalRow row;
    row.sourcePath = source;
    row.sourceSize = 1000 + static_cast<uint64_t>(state);
    profile::setFieldText(row.profile.profileName, profile::kProfileTextChars, u"手机 MP4 " + profile::toUtf16(source));
    row.profile.conversionType = 8 + static_cast<int>(state);
    row.profile.audioBitrate = 12.2f;
    row.targetFolder = "/home/用户/视频";
    row.state = state;
    row.appendProfileName = static_cast<int>(state) % 2 == 1;
    if (state == convert::JobState::Done || state == convert::JobState::Failed ||
        state == convert::JobState::ProbeFailed)
        row.outputPath = "/home/用户/视频/" + std::to_string(static_cast<int>(state)) + ".avi";
    if (state == convert::JobState::Converting) {
        row.outputPath = "/home/用户/视频/partial.avi";
        row.outputDevice = 2049;
        row.outputInode = 1234567;
    }
    if (state == convert::JobState::Failed)
        row.errorText = "转换失败";
    return row;
}

// One row of every state, and a path with bytes that are not UTF-8.
std::vector<JournalRow> everyState()
{
    std::vector<JournalRow> rows;
    for (JobState state : {convert::JobState::Waiting, convert::JobState::Converting, convert::JobState::ProbeFailed,
                           convert::JobState::Failed, convert::JobState::Stopping, convert::JobState::Done})
        rows.push_back(makeRow("/片源/clip" + std::to_string(static_cast<int>(state)) + ".mp4", state));
    rows.push_back(makeRow(std::string("/raw/\xff\xfe name.mkv"), convert::JobState::Waiting));
    return rows;
}

class QueueJournalTest : public ::testing::Test {
protected:
    std::filesystem::path data() const { return dir_ / "data"; }
    std::filesystem::path journalFile() const { return dir_ / "data" / "queue.dat"; }

    testsupport::TempDir dir_;
};

TEST_F(QueueJournalTest, RoundTripKeepsEveryStateAndField)
{
    const std::vector<JournalRow> rows = everyState();
    {
        QueueJournal journal(data());
        ASSERT_TRUE(journal.held());
        EXPECT_FALSE(journal.exists());
        EXPECT_TRUE(journal.load().rows.empty());
        ASSERT_TRUE(journal.save(rows));
        EXPECT_EQ(journal.writeCount(), 1);
    }
    QueueJournal again(data());
    ASSERT_TRUE(again.exists());
    const JournalContents contents = again.load();
    EXPECT_FALSE(contents.damaged) << contents.problem;
    EXPECT_EQ(contents.rows, rows);
    EXPECT_FALSE(std::filesystem::exists(again.badPath()));

    ASSERT_TRUE(again.remove());
    EXPECT_FALSE(again.exists());
    EXPECT_TRUE(again.remove());  // nothing left is fine
}

// A real process ends after the new journal is on disk under its temporary name but before the
// rename: the next program finds the old journal whole, and the leftover goes.
TEST_F(QueueJournalTest, CrashBetweenWriteAndRenameLeavesTheOldJournalWhole)
{
    const std::vector<JournalRow> old = {makeRow("/a.mp4", convert::JobState::Done),
                                         makeRow("/b.mp4", convert::JobState::Waiting)};
    {
        QueueJournal journal(data());
        ASSERT_TRUE(journal.save(old));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool staged = journal.stage(QueueJournal::encode(everyState()), nullptr).has_value();
            ::_exit(staged ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    size_t leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data()))
        leftovers += entry.path().filename().string().rfind(".queue.dat.", 0) == 0;
    EXPECT_EQ(leftovers, 1u);

    QueueJournal next(data());
    const JournalContents contents = next.load();
    EXPECT_FALSE(contents.damaged);
    EXPECT_EQ(contents.rows, old);
    for (const auto& entry : std::filesystem::directory_iterator(data()))
        EXPECT_NE(entry.path().filename().string().rfind(".queue.dat.", 0), 0u) << entry.path();
}

// Cut at every byte: the whole rows before the cut come back, the file is kept byte for byte as
// queue.dat.bad, and the problem says how many were lost.
TEST_F(QueueJournalTest, CutAtEveryByteOffsetRestoresTheWholeRowsBeforeTheCut)
{
    std::vector<JournalRow> rows = {makeRow("/a.mp4", convert::JobState::Done),
                                    makeRow("/b.mp4", convert::JobState::Converting),
                                    makeRow("/c.mp4", convert::JobState::Waiting)};
    // One profile for all, so that the journal of the first rows is a prefix of the whole one.
    for (JournalRow& row : rows)
        row.profile = rows[0].profile;
    const std::string whole = QueueJournal::encode(rows);
    std::vector<size_t> rowEnds;  // the byte offset at which each row ends
    for (size_t n = 1; n <= rows.size(); ++n)
        rowEnds.push_back(QueueJournal::encode({rows.begin(), rows.begin() + static_cast<long>(n)}).size());

    QueueJournal journal(data());
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        writeBytes(journalFile(), whole.substr(0, cut));
        const JournalContents contents = journal.load();
        size_t expected = 0;
        while (expected < rowEnds.size() && rowEnds[expected] <= cut)
            ++expected;
        ASSERT_TRUE(contents.damaged) << "cut at " << cut;
        ASSERT_EQ(contents.rows, std::vector<JournalRow>(rows.begin(), rows.begin() + static_cast<long>(expected)))
            << "cut at " << cut;
        ASSERT_FALSE(std::filesystem::exists(journalFile()));
        ASSERT_EQ(readBytes(journal.badPath()), whole.substr(0, cut)) << "cut at " << cut;
        ASSERT_NE(contents.problem.find("queue.dat.bad"), std::string::npos);
    }
    writeBytes(journalFile(), whole);
    EXPECT_FALSE(journal.load().damaged);
}

TEST_F(QueueJournalTest, AnyChangedByteAndRandomBytesAreCaught)
{
    const std::vector<JournalRow> rows = everyState();
    const std::string whole = QueueJournal::encode(rows);
    // One changed byte anywhere: never a wrong row, only fewer rows.
    for (size_t at = 0; at < whole.size(); ++at) {
        std::string changed = whole;
        changed[at] = static_cast<char>(changed[at] ^ 0x5A);
        const JournalContents contents = QueueJournal::decode(changed);
        ASSERT_TRUE(contents.damaged) << "byte " << at;
        ASSERT_LT(contents.rows.size(), rows.size() + 1);
        for (size_t i = 0; i < contents.rows.size(); ++i)
            ASSERT_EQ(contents.rows[i], rows[i]) << "byte " << at;
    }
    // Noise, with and without a valid header in front.
    std::mt19937 random(20261208);
    const std::string header = whole.substr(0, 20);
    for (int round = 0; round < 300; ++round) {
        std::string noise(random() % 4000, '\0');
        for (char& byte : noise)
            byte = static_cast<char>(random());
        EXPECT_TRUE(QueueJournal::decode(noise).damaged);
        const JournalContents contents = QueueJournal::decode(header + noise);
        EXPECT_TRUE(contents.damaged);
        EXPECT_TRUE(contents.rows.empty());
    }
    QueueJournal journal(data());
    writeBytes(journalFile(), "not a journal at all");
    const JournalContents contents = journal.load();
    EXPECT_TRUE(contents.damaged);
    EXPECT_TRUE(contents.rows.empty());
    EXPECT_EQ(readBytes(journal.badPath()), "not a journal at all");
}

TEST_F(QueueJournalTest, UnknownVersionIsKeptAsBadAndNotRead)
{
    std::string bytes = QueueJournal::encode({makeRow("/a.mp4", convert::JobState::Waiting)});
    const uint32_t unknown = QueueJournal::kVersion + 1;
    bytes[8] = static_cast<char>(unknown);  // the version's low byte
    QueueJournal journal(data());
    writeBytes(journalFile(), bytes);
    const JournalContents contents = journal.load();
    EXPECT_TRUE(contents.damaged);
    EXPECT_TRUE(contents.rows.empty());
    EXPECT_NE(contents.problem.find("版本 (" + std::to_string(unknown) + ")"), std::string::npos) << contents.problem;
    EXPECT_EQ(readBytes(journal.badPath()), bytes);
    EXPECT_FALSE(std::filesystem::exists(journalFile()));
}

// A second program neither reads, moves, overwrites nor removes the first one's journal.
TEST_F(QueueJournalTest, ASecondInstanceGetsNoJournal)
{
    const std::vector<JournalRow> rows = {makeRow("/a.mp4", convert::JobState::Waiting)};
    auto first = std::make_unique<QueueJournal>(data());
    ASSERT_TRUE(first->held());
    ASSERT_TRUE(first->save(rows));
    const std::string bytes = readBytes(journalFile());

    QueueJournal second(data());
    EXPECT_FALSE(second.held());
    EXPECT_FALSE(second.exists());
    EXPECT_TRUE(second.load().rows.empty());
    std::string error;
    EXPECT_FALSE(second.save(everyState(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(second.remove());
    EXPECT_EQ(readBytes(journalFile()), bytes);

    // Another process is refused just the same.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(QueueJournal(data()).held() ? 1 : 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first.reset();
    QueueJournal third(data());
    EXPECT_TRUE(third.held());
    EXPECT_EQ(third.load().rows, rows);
}

TEST_F(QueueJournalTest, RecoveryRules)
{
    const std::filesystem::path sources = dir_ / "src";
    std::filesystem::create_directories(sources);
    writeBytes(sources / "kept.mp4", "12345");
    writeBytes(sources / "grown.mp4", "123456789");
    writeBytes(sources / "running.mp4", "abc");

    // A run claimed its output and the program ended: that file goes, a neighbour stays.
    profile::ProfileRecord avi = profile::makeEmptyProfileRecord();
    avi.conversionType = 8;  // AVI
    const std::optional<convert::OutputName> name =
        convert::OutputName::make((sources / "running.mp4").string(), avi, (dir_ / "out").string(), false);
    ASSERT_TRUE(name);
    std::filesystem::create_directories(dir_ / "out");
    const std::optional<convert::OutputClaim> claim = convert::OutputClaim::claim(*name, nullptr);
    ASSERT_TRUE(claim);
    writeBytes(claim->path(), "partial");
    writeBytes(dir_ / "out" / "other.avi", "someone else's");

    // A claim whose file was replaced since (another inode) is not ours any more.
    const std::optional<convert::OutputClaim> replaced = convert::OutputClaim::claim(*name, nullptr);
    ASSERT_TRUE(replaced);
    writeBytes(dir_ / "out" / "new", "a new file under the old name");
    std::filesystem::rename(dir_ / "out" / "new", replaced->path());

    auto row = [](const std::filesystem::path& source, uint64_t size, JobState state) {
        JournalRow made = makeRow(source.string(), state);
        made.sourceSize = size;
        return made;
    };
    std::vector<JournalRow> rows;
    rows.push_back(row(sources / "kept.mp4", 5, convert::JobState::Waiting));
    rows.push_back(row(sources / "running.mp4", 3, convert::JobState::Converting));
    rows.back().outputPath = claim->path();
    rows.back().outputDevice = claim->device();
    rows.back().outputInode = claim->inode();
    rows.back().outputStamp = claim->stamp();
    rows.push_back(row(sources / "running.mp4", 3, convert::JobState::Stopping));
    rows.back().outputPath = replaced->path();
    rows.back().outputDevice = replaced->device();
    rows.back().outputInode = replaced->inode();
    rows.back().outputStamp = replaced->stamp();
    rows.push_back(row(sources / "gone.mp4", 5, convert::JobState::Waiting));
    rows.push_back(row(sources / "grown.mp4", 5, convert::JobState::Waiting));
    rows.push_back(row(sources / "gone.mp4", 5, convert::JobState::Done));  // moved to the trash after its conversion
    rows.push_back(row(sources / "grown.mp4", 5, convert::JobState::Failed));
    rows.push_back(row(sources, 5, convert::JobState::Waiting));  // a folder now

    const std::vector<JournalRow> recovered = QueueJournal::recover(rows);
    ASSERT_EQ(recovered.size(), rows.size());
    EXPECT_EQ(recovered[0], rows[0]);

    EXPECT_EQ(recovered[1].state, convert::JobState::Waiting);
    EXPECT_TRUE(recovered[1].outputPath.empty());
    EXPECT_EQ(recovered[1].outputInode, 0u);
    EXPECT_FALSE(std::filesystem::exists(claim->path()));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "out" / "other.avi"));

    EXPECT_EQ(recovered[2].state, convert::JobState::Waiting);
    EXPECT_EQ(readBytes(replaced->path()), "a new file under the old name");

    EXPECT_EQ(recovered[3].state, convert::JobState::Failed);
    EXPECT_NE(recovered[3].errorText.find("源文件已不存在"), std::string::npos) << recovered[3].errorText;
    EXPECT_EQ(recovered[4].state, convert::JobState::Failed);
    EXPECT_NE(recovered[4].errorText.find("源文件的大小已改变"), std::string::npos) << recovered[4].errorText;
    EXPECT_NE(recovered[4].errorText.find("9 字节"), std::string::npos);

    EXPECT_EQ(recovered[5], rows[5]);
    EXPECT_EQ(recovered[6], rows[6]);
    EXPECT_EQ(recovered[7].state, convert::JobState::Failed);
    EXPECT_FALSE(recovered[7].errorText.empty());
}

// A file under the partial output's name is removed only while its identity, size and time are
// those the journal recorded; anything else may be the user's own work by now and stays.
TEST_F(QueueJournalTest, RecoveryKeepsAFileThatMayNoLongerBeThePartialOutput)
{
    std::filesystem::create_directories(dir_ / "out");
    const auto name = convert::OutputName::make("/v/clip.mp4", makeRow("/v/clip.mp4", JobState::Waiting).profile,
                                                (dir_ / "out").string(), false);
    ASSERT_TRUE(name);
    auto converting = [](const convert::OutputClaim& claim) {
        JournalRow row = makeRow("/v/gone.mp4", convert::JobState::Converting);
        row.outputPath = claim.path();
        row.outputDevice = claim.device();
        row.outputInode = claim.inode();
        row.outputStamp = claim.stamp();
        return row;
    };
    // Recorded when claimed (empty), then written over in place by the user: same file, new bytes.
    const auto overwritten = convert::OutputClaim::claim(*name, nullptr);
    ASSERT_TRUE(overwritten);
    std::vector<JournalRow> rows = {converting(*overwritten)};
    writeBytes(overwritten->path(), "the user's own work");
    // Recorded, then rewritten with bytes of the same length and another time.
    const auto sameSize = convert::OutputClaim::claim(*name, nullptr);
    ASSERT_TRUE(sameSize);
    writeBytes(sameSize->path(), "partial");
    rows.push_back(converting(*sameSize));
    writeBytes(sameSize->path(), "PARTIAL");
    const struct timespec later[2] = {{0, UTIME_OMIT}, {2000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, sameSize->path().c_str(), later, 0), 0);
    // A journal of the first version knows only device and inode: in doubt the file stays.
    const auto oldJournal = convert::OutputClaim::claim(*name, nullptr);
    ASSERT_TRUE(oldJournal);
    writeBytes(oldJournal->path(), "partial");
    rows.push_back(converting(*oldJournal));
    rows.back().outputStamp.reset();

    const std::vector<JournalRow> recovered = QueueJournal::recover(rows);
    ASSERT_EQ(recovered.size(), 3u);
    EXPECT_EQ(readBytes(overwritten->path()), "the user's own work");
    EXPECT_EQ(readBytes(sameSize->path()), "PARTIAL");
    EXPECT_EQ(readBytes(oldJournal->path()), "partial");
    for (const JournalRow& row : recovered) {
        // The row forgets the name, so its next run claims a free one beside the kept file.
        EXPECT_EQ(row.state, convert::JobState::Failed);  // its source is gone
        EXPECT_TRUE(row.outputPath.empty());
        EXPECT_FALSE(row.outputStamp);
    }
}

// The bytes of a journal written by hand, so that the format is pinned down and not just whatever
// encode() and decode() agree on.
class JournalBytes {
public:
    JournalBytes& number(uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            out_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        return *this;
    }
    JournalBytes& text(const std::string& text)
    {
        number(text.size(), 4);
        out_ += text;
        return *this;
    }
    JournalBytes& raw(std::string_view bytes)
    {
        out_ += bytes;
        return *this;
    }
    // Appends the CRC-32 of everything from `from` on.
    JournalBytes& checksumFrom(std::size_t from)
    {
        uint32_t c = 0xFFFFFFFFu;
        for (std::size_t i = from; i < out_.size(); ++i) {
            c ^= static_cast<uint8_t>(out_[i]);
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        return number(c ^ 0xFFFFFFFFu, 4);
    }
    std::size_t size() const { return out_.size(); }
    const std::string& bytes() const { return out_; }

private:
    std::string out_;
};

// A journal of one converting row, in the given version; the second version adds the output's
// size and time and flag bit 1 saying they are there.
std::string handWritten(const JournalRow& row, uint32_t version)
{
    JournalBytes journal;
    journal.raw("LumaretQ").number(version, 4).number(1, 4).number(1, 4);
    const std::size_t table = journal.size();
    journal.raw({reinterpret_cast<const char*>(&row.profile), profile::kProfileRecordSize}).checksumFrom(table);
    JournalBytes body;
    body.number(static_cast<uint64_t>(row.state), 1).number(version == 1 ? 1 : 3, 1).number(row.sourceSize, 8);
    body.number(row.outputDevice, 8).number(row.outputInode, 8);
    if (version >= 2)
        body.number(row.outputStamp->size, 8).number(static_cast<uint64_t>(row.outputStamp->modified), 8);
    body.text(row.sourcePath).text(row.targetFolder).text(row.outputPath).text(row.errorText).number(0, 4);
    journal.number(body.size(), 4);
    const std::size_t start = journal.size();
    journal.raw(body.bytes()).checksumFrom(start);
    return journal.bytes();
}

TEST_F(QueueJournalTest, BothVersionsAreReadAndTheCurrentOneIsWrittenByteForByte)
{
    JournalRow row = makeRow("/片源/clip.mp4", convert::JobState::Converting);  // odd state: flag bit 0 set
    row.outputStamp = convert::OutputClaim::Stamp{123456789012ull, -1234567890123456789ll};
    EXPECT_EQ(QueueJournal::kVersion, 2u);
    EXPECT_EQ(QueueJournal::encode({row}), handWritten(row, 2));
    const JournalContents current = QueueJournal::decode(handWritten(row, 2));
    EXPECT_FALSE(current.damaged) << current.problem;
    ASSERT_EQ(current.rows.size(), 1u);
    EXPECT_EQ(current.rows[0], row);

    const JournalContents old = QueueJournal::decode(handWritten(row, 1));
    EXPECT_FALSE(old.damaged) << old.problem;
    ASSERT_EQ(old.rows.size(), 1u);
    JournalRow withoutStamp = row;
    withoutStamp.outputStamp.reset();
    EXPECT_EQ(old.rows[0], withoutStamp);
}

}  // namespace
