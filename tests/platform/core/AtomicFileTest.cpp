#include "platform/core/AtomicFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

using platform::AtomicFile;
using testsupport::readText;
using testsupport::writeText;

namespace {

size_t entriesIn(const std::filesystem::path& folder)
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

}  // namespace

TEST(AtomicFileTest, ReplacesWholeWithTheModeAndMakesTheFolder)
{
    testsupport::TempDir dir;
    const std::filesystem::path target = dir / "new" / "folder" / "file.txt";
    ASSERT_TRUE(AtomicFile::replace(target, "first", 0640, nullptr));
    EXPECT_EQ(readText(target), "first");
    ASSERT_TRUE(AtomicFile::replace(target, "second, longer than the first", 0600, nullptr));
    EXPECT_EQ(readText(target), "second, longer than the first");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(entriesIn(target.parent_path()), 1u);  // no temporary file left
}

// A link at the target is replaced by a plain file; what it pointed to keeps its bytes.
TEST(AtomicFileTest, ReplacesALinkInsteadOfWritingThroughIt)
{
    testsupport::TempDir dir;
    writeText(dir / "elsewhere" / "theirs.txt", "not ours");
    writeText(dir / "ours" / "placeholder", "");
    std::filesystem::create_symlink(dir / "elsewhere" / "theirs.txt", dir / "ours" / "file.txt");
    ASSERT_TRUE(AtomicFile::replace(dir / "ours" / "file.txt", "ours", 0600, nullptr));
    EXPECT_EQ(std::filesystem::symlink_status(dir / "ours" / "file.txt").type(), std::filesystem::file_type::regular);
    EXPECT_EQ(readText(dir / "ours" / "file.txt"), "ours");
    EXPECT_EQ(readText(dir / "elsewhere" / "theirs.txt"), "not ours");
}

TEST(AtomicFileTest, FailureLeavesTheOldEntryAndNoTemporary)
{
    testsupport::TempDir dir;
    // A folder in the target's place cannot be replaced by a file.
    writeText(dir / "target" / "inside.txt", "kept");
    std::string error;
    EXPECT_FALSE(AtomicFile::replace(dir / "target", "bytes", 0600, &error));
    EXPECT_NE(error.find((dir / "target").string()), std::string::npos) << error;
    EXPECT_EQ(readText(dir / "target" / "inside.txt"), "kept");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// A new file never takes a name that exists, whatever stands there, and leaves no temporary.
TEST(AtomicFileTest, CreateNeverReplacesAnExistingEntry)
{
    testsupport::TempDir dir;
    ASSERT_EQ(AtomicFile::create(dir / "new.txt", "whole", 0600, nullptr), AtomicFile::Created::Done);
    EXPECT_EQ(readText(dir / "new.txt"), "whole");
    struct stat info {};
    ASSERT_EQ(::stat((dir / "new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    writeText(dir / "elsewhere" / "theirs.txt", "not ours");
    std::filesystem::create_symlink(dir / "elsewhere" / "theirs.txt", dir / "link.txt");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling.txt");
    EXPECT_EQ(AtomicFile::create(dir / "new.txt", "other", 0600, nullptr), AtomicFile::Created::Exists);
    EXPECT_EQ(AtomicFile::create(dir / "link.txt", "other", 0600, nullptr), AtomicFile::Created::Exists);
    EXPECT_EQ(AtomicFile::create(dir / "dangling.txt", "other", 0600, nullptr), AtomicFile::Created::Exists);
    EXPECT_EQ(readText(dir / "new.txt"), "whole");
    EXPECT_EQ(readText(dir / "elsewhere" / "theirs.txt"), "not ours");
    EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
    EXPECT_EQ(entriesIn(dir.path()), 4u);

    std::string error;
    EXPECT_EQ(AtomicFile::create(dir / "missing" / "file.txt", "bytes", 0600, &error), AtomicFile::Created::Failed);
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}
