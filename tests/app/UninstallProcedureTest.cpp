#include "app/UninstallProcedure.h"
#include "kxlib/KXSmartPtr.h"
#include "kxlib/KXThread.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

using testsupport::readText;
using testsupport::writeText;

namespace fs = std::filesystem;
using app::UninstallProcedure;
using app::UninstallStage;
using Report = std::pair<UninstallStage, long>;

// A per-user installation in a temporary home: the programs and pictures inside the install
// folder, the menu entries, an icon and the link outside it, and the list naming all of them.
class UninstallProcedureTest : public ::testing::Test {
protected:
    UninstallProcedureTest()
        : environment_({{"HOME", home().string()},
                        {"XDG_DATA_HOME", (home() / ".local/share").string()},
                        {"XDG_CONFIG_HOME", (home() / ".config").string()},
                        {"LUMARET_CONFIG_DIR", std::nullopt},
                        {"PATH", "/nonexistent"}})
    {
        for (const char* name : {"lumaret", "lumaret-cli", "LumaretUninstall", "image/lumaret-btn.png",
                                 "image/deep/er/x.png"})
            installFile(install() / name, "program");
        installFile(menu() / "Lumaret.desktop", "Exec=" + install().string() + "/lumaret-shellext convert\n");
        installFile(menu() / "卸载Lumaret.desktop", "Exec=" + install().string() + "/LumaretUninstall\n");
        installFile(home() / ".local/share/icons/hicolor/32x32/apps/lumaret.png", "icon");
        fs::create_directories(home() / ".local/bin");
        fs::create_symlink(install() / "lumaret", home() / ".local/bin/lumaret");
        listed_.push_back(home() / ".local/bin/lumaret");
        writeText(settings(), "[Option]\nx=1\n");
        writeText(home() / "notes.txt", "the user's own");
    }

    fs::path home() const { return dir_.path() / "home"; }
    fs::path install() const { return home() / ".local/opt/Lumaret"; }
    fs::path menu() const { return home() / ".local/share/applications"; }
    fs::path settings() const { return home() / ".config/Lumaret/Lumaret.ini"; }

    void installFile(const fs::path& file, const std::string& text)
    {
        writeText(file, text);
        listed_.push_back(file);
    }

    // Writes the list with the installed files and any extra lines; the count is given or right.
    void writeList(const std::vector<std::string>& extra = {}, std::string count = {})
    {
        std::string body;
        for (const fs::path& file : listed_)
            body += file.string() + "\n";
        for (const std::string& line : extra)
            body += line + "\n";
        body += (install() / "uninstall.txt").string() + "\n";
        if (count.empty())
            count = std::to_string(listed_.size() + extra.size() + 1);
        writeText(install() / "uninstall.txt", count + "\n" + body);
    }

    // Runs the procedure on its own thread, as the uninstaller does, and returns its reports.
    std::vector<Report> runOnThread(UninstallProcedure** procedure = nullptr)
    {
        std::mutex lock;
        std::vector<Report> reports;
        const auto report = [&](UninstallStage stage, long value) {
            std::lock_guard<std::mutex> guard(lock);
            reports.emplace_back(stage, value);
        };
        KXLib::KXSmartPtr<UninstallProcedure> work(new UninstallProcedure(install(), report));
        KXLib::KXSmartPtr<KXLib::KXThread> thread(new KXLib::KXThread(KXLib::KXSmartPtr<KXLib::KXRunable>(work.get())));
        thread->start();
        thread->join();
        refused_ = work->refusedLines();
        return reports;
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnvironment environment_;
    std::vector<fs::path> listed_;
    std::vector<std::string> refused_;
};

TEST_F(UninstallProcedureTest, RemovesEverythingOfOursAndReportsEachStep)
{
    writeList();
    const std::vector<Report> reports = runOnThread();

    for (const fs::path& file : listed_)
        EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << file;
    EXPECT_FALSE(fs::exists(install()));
    EXPECT_TRUE(fs::exists(home() / ".local/opt")) << "only our own folder goes";
    EXPECT_TRUE(fs::exists(settings()));
    EXPECT_TRUE(fs::exists(home() / "notes.txt"));

    ASSERT_GE(reports.size(), 3u);
    const long lines = long(listed_.size()) + 1;
    EXPECT_EQ(reports.front(), Report(UninstallStage::Range, lines + UninstallProcedure::kFixedSteps));
    EXPECT_EQ(reports.back(), Report(UninstallStage::Finished, 0));
    // One step for each line but the list's own, and six fixed ones.
    EXPECT_EQ(long(reports.size()), 1 + (lines - 1) + 6 + 1);
}

TEST_F(UninstallProcedureTest, HostileLinesRemoveNothingOfTheUsers)
{
    fs::create_directories(home() / "keep");
    writeText(home() / "keep/a.txt", "keep");
    // A link inside the install folder to a user's folder, and one to a user's file.
    fs::create_directory_symlink(home() / "keep", install() / "linked-folder");
    fs::create_symlink(home() / "notes.txt", install() / "linked-file");
    const std::vector<std::string> hostile = {
        (home() / "notes.txt").string(),
        "~/notes.txt",
        "/",
        home().string(),
        install().string() + "/../../../notes.txt",
        (install() / "linked-folder/a.txt").string(),
        (install() / "linked-file").string(),
        settings().string(),
        "not-absolute.txt",
        install().string() + "/bad\xff.png",
    };
    writeList(hostile, "2");
    runOnThread();

    EXPECT_TRUE(fs::exists(home() / "notes.txt"));
    EXPECT_TRUE(fs::exists(home() / "keep/a.txt"));
    EXPECT_TRUE(fs::exists(settings()));
    // The file link was ours to remove, as a link; the folder link is a foreign entry and stays.
    EXPECT_FALSE(fs::exists(fs::symlink_status(install() / "linked-file")));
    EXPECT_TRUE(fs::is_symlink(install() / "linked-folder"));
    EXPECT_EQ(refused_.size(), hostile.size() - 1);
    // The count said 2; every line was still read.
    EXPECT_FALSE(fs::exists(install() / "lumaret"));
}

TEST_F(UninstallProcedureTest, AForeignFileKeepsItsFolderAndTheInstallFolder)
{
    writeText(install() / "image/mine.txt", "the user put this here");
    writeList();
    runOnThread();
    EXPECT_TRUE(fs::exists(install() / "image/mine.txt"));
    EXPECT_FALSE(fs::exists(install() / "image/deep")) << "emptied folders go";
    EXPECT_FALSE(fs::exists(install() / "uninstall.txt"));
}

TEST_F(UninstallProcedureTest, ACountBelowOneEndsAtOnceAndRemovesNothing)
{
    for (const char* count : {"0", "garbage", "-3"}) {
        writeList({}, count);
        EXPECT_EQ(runOnThread(), std::vector<Report>{Report(UninstallStage::Finished, 0)}) << count;
        EXPECT_TRUE(fs::exists(install() / "lumaret"));
        EXPECT_TRUE(fs::exists(install() / "uninstall.txt"));
        EXPECT_TRUE(fs::exists(menu() / "Lumaret.desktop"));
    }
}

TEST_F(UninstallProcedureTest, ASecondRunFindsNoListAndRemovesNothing)
{
    writeList();
    runOnThread();
    fs::create_directories(install());
    writeText(install() / "later.txt", "x");
    EXPECT_EQ(runOnThread(), std::vector<Report>{Report(UninstallStage::NoList, 0)});
    EXPECT_TRUE(fs::exists(install() / "later.txt"));
}

// A list in the install folder that cannot be read is not the same as no list: nothing is
// removed, and the report says the list could not be read rather than that all went well.
TEST_F(UninstallProcedureTest, AListThatCannotBeReadIsReportedAndNothingIsRemoved)
{
    const fs::path list = install() / "uninstall.txt";
    const struct {
        const char* name;
        std::function<void()> make;
        bool asSuperuser;   // whether the case holds for the superuser too
    } cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(list.c_str(), 0644), 0); }, true},
        {"a folder", [&] { fs::create_directories(list / "inner"); }, true},
        {"no read permission", [&] { writeList(); ::chmod(list.c_str(), 0); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.asSuperuser && ::geteuid() == 0)
            continue;
        fs::remove_all(list);
        c.make();
        EXPECT_EQ(runOnThread(), std::vector<Report>{Report(UninstallStage::ListUnreadable, 0)});
        for (const fs::path& file : listed_)
            EXPECT_TRUE(fs::exists(fs::symlink_status(file))) << file;
        EXPECT_TRUE(fs::exists(fs::symlink_status(list)));
        ::chmod(list.c_str(), 0644);
    }
}

// The installer notes the folders it had to create and a desktop database it caused to be
// written; what of those is left empty (a database without a single entry) goes. A noted folder
// that holds anything else stays, and so does any folder that leads to nothing of ours.
TEST_F(UninstallProcedureTest, EmptyFoldersAndTheEmptyDatabaseTheInstallerCreatedGo)
{
    const fs::path icons = home() / ".local/share/icons";
    fs::create_directories(home() / "empty-of-the-users");
    fs::create_directories(home() / ".local/share/icons/hicolor/32x32/apps");
    fs::create_directories(home() / ".local/share/icons/hicolor/16x16/apps");
    writeText(home() / ".local/share/icons/hicolor/16x16/apps/other.png", "another program's");
    const struct {
        const char* name;
        std::string cache;
        bool cacheGoes;
    } cases[] = {
        {"a database without entries", "[MIME Cache]\n", true},
        {"a database that names another program", "[MIME Cache]\nvideo/mp4=other.desktop;\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::create_directories(install());
        for (const char* name : {"lumaret", "LumaretUninstall"})
            writeText(install() / name, "program");
        writeText(menu() / "mimeinfo.cache", c.cache);
        std::string created;
        for (const fs::path& item : {home() / ".local", home() / ".local/opt", home() / ".local/bin", menu(),
                                     menu() / "mimeinfo.cache", icons, icons / "hicolor", icons / "hicolor/32x32",
                                     icons / "hicolor/32x32/apps", icons / "hicolor/16x16",
                                     icons / "hicolor/16x16/apps", home() / "empty-of-the-users", home(),
                                     home() / ".config"})
            created += item.string() + "\n";
        writeText(install() / "uninstall-created.txt", "14\n" + created);
        writeList({(install() / "uninstall-created.txt").string()});
        runOnThread();

        EXPECT_FALSE(fs::exists(install()));
        EXPECT_FALSE(fs::exists(home() / ".local/opt"));
        EXPECT_FALSE(fs::exists(home() / ".local/bin"));
        EXPECT_FALSE(fs::exists(icons / "hicolor/32x32"));
        EXPECT_EQ(fs::exists(menu() / "mimeinfo.cache"), !c.cacheGoes);
        EXPECT_EQ(fs::exists(menu()), !c.cacheGoes);
        EXPECT_EQ(readText(icons / "hicolor/16x16/apps/other.png"), "another program's");
        EXPECT_TRUE(fs::exists(home() / "empty-of-the-users")) << "leads to nothing of ours";
        EXPECT_TRUE(fs::exists(settings()));
        EXPECT_TRUE(fs::exists(home() / "notes.txt"));
    }
}

TEST_F(UninstallProcedureTest, EntriesOfAnotherInstallationStayWhenTheListForgetsThem)
{
    // A list that names only the programs: the fixed steps still clean up, but only what is ours.
    writeText(menu() / "Lumaret.desktop", "Exec=/opt/Other/lumaret-shellext convert\n");
    fs::remove(home() / ".local/bin/lumaret");
    fs::create_symlink("/opt/Other/lumaret", home() / ".local/bin/lumaret");
    writeText(install() / "uninstall.txt", "1\n" + (install() / "lumaret").string() + "\n");
    runOnThread();
    EXPECT_TRUE(fs::exists(menu() / "Lumaret.desktop"));
    EXPECT_TRUE(fs::is_symlink(home() / ".local/bin/lumaret"));
    EXPECT_FALSE(fs::exists(menu() / "卸载Lumaret.desktop"));
    EXPECT_FALSE(fs::exists(home() / ".local/share/icons/hicolor/32x32/apps/lumaret.png"));
}

}  // namespace
