// The conversion page's trash: where no trash can take a source, the source stays whole and the
// reason comes back. The home and data folders point into a temporary folder, so no real trash is
// touched.
#include "convert/page/ConvertPageServices.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

TEST(ConvertPageServicesTest, ASourceNoTrashCanTakeStaysWhole)
{
    testsupport::TempDir dir;
    // The home trash is unusable: a plain file holds its name.
    std::filesystem::create_directories(dir / "data");
    std::ofstream(dir / "data" / "Trash") << "not a folder";
    testsupport::ScopedEnvironment home({{"HOME", dir.path().string()}, {"XDG_DATA_HOME", (dir / "data").string()}});
    const auto source = dir / "源文件.mp4";
    std::ofstream(source, std::ios::binary) << "the only copy";

    convert::ConvertPageServices services;
    std::string why;
    EXPECT_FALSE(services.moveToTrash(source.string(), why));
    EXPECT_FALSE(why.empty());
    std::ifstream in(source, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the only copy");

    // A source that is gone has nothing to tell.
    why.clear();
    EXPECT_FALSE(services.moveToTrash((dir / "gone.mp4").string(), why));
    EXPECT_TRUE(why.empty());
}

}  // namespace
