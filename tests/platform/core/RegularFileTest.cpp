#include "platform/core/RegularFile.h"

#include "tests/support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::RegularFile;
using platform::RegularFileStatus;

namespace {

class RegularFileTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

TEST_F(RegularFileTest, ReadsRegularFilesWithinTheCapAndRefusesTheRest)
{
    const auto file = dir.path() / "a.bin";
    std::ofstream(file, std::ios::binary) << std::string("abc\0def", 7);
    std::string bytes;
    EXPECT_EQ(RegularFile::read(file, 7, bytes), RegularFileStatus::Ok);
    EXPECT_EQ(bytes, std::string("abc\0def", 7));
    EXPECT_EQ(RegularFile::read(file, 6, bytes), RegularFileStatus::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(RegularFile::read(dir.path() / "none", 10, bytes), RegularFileStatus::Missing);
    EXPECT_EQ(RegularFile::read(dir.path(), 10, bytes), RegularFileStatus::NotRegular);
    EXPECT_EQ(RegularFile::read("/dev/zero", 1 << 20, bytes), RegularFileStatus::NotRegular);
    uint64_t size = 0;
    EXPECT_EQ(RegularFile::check(file, 100, &size), RegularFileStatus::Ok);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(RegularFile::check("/dev/urandom", 100), RegularFileStatus::NotRegular);
}

TEST_F(RegularFileTest, AFifoWithoutAWriterIsRefusedAtOnce)
{
    const auto fifo = dir.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string bytes;
    EXPECT_EQ(RegularFile::read(fifo, 100, bytes), RegularFileStatus::NotRegular);
    EXPECT_EQ(RegularFile::check(fifo, 100), RegularFileStatus::NotRegular);
}

TEST_F(RegularFileTest, UnreadableFileIsToldApartFromAMissingOne)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const auto file = dir.path() / "secret";
    std::ofstream(file) << "x";
    ::chmod(file.c_str(), 0);
    std::string bytes;
    EXPECT_EQ(RegularFile::read(file, 100, bytes), RegularFileStatus::Unreadable);
}

}  // namespace
