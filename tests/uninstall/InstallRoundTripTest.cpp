// `make install` into a temporary home, then the removal the uninstaller runs: the entries are
// valid desktop entries, the list names every installed file, and the removal takes exactly our
// files, leaving the user's (a foreign file in the install folder, a file a hostile line names,
// the settings file) where they were.
#include "app/UninstallProcedure.h"
#include "kxlib/KXThread.h"
#include "platform/core/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::readText;
using testsupport::writeText;

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string output;
};

ProgramRun runProgram(const std::vector<std::string>& argv)
{
    platform::ChildProcess child;
    ProgramRun result;
    std::string error;
    EXPECT_TRUE(child.start(argv, 0, &error)) << error;
    while (child.read(result.output) == platform::ChildProcess::ReadStatus::Data) {
    }
    const auto exit = child.finish();
    result.status = exit.exited ? exit.code : -1;
    return result;
}

class InstallRoundTripTest : public ::testing::Test {
protected:
    InstallRoundTripTest()
        : environment_({{"HOME", home().string()},
                        {"XDG_DATA_HOME", (home() / ".local/share").string()},
                        {"XDG_CONFIG_HOME", (home() / ".config").string()},
                        {"LUMARET_CONFIG_DIR", std::nullopt},
                        {"LUMARET_DATA_DIR", std::nullopt},
                        {"DESTDIR", std::nullopt}})
    {
        fs::create_directories(home() / "Desktop");
        writeText(settings(), "[Option]\nOutputFolder=/home/x\n");
        writeText(home() / "notes.txt", "the user's own");
    }

    fs::path home() const { return dir_.path() / "home"; }
    fs::path install() const { return home() / ".local/opt/Lumaret"; }
    fs::path settings() const { return home() / ".config/Lumaret/Lumaret.ini"; }

    std::vector<std::string> listLines()
    {
        std::istringstream text(readText(install() / "uninstall.txt"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    void removeAsTheUninstallerDoes()
    {
        KXLib::KXSmartPtr<app::UninstallProcedure> work(new app::UninstallProcedure(install(), {}));
        KXLib::KXSmartPtr<KXLib::KXThread> thread(new KXLib::KXThread(KXLib::KXSmartPtr<KXLib::KXRunable>(work.get())));
        thread->start();
        thread->join();
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnvironment environment_;
};

TEST_F(InstallRoundTripTest, InstallsValidEntriesAndAListOfEveryFileThenRemovesOnlyOurs)
{
    const ProgramRun installed = runProgram({LUMARET_CMAKE, "--install", LUMARET_BUILD_DIR, "--prefix", install().string()});
    ASSERT_EQ(installed.status, 0) << installed.output;

    const fs::path menu = home() / ".local/share/applications";
    for (const fs::path& entry : {menu / "Lumaret.desktop", menu / "卸载Lumaret.desktop", home() / "Desktop/Lumaret.desktop"}) {
        ASSERT_TRUE(fs::exists(entry)) << entry;
        const ProgramRun valid = runProgram({"desktop-file-validate", entry.string()});
        EXPECT_EQ(valid.status, 0) << entry << valid.output;
        EXPECT_EQ(valid.output, "") << entry;
    }
    const std::string entry = readText(menu / "Lumaret.desktop");
    EXPECT_NE(entry.find("Exec=\"" + install().string() + "/lumaret-shellext\" convert 自定义转换 %F\n"), std::string::npos);
    EXPECT_NE(entry.find("Categories=AudioVideo;Video;AudioVideoEditing;\n"), std::string::npos);
    EXPECT_EQ(entry.find('*'), std::string::npos) << "no wildcard MIME types";
    EXPECT_TRUE(fs::exists(home() / ".local/share/icons/hicolor/48x48/apps/lumaret.png"));
    EXPECT_EQ(fs::read_symlink(home() / ".local/bin/lumaret"), install() / "lumaret");

    // The list: its count, then every file of the install folder and every entry outside it.
    const std::vector<std::string> lines = listLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), std::to_string(lines.size() - 1));
    const std::set<std::string> listed(lines.begin() + 1, lines.end());
    for (const auto& item : fs::recursive_directory_iterator(install())) {
        if (!item.is_directory()) {
            EXPECT_EQ(listed.count(item.path().string()), 1u) << item.path();
        }
    }
    for (const char* name : {"lumaret", "lumaret-cli", "lumaret-shellext", "LumaretUninstall", "image/lumaret-btn.png"})
        EXPECT_EQ(listed.count((install() / name).string()), 1u) << name;
    EXPECT_EQ(listed.count((home() / ".local/bin/lumaret").string()), 1u);
    EXPECT_EQ(listed.count((home() / "Desktop/Lumaret.desktop").string()), 1u);

    // A foreign file in the install folder, and a hostile line naming the user's own file.
    writeText(install() / "image/mine/keep.txt", "mine");
    const std::string settingsBefore = readText(settings());
    std::string list = readText(install() / "uninstall.txt");
    list += (home() / "notes.txt").string() + "\n";
    writeText(install() / "uninstall.txt", list);

    removeAsTheUninstallerDoes();

    for (const std::string& file : listed)
        EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << file;
    EXPECT_EQ(readText(install() / "image/mine/keep.txt"), "mine");
    EXPECT_EQ(readText(home() / "notes.txt"), "the user's own");
    EXPECT_EQ(readText(settings()), settingsBefore);
    // Only the folder that holds the foreign file is left of the installation.
    std::vector<fs::path> left;
    for (const auto& item : fs::recursive_directory_iterator(install()))
        left.push_back(item.path());
    EXPECT_EQ(left.size(), 3u) << "image, image/mine, image/mine/keep.txt";

    // A second run finds no list and removes nothing.
    removeAsTheUninstallerDoes();
    EXPECT_EQ(readText(install() / "image/mine/keep.txt"), "mine");
}

}  // namespace
