// The conversion list's open buttons: a file that is gone never reaches the desktop, and every
// click that opens nothing gets one sentence naming the file.
#include "convert/OpenTarget.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using convert::OpenTarget;
using Outcome = convert::OpenTarget::Outcome;
using Action = convert::OpenTarget::Action;

namespace {

class OpenTargetTest : public ::testing::Test {
protected:
    std::function<bool(const std::string&)> desktop(bool takes)
    {
        return [this, takes](const std::string& path) {
            handed.push_back(path);
            return takes;
        };
    }
    testsupport::TempDir dir;
    std::vector<std::string> handed;
};

}  // namespace

TEST_F(OpenTargetTest, OnlyAnExistingFileIsHandedToTheDesktop)
{
    const std::string file = (dir / "输出 1.mp4").string();
    std::ofstream(file) << "x";
    EXPECT_EQ(OpenTarget::open(file, desktop(true)), Outcome::Done);
    EXPECT_EQ(OpenTarget::open(file, desktop(false)), Outcome::Refused);
    EXPECT_EQ(handed, (std::vector<std::string>{file, file}));

    // Gone, never written, a folder in its place, or no name at all: nothing is handed over.
    handed.clear();
    std::filesystem::create_directory(dir / "folder.mp4");
    for (const std::string& path : {(dir / "gone.mp4").string(), (dir / "folder.mp4").string(), std::string()})
        EXPECT_EQ(OpenTarget::open(path, desktop(true)), Outcome::Missing) << path;
    EXPECT_TRUE(handed.empty());
}

TEST_F(OpenTargetTest, EachNoticeIsOneSentenceNamingTheFileByItsName)
{
    const std::string path = "/media/videos/假期 %s 100%.avi";
    EXPECT_EQ(OpenTarget::notice(Outcome::Done, Action::Open, path), "");
    const std::string gone = "文件 假期 %s 100%.avi 已不存在,可能已被移动或删除。";
    EXPECT_EQ(OpenTarget::notice(Outcome::Missing, Action::Open, path), gone);
    EXPECT_EQ(OpenTarget::notice(Outcome::Missing, Action::Reveal, path), gone);
    EXPECT_EQ(OpenTarget::notice(Outcome::Refused, Action::Open, path), "没有可以打开文件 假期 %s 100%.avi 的程序。");
    EXPECT_EQ(OpenTarget::notice(Outcome::Refused, Action::Reveal, path),
              "无法在文件管理器中显示文件 假期 %s 100%.avi。");
}
