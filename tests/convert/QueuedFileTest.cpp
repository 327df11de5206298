// The one way a file becomes something to queue: the readable-file check and the profile a file
// gets when it comes without one.
#include "convert/QueuedFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

using convert::NewFileProfile;
using convert::QueuedFile;

namespace {

profile::ProfileRecord named(const std::u16string& name)
{
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    name.copy(record.profileName, std::size(record.profileName) - 1);
    return record;
}

class QueuedFileTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, std::size_t bytes)
    {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        return path.string();
    }

    testsupport::TempDir dir;
    const profile::ProfileRecord lastUsed = named(u"last");
    const profile::ProfileRecord fallback = named(u"default");
    const profile::ProfileRecord given = named(u"given");
};

}  // namespace

TEST_F(QueuedFileTest, AGivenProfileWinsAndOtherwiseTheOptionsChoose)
{
    const std::string path = file("a.mp4", 3000);
    const QueuedFile::Placement placement{"/srv/out", true};
    const NewFileProfile byDefault{false, &lastUsed, &fallback};
    const NewFileProfile byLastUsed{true, &lastUsed, &fallback};

    const auto chosen = QueuedFile::build(path, &given, byLastUsed, placement);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->sourcePath, path);
    EXPECT_EQ(chosen->sourceSize, 3000u);
    EXPECT_EQ(profile::profileNameOf(chosen->profile), "given");
    EXPECT_EQ(chosen->targetFolder, "/srv/out");
    EXPECT_TRUE(chosen->appendProfileName);

    EXPECT_EQ(profile::profileNameOf(QueuedFile::build(path, nullptr, byDefault, {})->profile), "default");
    EXPECT_EQ(profile::profileNameOf(QueuedFile::build(path, nullptr, byLastUsed, {})->profile), "last");
    // The chosen kind missing gives the empty record, not the other kind.
    const auto none = QueuedFile::build(path, nullptr, NewFileProfile{true, nullptr, &fallback}, {});
    ASSERT_TRUE(none);
    EXPECT_EQ(profile::profileNameOf(none->profile), "");
    EXPECT_EQ(none->targetFolder, "");
    EXPECT_FALSE(none->appendProfileName);
}

TEST_F(QueuedFileTest, OnlyAReadableRegularFileIsTaken)
{
    const NewFileProfile rule{false, nullptr, &fallback};
    EXPECT_FALSE(QueuedFile::build((dir / "missing.mp4").string(), nullptr, rule, {}));
    EXPECT_FALSE(QueuedFile::build(dir.path().string(), nullptr, rule, {}));
    const std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(QueuedFile::build(fifo, nullptr, rule, {}));  // refused without opening it

    // A link to a regular file is the file; an empty file is still a file.
    const std::string target = file("real.mp4", 10);
    std::filesystem::create_symlink(target, dir / "link.mp4");
    EXPECT_EQ(QueuedFile::build((dir / "link.mp4").string(), nullptr, rule, {})->sourceSize, 10u);
    EXPECT_TRUE(QueuedFile::build(file("empty.mp4", 0), nullptr, rule, {}));

    const std::string locked = file("locked.mp4", 10);
    ::chmod(locked.c_str(), 0);
    if (::access(locked.c_str(), R_OK) != 0) {  // root reads anything
        EXPECT_FALSE(QueuedFile::build(locked, nullptr, rule, {}));
    }
}
