// Moving files to the freedesktop trash: the file lands in the trash with its contents, a missing
// file is reported as such, and where there is no usable trash the file stays untouched. The home
// and data folders point into a temporary folder: no test touches a real user's trash.
#include "platform/gui/Trash.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// The home and the data folder the trash lives in, for the scope.
testsupport::ScopedEnvironment::Values trashHome(const std::filesystem::path& home, const std::filesystem::path& data)
{
    return {{"HOME", home.string()}, {"XDG_DATA_HOME", data.string()}};
}

TEST(TrashTest, MovesTheFileIntoTheHomeTrash)
{
    testsupport::TempDir dir;
    testsupport::ScopedEnvironment home(trashHome(dir.path(), dir / "data"));
    const auto file = dir / "源文件.avi";
    std::ofstream(file) << "frames";
    std::string trashed;
    EXPECT_EQ(platform::Trash::moveToTrash(file.string(), &trashed), platform::Trash::Result::Moved);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(trashed.rfind((dir / "data" / "Trash" / "files").string(), 0), 0u) << trashed;
    std::ifstream in(trashed);
    std::string contents;
    in >> contents;
    EXPECT_EQ(contents, "frames");
    EXPECT_TRUE(std::filesystem::exists(dir / "data" / "Trash" / "info" / "源文件.avi.trashinfo"));

    EXPECT_EQ(platform::Trash::moveToTrash(file.string()), platform::Trash::Result::Missing);
    EXPECT_EQ(platform::Trash::moveToTrash(""), platform::Trash::Result::Missing);
}

TEST(TrashTest, WithoutAUsableTrashTheFileStays)
{
    testsupport::TempDir dir;
    // The data folder cannot be made: a plain file is in its way.
    std::ofstream(dir / "blocker") << "x";
    testsupport::ScopedEnvironment home(trashHome(dir.path(), dir / "blocker" / "data"));
    const auto file = dir / "keep.avi";
    std::ofstream(file) << "frames";
    EXPECT_EQ(platform::Trash::moveToTrash(file.string()), platform::Trash::Result::NoTrash);
    std::ifstream in(file);
    std::string contents;
    in >> contents;
    EXPECT_EQ(contents, "frames");
}

}  // namespace
