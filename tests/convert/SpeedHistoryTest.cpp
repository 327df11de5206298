#include "convert/SpeedHistory.h"

#include "convert/Crc32.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>
#include <string>

using convert::SpeedHistory;
using testsupport::readText;
using testsupport::writeText;

namespace {

SpeedHistory::Averages someAverages()
{
    SpeedHistory::Averages averages;
    averages["MP4 - 高清 1280x720"] = {0.4123456789, 7};
    averages["AVI"] = {2.5, 1};
    averages["手机 3GP 176x144"] = {0.0001, 1000000};
    averages["x"] = {10000, 3};
    return averages;
}

class SpeedHistoryTest : public ::testing::Test {
protected:
    std::filesystem::path data() const { return dir_ / "data"; }
    std::filesystem::path file() const { return dir_ / "data" / "speed.dat"; }
    std::filesystem::path badFile() const { return dir_ / "data" / "speed.dat.bad"; }

    // A history of one profile on disk, read back by a new history: what a later run sees.
    void expectFreshStartThatSavesAPlainFile(SpeedHistory& history)
    {
        EXPECT_TRUE(history.remembered().empty());
        ASSERT_TRUE(history.record("AVI", 30, 60));
        ASSERT_TRUE(history.save());
        EXPECT_EQ(std::filesystem::symlink_status(file()).type(), std::filesystem::file_type::regular);
        SpeedHistory later(data());
        EXPECT_EQ(later.loaded(), SpeedHistory::Loaded::Read);
        EXPECT_DOUBLE_EQ(*later.rate("AVI"), 0.5);
    }

    testsupport::TempDir dir_;
};

}  // namespace

TEST_F(SpeedHistoryTest, FileIsTheDocumentedTextAndReadsBackExactly)
{
    SpeedHistory::Averages two;
    two["AVI"] = {2.5, 1};
    two["MP4 高清"] = {0.125, 12};
    const std::string body = "LumaretSpeeds 1\n1 2.5 AVI\n12 0.125 MP4 高清\n";
    // The checksums as Python's zlib.crc32 gives them for the same bytes.
    EXPECT_EQ(SpeedHistory::encode(two), body + "end 2 f4c1ae46\n");
    EXPECT_EQ(SpeedHistory::encode({}), "LumaretSpeeds 1\nend 0 c3eb9121\n");

    const SpeedHistory::Averages averages = someAverages();
    const std::string bytes = SpeedHistory::encode(averages);
    ASSERT_EQ(SpeedHistory::decode(bytes), averages);
    EXPECT_EQ(SpeedHistory::encode(*SpeedHistory::decode(bytes)), bytes);
    EXPECT_EQ(SpeedHistory::decode(SpeedHistory::encode({})), SpeedHistory::Averages{});

    writeText(file(), bytes);
    SpeedHistory history(data());
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::Read);
    EXPECT_EQ(history.remembered(), averages);
    ASSERT_TRUE(history.save());
    EXPECT_EQ(readText(file()), bytes);
    EXPECT_FALSE(std::filesystem::exists(badFile()));
}

TEST_F(SpeedHistoryTest, AveragesWeighEachFileAndThisRunComesFirst)
{
    SpeedHistory history;
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::Nothing);
    EXPECT_FALSE(history.rate("AVI"));
    ASSERT_TRUE(history.record("AVI", 20, 10));  // 2.0 stands alone
    EXPECT_DOUBLE_EQ(*history.rate("AVI"), 2.0);
    ASSERT_TRUE(history.record("AVI", 10, 10));  // 1/2: 1.5
    EXPECT_DOUBLE_EQ(*history.rate("AVI"), 1.5);
    ASSERT_TRUE(history.record("AVI", 30, 10));  // 1/3: 2.0
    EXPECT_DOUBLE_EQ(*history.rate("AVI"), 2.0);
    ASSERT_TRUE(history.record("AVI", 0.1, 0.5));  // from the fourth on 0.3: 2.0 - 0.3 * 1.8
    EXPECT_DOUBLE_EQ(*history.rate("AVI"), 1.46);
    EXPECT_EQ(history.remembered().at("AVI").samples, 4u);
    std::string error;
    EXPECT_FALSE(history.save(&error));  // in memory only
    EXPECT_FALSE(error.empty());

    // Another day's average is what the file keeps; this run's own files decide the estimate.
    writeText(file(), SpeedHistory::encode({{"AVI", {3.0, 10}}}));
    SpeedHistory reread(data());
    EXPECT_DOUBLE_EQ(*reread.rate("AVI"), 3.0);
    ASSERT_TRUE(reread.record("AVI", 60, 60));
    EXPECT_DOUBLE_EQ(*reread.rate("AVI"), 1.0);
    EXPECT_DOUBLE_EQ(reread.remembered().at("AVI").secondsPerMediaSecond, 2.4);
    EXPECT_EQ(reread.remembered().at("AVI").samples, 11u);
}

TEST_F(SpeedHistoryTest, RecordRefusesWhatCannotBeAMeasurementOrAName)
{
    SpeedHistory history;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(history.record("", 10, 10));
    EXPECT_FALSE(history.record("two\nlines", 10, 10));
    EXPECT_FALSE(history.record("tab\there", 10, 10));
    EXPECT_FALSE(history.record(std::string(SpeedHistory::kLongestName + 1, 'a'), 10, 10));
    EXPECT_FALSE(history.record("AVI", 10, 0.4));   // too short to say anything
    EXPECT_FALSE(history.record("AVI", 10, 0));
    EXPECT_FALSE(history.record("AVI", 10, -5));
    EXPECT_FALSE(history.record("AVI", nan, 10));
    EXPECT_FALSE(history.record("AVI", 10, nan));
    EXPECT_FALSE(history.record("AVI", inf, 10));
    EXPECT_FALSE(history.record("AVI", 10, inf));
    EXPECT_FALSE(history.record("AVI", 0, 10));
    EXPECT_FALSE(history.record("AVI", -1, 10));
    EXPECT_FALSE(history.record("AVI", 1e6, 10));   // 100000 s per second of media
    EXPECT_TRUE(history.remembered().empty());
    EXPECT_FALSE(history.rate("AVI"));
    EXPECT_TRUE(history.record(std::string(SpeedHistory::kLongestName, 'a'), 10, 10));

    for (size_t i = history.remembered().size(); i < SpeedHistory::kMostProfiles; ++i)
        ASSERT_TRUE(history.record("profile " + std::to_string(i), 10, 10));
    EXPECT_FALSE(history.record("one too many", 10, 10));
    EXPECT_TRUE(history.record("profile 7", 20, 10));  // one already known still learns
    EXPECT_EQ(history.remembered().size(), SpeedHistory::kMostProfiles);
    // The fullest file there can be reads back.
    const std::string bytes = SpeedHistory::encode(history.remembered());
    EXPECT_LT(bytes.size(), SpeedHistory::kMostBytes);
    EXPECT_EQ(SpeedHistory::decode(bytes), history.remembered());
}

TEST_F(SpeedHistoryTest, CutAtEveryByteIsDamageKeptAsBad)
{
    const std::string whole = SpeedHistory::encode(someAverages());
    for (size_t cut = 0; cut < whole.size(); ++cut)
        ASSERT_FALSE(SpeedHistory::decode(whole.substr(0, cut))) << "cut at " << cut;
    for (size_t cut : {size_t(0), size_t(10), whole.size() / 2, whole.size() - 1}) {
        SCOPED_TRACE(cut);
        writeText(file(), whole.substr(0, cut));
        SpeedHistory history(data());
        EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::SetAside);
        EXPECT_EQ(readText(badFile()), whole.substr(0, cut));
        EXPECT_FALSE(std::filesystem::exists(file()));
        expectFreshStartThatSavesAPlainFile(history);
        std::filesystem::remove(file());
    }
}

TEST_F(SpeedHistoryTest, ChangedBytesNoiseAndOtherVersionsAreNotRead)
{
    const std::string whole = SpeedHistory::encode(someAverages());
    for (size_t at = 0; at < whole.size(); ++at) {
        std::string changed = whole;
        changed[at] = static_cast<char>(changed[at] ^ 0x01);
        ASSERT_FALSE(SpeedHistory::decode(changed)) << "byte " << at;
    }
    std::mt19937 random(20261209);
    for (int round = 0; round < 300; ++round) {
        std::string noise(random() % 2000, '\0');
        for (char& byte : noise)
            byte = static_cast<char>(random());
        EXPECT_FALSE(SpeedHistory::decode(noise));
        EXPECT_FALSE(SpeedHistory::decode("LumaretSpeeds 1\n" + noise));
        EXPECT_FALSE(SpeedHistory::decode("LumaretSpeeds 1\n" + noise + "\nend 0 c3eb9121\n"));
    }
    // Files that break a rule of the format, each sealed with a correct checksum.
    const auto sealed = [](const std::string& body, int profiles) {
        char checksum[9];
        std::snprintf(checksum, sizeof checksum, "%08x", convert::Crc32::of(body));
        return body + "end " + std::to_string(profiles) + " " + checksum + "\n";
    };
    EXPECT_TRUE(SpeedHistory::decode(sealed("LumaretSpeeds 1\n1 2 AVI\n", 1)));  // the sealing is sound
    EXPECT_FALSE(SpeedHistory::decode(sealed("LumaretSpeeds 1\n1 2 AVI\n", 2)));
    EXPECT_FALSE(SpeedHistory::decode(sealed("LumaretSpeeds 1\n1 2 AVI\n", 1) + "\n"));
    for (const char* line : {"1 inf AVI", "1 nan AVI", "1 -2 AVI", "1 +2 AVI", "0 2 AVI", "01 2 AVI",
                             "-1 2 AVI", "1000001 2 AVI", "1 2 ", "1 2", "1 1e9 AVI", "1 0 AVI",
                             "1 0x1p1 AVI", "1 2 A\tB", "1  2 AVI", "1 2.5.1 AVI"}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(SpeedHistory::decode(sealed("LumaretSpeeds 1\n" + std::string(line) + "\n", 1)));
    }
    EXPECT_FALSE(SpeedHistory::decode(sealed("LumaretSpeeds 1\n1 2 B\n1 2 A\n", 2)));  // out of order
    EXPECT_FALSE(SpeedHistory::decode(sealed("LumaretSpeeds 1\n1 2 A\n1 3 A\n", 2)));  // twice
    EXPECT_FALSE(SpeedHistory::decode(sealed("LumaretSpeeds 2\n1 2 A\n", 1)));

    std::string newer = whole;
    newer[14] = '2';  // "LumaretSpeeds 2"
    writeText(file(), newer);
    SpeedHistory history(data());
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::SetAside);
    EXPECT_EQ(readText(badFile()), newer);
    expectFreshStartThatSavesAPlainFile(history);
}

TEST_F(SpeedHistoryTest, MissingFileStartsEmptyAndSaveMakesTheFolder)
{
    SpeedHistory history(data());
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::Missing);
    EXPECT_FALSE(std::filesystem::exists(data()));
    expectFreshStartThatSavesAPlainFile(history);
    EXPECT_EQ(std::filesystem::status(file()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// A file far beyond the cap is not read at all (a sparse file, so the test writes nothing).
TEST_F(SpeedHistoryTest, HugeFileIsKeptAsBadUnread)
{
    writeText(file(), SpeedHistory::encode(someAverages()));
    std::filesystem::resize_file(file(), 8ull << 30);
    SpeedHistory history(data());
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::SetAside);
    EXPECT_EQ(std::filesystem::file_size(badFile()), 8ull << 30);
    expectFreshStartThatSavesAPlainFile(history);
}

// Reading a FIFO would wait for a writer that never comes: it is moved aside unopened.
TEST_F(SpeedHistoryTest, FifoIsNeverWaitedOn)
{
    std::filesystem::create_directories(data());
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    SpeedHistory history(data());
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::SetAside);
    EXPECT_EQ(std::filesystem::symlink_status(badFile()).type(), std::filesystem::file_type::fifo);
    expectFreshStartThatSavesAPlainFile(history);
}

// A link is never read, and never written through: the file it points to keeps its bytes, even
// when it holds a valid history.
TEST_F(SpeedHistoryTest, LinkElsewhereIsNeitherReadNorWrittenThrough)
{
    const std::filesystem::path outside = dir_ / "someone else's" / "notes.txt";
    const std::string theirs = SpeedHistory::encode(someAverages());
    writeText(outside, theirs);
    std::filesystem::create_directories(data());
    std::filesystem::create_symlink(outside, file());

    SpeedHistory history(data());
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::SetAside);
    EXPECT_EQ(std::filesystem::read_symlink(badFile()), outside);  // kept as the link it was
    expectFreshStartThatSavesAPlainFile(history);
    EXPECT_EQ(readText(outside), theirs);

    // A link planted after the history was read is replaced by the save, not followed.
    std::filesystem::remove(file());
    std::filesystem::create_symlink(outside, file());
    ASSERT_TRUE(history.save());
    EXPECT_EQ(std::filesystem::symlink_status(file()).type(), std::filesystem::file_type::regular);
    EXPECT_EQ(readText(outside), theirs);

    // A dangling link is moved aside just the same.
    std::filesystem::remove(file());
    std::filesystem::create_symlink(dir_ / "nowhere", file());
    SpeedHistory dangling(data());
    EXPECT_EQ(dangling.loaded(), SpeedHistory::Loaded::SetAside);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "nowhere"));
}

// When the damaged file cannot be moved aside, nothing replaces it.
TEST_F(SpeedHistoryTest, DamageThatCannotBeKeptIsNotOverwritten)
{
    writeText(file(), "damaged");
    writeText(badFile() / "occupied", "a folder where the copy would go");
    SpeedHistory history(data());
    EXPECT_EQ(history.loaded(), SpeedHistory::Loaded::NotKept);
    EXPECT_TRUE(history.record("AVI", 10, 10));
    std::string error;
    EXPECT_FALSE(history.save(&error));
    EXPECT_NE(error.find("speed.dat"), std::string::npos) << error;
    EXPECT_EQ(readText(file()), "damaged");
    EXPECT_DOUBLE_EQ(*history.rate("AVI"), 1.0);  // the estimate still learns in memory

    // A folder where the file should be: set aside like any other damage.
    std::filesystem::remove_all(badFile());
    std::filesystem::remove(file());
    std::filesystem::create_directories(file());
    SpeedHistory folder(data());
    EXPECT_EQ(folder.loaded(), SpeedHistory::Loaded::SetAside);
    EXPECT_TRUE(std::filesystem::is_directory(badFile()));
}
