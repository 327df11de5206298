#include "convert/OutputClaim.h"

#include "convert/OutputName.h"
#include "platform/core/Paths.h"
#include "profile/EncodingTables.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using convert::OutputClaim;
using convert::OutputName;

namespace {

profile::ProfileRecord aviProfile()
{
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    record.conversionType = 8;
    return record;
}

std::string contentOf(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return text;
}

}  // namespace

TEST(OutputNameTest, CutsTheSourceOnceForEveryUser)
{
    const auto parts = OutputName::cutSource("/v/a.b/movie.tar.gz");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->folder, "/v/a.b");
    EXPECT_EQ(parts->base, "movie.tar");
    EXPECT_EQ(OutputName::cutSource("/v/a.b/movie")->base, "movie");
    EXPECT_EQ(OutputName::cutSource("/v/.profile")->base, ".profile");
    EXPECT_EQ(OutputName::cutSource("/clip.mp4")->folder, "");
    EXPECT_FALSE(OutputName::cutSource("clip.mp4"));
    EXPECT_FALSE(OutputName::cutSource("/v/"));
    EXPECT_EQ(OutputName::defaultFolder(), platform::Paths::expandHome("~/Lumaret_output").string());

    profile::ProfileRecord gif = profile::makeEmptyProfileRecord();
    gif.conversionType = 14;  // "gif -pix_fmt rgb24 -loop_output 0": only the name makes the extension
    profile::setFieldText(gif.profileName, profile::kProfileTextChars, u"a/b");
    const auto name = OutputName::make("/v/clip.mp4", gif, "", true);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->folder(), "/v");
    EXPECT_EQ(name->path(0), "/v/clip [a_b].gif");
    EXPECT_EQ(name->path(2), "/v/clip_2 [a_b].gif");
}

TEST(OutputClaimTest, ClaimsTheFirstNameNothingHoldsAndRemovesOnlyItsOwnFile)
{
    testsupport::TempDir dir;
    const auto name = OutputName::make("/v/clip.mp4", aviProfile(), dir.path().string(), false);
    ASSERT_TRUE(name);
    // A file, a folder and a dangling link each hold their name, and none of them is touched.
    std::ofstream(dir / "clip.avi") << "mine";
    std::filesystem::create_directory(dir / "clip_1.avi");
    std::filesystem::create_symlink(dir / "nowhere", dir / "clip_2.avi");

    std::string reason;
    const auto claim = OutputClaim::claim(*name, &reason);
    ASSERT_TRUE(claim) << reason;
    EXPECT_EQ(claim->path(), (dir / "clip_3.avi").string());
    EXPECT_EQ(std::filesystem::file_size(claim->path()), 0u);
    EXPECT_EQ(contentOf(dir / "clip.avi"), "mine");
    EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));

    // The next claim cannot take the same name.
    const auto next = OutputClaim::claim(*name, &reason);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->path(), (dir / "clip_4.avi").string());

    // What the encoder wrote into the claimed file goes; a file put in its place later stays.
    std::ofstream(claim->path()) << "partial";
    EXPECT_TRUE(claim->remove());
    EXPECT_FALSE(std::filesystem::exists(claim->path()));
    std::ofstream(dir / "other") << "someone else's";
    std::filesystem::rename(dir / "other", next->path());
    EXPECT_FALSE(next->remove());
    EXPECT_EQ(contentOf(next->path()), "someone else's");
}

TEST(OutputClaimTest, RefusalsSayWhy)
{
    testsupport::TempDir dir;
    std::string reason;
    const auto missingFolder = OutputName::make("/v/clip.mp4", aviProfile(), (dir / "no" / "such").string(), false);
    EXPECT_FALSE(OutputClaim::claim(*missingFolder, &reason));
    EXPECT_EQ(reason, "无法创建输出文件 " + (dir / "no" / "such" / "clip.avi").string() + ": No such file or directory");

    const auto tooLong =
        OutputName::make("/v/" + std::string(300, 'n') + ".mp4", aviProfile(), dir.path().string(), false);
    EXPECT_FALSE(OutputClaim::claim(*tooLong, &reason));
    EXPECT_TRUE(reason.starts_with("输出文件名太长: ")) << reason;
}
