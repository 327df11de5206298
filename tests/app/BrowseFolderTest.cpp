// Where the choosers open: the folder last chosen in, kept in the settings file beside the other
// settings, and the home folder whenever that folder is not there.
#include "app/BrowseFolder.h"
#include "app/SettingsStore.h"
#include "platform/core/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using app::BrowseFolder;
namespace fs = std::filesystem;

namespace {

class BrowseFolderTest : public ::testing::Test {
protected:
    BrowseFolderTest() : home_({{"HOME", (dir / "home").string()}}) { fs::create_directories(dir / "home"); }

    std::string home() const { return (dir / "home").string(); }
    app::SettingsStore store() const { return app::SettingsStore(dir / "config" / "Lumaret.ini"); }

    testsupport::TempDir dir;

private:
    testsupport::ScopedEnvironment home_;
};

}  // namespace

TEST_F(BrowseFolderTest, OpensAtHomeUntilAChoiceThenWhereTheLastChoiceWasAcrossRuns)
{
    EXPECT_EQ(BrowseFolder(store()).start(), home());

    fs::create_directories(dir / "videos" / "假期");
    app::OptionSettings options;
    options.shutdownWhenDone = 1;
    ASSERT_TRUE(store().saveOptions(options));
    BrowseFolder(store()).rememberFiles(
        {(dir / "videos" / "a.mp4").string(), (dir / "videos" / "假期" / "b.mp4").string()});
    // A new run (a new chooser over the same file) opens in the first file's folder.
    EXPECT_EQ(BrowseFolder(store()).start(), (dir / "videos").string());
    EXPECT_EQ(store().loadOptions().shutdownWhenDone, 1) << "the other settings are kept";

    BrowseFolder(store()).rememberFolder((dir / "videos" / "假期").string());
    EXPECT_EQ(BrowseFolder(store()).start(), (dir / "videos" / "假期").string());

    // Cancelled choices change nothing.
    BrowseFolder(store()).rememberFiles({});
    BrowseFolder(store()).rememberFolder("");
    EXPECT_EQ(store().loadBrowse().lastFolder, (dir / "videos" / "假期").string());

    // The folder went away: home again.
    fs::remove_all(dir / "videos");
    EXPECT_EQ(BrowseFolder(store()).start(), home());
}

TEST_F(BrowseFolderTest, OnlyAnExistingAbsoluteFolderIsKeptElseHome)
{
    fs::create_directories(dir / "home" / "out");
    std::ofstream(dir / "file.txt") << "x";
    EXPECT_EQ(BrowseFolder::existingOrHome((dir / "home" / "out").string()), (dir / "home" / "out").string());
    EXPECT_EQ(BrowseFolder::existingOrHome("~/out"), (dir / "home" / "out").string());
    for (const std::string& folder : {std::string(), std::string("out"), (dir / "file.txt").string(),
                                      (dir / "missing").string(), std::string("relative/../out")})
        EXPECT_EQ(BrowseFolder::existingOrHome(folder), home()) << folder;

    // A remembered value the file cannot hold is not remembered, and nothing else is lost.
    BrowseFolder(store()).rememberFolder((dir / "home" / "out").string());
    BrowseFolder(store()).rememberFolder((dir / "line\nbreak").string());
    EXPECT_EQ(BrowseFolder(store()).start(), (dir / "home" / "out").string());
}
