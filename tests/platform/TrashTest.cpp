// Moving files to the freedesktop trash: the file lands in the trash with its contents, a missing
// file is reported as such, and where there is no usable trash the file stays untouched. The home
// and data folders point into a temporary folder: no test touches a real user's trash.
#include "platform/Trash.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

class TrashHome {
public:
    TrashHome(const std::string& home, const std::string& data)
    {
        save("HOME", home);
        save("XDG_DATA_HOME", data);
    }
    ~TrashHome()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    void save(const std::string& name, const std::string& value)
    {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(TrashTest, MovesTheFileIntoTheHomeTrash)
{
    testsupport::TempDir dir;
    TrashHome home(dir.path().string(), (dir / "data").string());
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
    TrashHome home(dir.path().string(), (dir / "blocker" / "data").string());
    const auto file = dir / "keep.avi";
    std::ofstream(file) << "frames";
    EXPECT_EQ(platform::Trash::moveToTrash(file.string()), platform::Trash::Result::NoTrash);
    std::ifstream in(file);
    std::string contents;
    in >> contents;
    EXPECT_EQ(contents, "frames");
}

}  // namespace
