#include "app/UninstallScope.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using app::UninstallScope;

// A temporary home with an install folder in it, as a per-user installation lays it out.
class UninstallScopeTest : public ::testing::Test {
protected:
    UninstallScopeTest()
        : environment_({{"HOME", home().string()},
                        {"XDG_DATA_HOME", (home() / ".local/share").string()},
                        {"XDG_CONFIG_HOME", (home() / ".config").string()},
                        {"LUMARET_CONFIG_DIR", std::nullopt}})
    {
        fs::create_directories(install());
    }
    fs::path home() const { return dir_.path() / "home"; }
    fs::path install() const { return home() / ".local/opt/Lumaret"; }
    UninstallScope scope() const { return UninstallScope::forInstallFolder(install()); }

    testsupport::TempDir dir_;
    testsupport::ScopedEnvironment environment_;
};

TEST_F(UninstallScopeTest, FilesInsideTheInstallFolderAndTheInstallersEntriesAreOwned)
{
    const UninstallScope s = scope();
    EXPECT_EQ(s.owned((install() / "lumaret").string()), install() / "lumaret");
    EXPECT_EQ(s.owned((install() / "image/a b.png").string()), install() / "image/a b.png");
    const fs::path longName = install() / std::string(250, 'x') / std::string(60, 'y');
    EXPECT_EQ(s.owned(longName.string()), longName);
    for (const fs::path& entry : {home() / ".local/share/applications/Lumaret.desktop",
                                  home() / ".local/share/applications/卸载Lumaret.desktop",
                                  home() / ".local/share/icons/hicolor/48x48/apps/lumaret.png",
                                  home() / ".local/bin/lumaret", home() / "Desktop/Lumaret.desktop"})
        EXPECT_EQ(s.owned(entry.string()), entry) << entry;
}

TEST_F(UninstallScopeTest, EverythingElseIsRefused)
{
    const UninstallScope s = scope();
    fs::create_directories(home() / ".config/Lumaret");
    const std::vector<std::string> refused = {
        "/",
        "~",
        "~/notes.txt",
        "relative/file",
        home().string(),
        (home() / "notes.txt").string(),
        install().string(),
        install().string() + "/",
        install().string() + "/../../../notes.txt",
        install().string() + "/./lumaret",
        (home() / ".config/Lumaret/Lumaret.ini").string(),
        (install() / "data/user_profile.dat").string(),
        (home() / ".local/share/applications/other.desktop").string(),
        install().string() + "/bad\xff\xfe.png",
        install().string() + "/" + std::string(5000, 'z'),
        "/etc/passwd",
    };
    for (const std::string& line : refused) {
        std::string reason;
        EXPECT_FALSE(s.owned(line, &reason)) << line;
        EXPECT_FALSE(reason.empty()) << line;
    }
}

TEST_F(UninstallScopeTest, AFolderLinkInsideTheInstallFolderCannotLeadOut)
{
    fs::create_directory_symlink(home(), install() / "data");
    EXPECT_FALSE(scope().owned((install() / "data/notes.txt").string()));
    // The last component is not followed: a link to a user's file is ours to remove, as a link.
    fs::create_symlink(home() / "notes.txt", install() / "notes-link");
    EXPECT_EQ(scope().owned((install() / "notes-link").string()), install() / "notes-link");
}

TEST_F(UninstallScopeTest, TheSettingsFileIsNeverOwnedEvenInsideTheInstallFolder)
{
    testsupport::ScopedEnvironment config({{"LUMARET_CONFIG_DIR", install().string()}});
    EXPECT_FALSE(scope().owned((install() / "Lumaret.ini").string()));
}

TEST_F(UninstallScopeTest, AHomeOrRootInstallFolderOwnsNothingInsideIt)
{
    EXPECT_FALSE(UninstallScope::forInstallFolder(home()).owned((home() / "notes.txt").string()));
    EXPECT_FALSE(UninstallScope::forInstallFolder("/").owned((home() / "notes.txt").string()));
    EXPECT_FALSE(UninstallScope::forInstallFolder(dir_.path()).owned((home() / "notes.txt").string()));
}

TEST_F(UninstallScopeTest, TheDesktopFolderFollowsUserDirs)
{
    fs::create_directories(home() / ".config");
    const char line[] = "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n";
    testsupport::writeBytes(home() / ".config/user-dirs.dirs", {std::begin(line), std::end(line) - 1});
    EXPECT_EQ(UninstallScope::userDesktopFolder(), home() / "桌面");
    testsupport::writeBytes(home() / ".config/user-dirs.dirs",
                            {std::begin("XDG_DESKTOP_DIR=\"$HOME/\"\n"), std::end("XDG_DESKTOP_DIR=\"$HOME/\"\n") - 1});
    EXPECT_TRUE(UninstallScope::userDesktopFolder().empty());
}

}  // namespace
