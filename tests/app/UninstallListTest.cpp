#include "app/UninstallList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace fs = std::filesystem;
using app::UninstallList;

TEST(UninstallListTest, CountIsReadAsAtoiReadsItAndClampedInsteadOfWrapping)
{
    EXPECT_EQ(UninstallList::parse("3\n").count(), 3);
    EXPECT_EQ(UninstallList::parse("  12abc\n").count(), 12);
    EXPECT_EQ(UninstallList::parse("abc\n").count(), 0);
    EXPECT_EQ(UninstallList::parse("-4\n").count(), -4);
    EXPECT_EQ(UninstallList::parse("\n/x\n").count(), 0);
    EXPECT_EQ(UninstallList::parse("").count(), 0);
    EXPECT_EQ(UninstallList::parse("99999999999999999999\n").count(), 2147483647);
}

TEST(UninstallListTest, LinesAreTrimmedBlankOnesDroppedLongOnesKeptWhole)
{
    const std::string longPath = "/opt/" + std::string(300, 'a');
    const UninstallList list =
        UninstallList::parse("1\r\n  /a b/c.txt \t\r\n\n   \n" + longPath + "\n/last-without-line-end");
    ASSERT_EQ(list.lines().size(), 3u);
    EXPECT_EQ(list.lines()[0], "/a b/c.txt");
    EXPECT_EQ(list.lines()[1], longPath);
    EXPECT_EQ(list.lines()[2], "/last-without-line-end");
}

TEST(UninstallListTest, OnlyARegularFileIsRead)
{
    testsupport::TempDir dir;
    EXPECT_FALSE(UninstallList::read(dir / "missing.txt"));
    EXPECT_FALSE(UninstallList::read(dir.path()));
    testsupport::writeBytes(dir / "uninstall.txt", {'1', '\n', '/', 'x'});
    ASSERT_TRUE(UninstallList::read(dir / "uninstall.txt"));
}

}  // namespace
