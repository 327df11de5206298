// One command file per hand-over: written whole and private, taken oldest first and exactly once,
// and whatever else stands in the folder (FIFOs, links, huge files, temporaries, other people's
// files) left alone without a wait.
#include "app/CommandFolder.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using app::CommandFile;
using app::CommandFolder;
using testsupport::readText;
using testsupport::writeText;

class CommandFolderTest : public ::testing::Test {
protected:
    fs::path folder() const { return dir / "data" / CommandFolder::kFolderName; }
    fs::path written(std::u16string_view selector, const std::vector<std::string>& paths)
    {
        fs::path file;
        std::string error;
        EXPECT_TRUE(CommandFolder::write(folder(), selector, paths, &error, &file)) << error;
        return file;
    }
    static std::vector<std::string> pathsOf(const CommandFile::Contents& contents)
    {
        std::vector<std::string> paths;
        for (const CommandFile::Path& path : contents.paths)
            paths.push_back(path.bytes);
        return paths;
    }
    static mode_t modeOf(const fs::path& path)
    {
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()));
    }

    testsupport::TempDir dir;
};

TEST_F(CommandFolderTest, EachHandOverIsItsOwnPrivateFileTakenOldestFirstAndOnce)
{
    const fs::path first = written(u"flv 640x480", {"/v/a.mp4", "/v/b.mp4"});
    const fs::path second = written(CommandFile::kCustomSelector, {"/v/c.mp4"});
    const fs::path third = written(u"flv 640x480", {});
    EXPECT_NE(first, second);
    EXPECT_EQ(modeOf(folder()), 0700u);
    EXPECT_EQ(modeOf(first), 0600u);
    EXPECT_EQ(first.extension(), CommandFolder::kSuffix);
    EXPECT_EQ(readText(first), CommandFile::encode(u"flv 640x480", {"/v/a.mp4", "/v/b.mp4"}));

    const std::vector<CommandFile::Contents> taken = CommandFolder::take(folder());
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].selectorUtf8(), "flv 640x480");
    EXPECT_EQ(pathsOf(taken[0]), (std::vector<std::string>{"/v/a.mp4", "/v/b.mp4"}));
    EXPECT_EQ(taken[1].mode, CommandFile::Mode::Custom);
    EXPECT_EQ(pathsOf(taken[1]), (std::vector<std::string>{"/v/c.mp4"}));
    EXPECT_EQ(taken[2].status, CommandFile::Status::Ok);
    EXPECT_TRUE(taken[2].paths.empty());
    EXPECT_EQ(entries(), 0u);
    EXPECT_TRUE(CommandFolder::take(folder()).empty());

    // A file whose first record is cut short was complete all the same: taken and told.
    const fs::path cut = folder() / ("00000000000000000001-1-0" + std::string(CommandFolder::kSuffix));
    writeText(cut, std::string("\x09\0", 2));
    fs::permissions(cut, fs::perms::owner_read | fs::perms::owner_write);
    const std::vector<CommandFile::Contents> damaged = CommandFolder::take(folder());
    ASSERT_EQ(damaged.size(), 1u);
    EXPECT_EQ(damaged[0].status, CommandFile::Status::BadFirstRecord);
    EXPECT_EQ(entries(), 0u);
    EXPECT_TRUE(CommandFolder::take(dir / "no such folder").empty());
}

TEST_F(CommandFolderTest, WhatIsNotAWholeFileOfTheUsersIsLeftInPlaceWithoutAWait)
{
    const std::string suffix = CommandFolder::kSuffix;
    const fs::path good = written(CommandFile::kCustomSelector, {"/v/good.mp4"});
    const std::string bytes = CommandFile::encode(CommandFile::kCustomSelector, {"/v/planted.mp4"});
    writeText(dir / "mine.txt", "the user's own file");
    // Named like hand-overs (and sorting after the good one, whose name starts with a 0).
    ASSERT_EQ(::mkfifo((folder() / ("1-fifo" + suffix)).c_str(), 0600), 0);
    fs::create_symlink(dir / "mine.txt", folder() / ("2-link" + suffix));
    fs::create_directory(folder() / ("3-folder" + suffix));
    writeText(folder() / ("4-huge" + suffix), "");
    fs::resize_file(folder() / ("4-huge" + suffix), CommandFile::kMaxFileBytes + 1);
    writeText(folder() / ("5-open" + suffix), bytes);
    fs::permissions(folder() / ("5-open" + suffix), fs::perms(0666));
    // A writer's temporary, half-written or whole, and names that are not hand-overs.
    writeText(folder() / ("." + good.filename().string() + ".a1b2c3"), bytes.substr(0, 7));
    writeText(folder() / ".0-hidden.cmd", bytes);
    writeText(folder() / "notes.txt", bytes);

    const std::vector<CommandFile::Contents> taken = CommandFolder::take(folder());
    std::vector<CommandFile::Status> statuses;
    for (const CommandFile::Contents& contents : taken)
        statuses.push_back(contents.status);
    using Status = CommandFile::Status;
    EXPECT_EQ(statuses, (std::vector<Status>{Status::Ok, Status::NotRegular, Status::NotRegular, Status::NotRegular,
                                             Status::TooLarge}));
    ASSERT_EQ(taken.size(), 5u);
    EXPECT_EQ(pathsOf(taken[0]), (std::vector<std::string>{"/v/good.mp4"}));
    EXPECT_NE(taken[2].problem.find("2-link"), std::string::npos) << taken[2].problem;
    // Everything but the one hand-over stays as it was.
    EXPECT_EQ(entries(), 8u);
    EXPECT_FALSE(fs::exists(good));
    EXPECT_EQ(readText(dir / "mine.txt"), "the user's own file");
    EXPECT_EQ(readText(folder() / ("5-open" + suffix)), bytes);
}

TEST_F(CommandFolderTest, AFolderThatIsNotOnlyTheUsersIsNeitherReadNorWritten)
{
    written(CommandFile::kCustomSelector, {"/v/a.mp4"});
    fs::permissions(folder(), fs::perms(0777));
    EXPECT_TRUE(CommandFolder::take(folder()).empty());
    EXPECT_FALSE(CommandFolder::write(folder(), CommandFile::kCustomSelector, {"/v/b.mp4"}, nullptr));
    EXPECT_EQ(entries(), 1u);

    fs::permissions(folder(), fs::perms(0700));
    const fs::path linked = dir / "linked";
    fs::create_symlink(folder(), linked);
    EXPECT_TRUE(CommandFolder::take(linked).empty());
    std::string error;
    EXPECT_FALSE(CommandFolder::write(linked, CommandFile::kCustomSelector, {"/v/b.mp4"}, &error));
    EXPECT_NE(error.find(linked.string()), std::string::npos) << error;
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(CommandFolder::take(folder()).size(), 1u);
}

// Two programs started together: each hand-over goes to exactly one of them.
TEST_F(CommandFolderTest, TwoTakersAtOnceShareNoFileAndLoseNone)
{
    std::set<std::string> all;
    for (int i = 0; i < 100; ++i) {
        const std::string path = "/v/clip" + std::to_string(i) + ".mp4";
        written(CommandFile::kCustomSelector, {path});
        all.insert(path);
    }
    std::vector<CommandFile::Contents> one;
    std::vector<CommandFile::Contents> other;
    std::thread first([&] { one = CommandFolder::take(folder()); });
    std::thread second([&] { other = CommandFolder::take(folder()); });
    first.join();
    second.join();
    std::multiset<std::string> seen;
    for (const auto* taken : {&one, &other})
        for (const CommandFile::Contents& contents : *taken)
            for (const std::string& path : pathsOf(contents))
                seen.insert(path);
    EXPECT_EQ(seen.size(), all.size());
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()), all);
    EXPECT_EQ(entries(), 0u);
}

}  // namespace
