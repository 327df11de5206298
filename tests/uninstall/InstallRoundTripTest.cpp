// `make install` into a temporary home, then the removal the uninstaller runs: the entries are
// valid desktop entries, the list names every installed file, and the removal takes exactly our
// files, leaving the user's (a foreign file in the install folder, a file a hostile line names,
// the settings file) where they were.
#include "app/UninstallProcedure.h"
#include "kxlib/KXThread.h"
#include "platform/core/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iomanip>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
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

// Every path below `folder`, sorted.
std::vector<std::string> treeOf(const fs::path& folder)
{
    std::vector<std::string> paths;
    for (const auto& item : fs::recursive_directory_iterator(folder))
        paths.push_back(item.path().lexically_relative(folder).string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The Exec line of a desktop entry as the desktop runs it: the quoted program, its arguments, and
// %F replaced by the files (none, when the menu starts it without any).
std::vector<std::string> execLine(const std::string& entry, const std::vector<std::string>& files)
{
    const std::size_t start = entry.find("\nExec=") + 6;
    std::istringstream words(entry.substr(start, entry.find('\n', start) - start));
    std::vector<std::string> argv;
    for (std::string word; words >> std::quoted(word);) {
        if (word == "%F")
            argv.insert(argv.end(), files.begin(), files.end());
        else
            argv.push_back(word);
    }
    return argv;
}

// Starts a program and tells whether it is still running after `seconds`; it is then ended with
// SIGTERM, and `endedBySignal` says whether it ended by that signal (as a program does that
// cleans up and ends with the signal's status).
bool runsFor(const std::vector<std::string>& argv, int seconds, bool& endedBySignal)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        return false;
    int status = 0;
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, &status, 0);
    endedBySignal = WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
    return true;
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
    const ProgramRun installed =
        runProgram({LUMARET_CMAKE, "--install", LUMARET_BUILD_DIR, "--prefix", install().string()});
    ASSERT_EQ(installed.status, 0) << installed.output;

    const fs::path menu = home() / ".local/share/applications";
    for (const fs::path& entry :
         {menu / "Lumaret.desktop", menu / "卸载Lumaret.desktop", home() / "Desktop/Lumaret.desktop"}) {
        ASSERT_TRUE(fs::exists(entry)) << entry;
        const ProgramRun valid = runProgram({"desktop-file-validate", entry.string()});
        EXPECT_EQ(valid.status, 0) << entry << valid.output;
        EXPECT_EQ(valid.output, "") << entry;
    }
    const std::string entry = readText(menu / "Lumaret.desktop");
    EXPECT_NE(entry.find("Exec=\"" + install().string() + "/lumaret\" --open %F\n"), std::string::npos);
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

// The applications menu's entry starts the program itself, with and without a file (the file
// manager's helper is for the file managers' menus only); removing the installation then leaves
// the home folder as it was before: no file of ours, no folder the installer created, no
// desktop database that names nothing.
TEST_F(InstallRoundTripTest, TheMenuEntryStartsTheProgramAndRemovalLeavesTheHomeAsItWas)
{
    const std::vector<std::string> before = treeOf(home());
    const ProgramRun installed =
        runProgram({LUMARET_CMAKE, "--install", LUMARET_BUILD_DIR, "--prefix", install().string()});
    ASSERT_EQ(installed.status, 0) << installed.output;

    writeText(dir_.path() / "clip.mp4", "clip");
    const std::string entry = readText(home() / ".local/share/applications/Lumaret.desktop");
    {
        // The program's own files go elsewhere while it runs, so that the home folder shows only
        // what the installer and the uninstaller did.
        testsupport::ScopedEnvironment elsewhere({{"LUMARET_DATA_DIR", (dir_.path() / "data").string()},
                                                  {"LUMARET_CONFIG_DIR", (dir_.path() / "config").string()},
                                                  {"XDG_CACHE_HOME", (dir_.path() / "cache").string()},
                                                  {"QT_QPA_PLATFORM", "offscreen"}});
        for (const std::vector<std::string>& files : {std::vector<std::string>{},
                                                      std::vector<std::string>{(dir_.path() / "clip.mp4").string()}}) {
            SCOPED_TRACE(files.empty() ? "without a file" : "with a file");
            const std::vector<std::string> argv = execLine(entry, files);
            ASSERT_FALSE(argv.empty());
            EXPECT_EQ(argv[0], (install() / "lumaret").string());
            bool endedBySignal = false;
            EXPECT_TRUE(runsFor(argv, 3, endedBySignal)) << "the program did not stay open";
            EXPECT_TRUE(endedBySignal) << "SIGTERM must end the program with the signal's status";
        }
    }

    removeAsTheUninstallerDoes();
    EXPECT_EQ(treeOf(home()), before);
}

}  // namespace
