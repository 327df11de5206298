#include "app/CommandFile.h"
#include "app/CommandFolder.h"
#include "app/DetachedLaunch.h"
#include "app/HandOver.h"
#include "app/ShellRegistration.h"
#include "app/ShellMenuText.h"
#include "platform/core/ChildProcess.h"
#include "profile/ProfileStore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testsupport::readText;
using testsupport::writeText;

namespace fs = std::filesystem;
using app::CommandFile;

struct Result {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// Starts a program with the given environment settings and working folder.
std::unique_ptr<platform::ChildProcess> start(std::vector<std::string> argv,
                                              const std::vector<std::string>& environment, const fs::path& folder)
{
    std::vector<std::string> command = {"/usr/bin/env", "-C", folder.string()};
    command.insert(command.end(), environment.begin(), environment.end());
    command.insert(command.end(), argv.begin(), argv.end());
    auto child = std::make_unique<platform::ChildProcess>();
    EXPECT_TRUE(child->start(command, 0, nullptr));
    return child;
}

// Reads a started program's output to its end.
Result finish(platform::ChildProcess& child)
{
    Result result;
    while (child.read(result.output) == platform::ChildProcess::ReadStatus::Data) {
    }
    const auto exit = child.finish();
    result.status = exit.exited ? exit.code : -1;
    return result;
}

// Runs a program to its end with the given environment settings and working folder.
Result run(std::vector<std::string> argv, const std::vector<std::string>& environment, const fs::path& folder)
{
    return finish(*start(std::move(argv), environment, folder));
}

// Everything under a folder: kind, permission bits and contents of each entry, by relative path.
std::map<std::string, std::string> snapshot(const fs::path& top)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(top)) {
        struct stat info {};
        ::lstat(item.path().c_str(), &info);
        std::string state = std::to_string(info.st_mode);
        if (S_ISREG(info.st_mode))
            state += "\n" + readText(item.path());
        entries[fs::relative(item.path(), top).string()] = state;
    }
    return entries;
}

// A user's own Thunar action, which must survive everything we do.
const std::string kForeignUca =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n"
    "\t<icon>utilities-terminal</icon>\n\t<name>Open Terminal Here</name>\n"
    "\t<unique-id>1553427048447398-1</unique-id>\n"
    "\t<command>exo-open --working-directory %f --launch TerminalEmulator</command>\n"
    "\t<description>Example for a custom action</description>\n\t<patterns>*</patterns>\n"
    "\t<startup-notify/>\n\t<directories/>\n</action>\n</actions>\n";

const std::string kQuoted = "Say \"hi\" & <ok> $(x)";
const std::string kCjk = "普通 720p";

class ShellExtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Each file manager leaves a folder in the home once it has run; those make register
        // write its entries. The user already has menu items of their own.
        for (const fs::path& sign : {dataHome() / "nautilus", configHome() / "caja", dataHome() / "nemo",
                                     dataHome() / "kio", configHome() / "pcmanfm-qt"})
            fs::create_directories(sign);
        writeText(configHome() / "Thunar/uca.xml", kForeignUca);
        writeText(dataHome() / "nemo/actions/mine.nemo_action", "[Nemo Action]\nName=Mine\nExec=true %F\n");
        writeText(dataHome() / "nautilus/scripts/my script", "#!/bin/sh\necho mine\n");
        setProfiles({{kQuoted, true}, {kCjk, true}, {"not in menu", false}});
        // Installed in a folder whose name needs quoting in every menu format.
        fs::create_directories(installedHelper().parent_path());
        fs::copy_file(LUMARET_SHELLEXT, installedHelper());
    }

    // The status lines of every file manager, each in the same state.
    static std::string statusLines(const std::string& state)
    {
        std::string lines;
        for (const char* name : {"Nautilus", "Caja", "Nemo", "Dolphin", "PCManFM-Qt", "Thunar"})
            lines += std::string(name) + ": " + state + "\n";
        return lines;
    }

    fs::path installedHelper() const { return dir_ / "it's My Apps 视频 (x86)" / "lumaret-shellext"; }

    fs::path home() const { return dir_ / "home"; }
    fs::path dataHome() const { return home() / ".local/share"; }
    fs::path configHome() const { return home() / ".config"; }
    fs::path dataDir() const { return dir_ / "data"; }
    fs::path nautilusMenu() const { return dataHome() / "nautilus/scripts/Lumaret"; }

    // The built-in profiles, none of them in the menu, plus user profiles with the given flags.
    void setProfiles(const std::vector<std::pair<std::string, bool>>& profiles)
    {
        profile::ProfileStore store(dataDir());
        ASSERT_TRUE(store.load());
        store.tree().findInPreOrder([](const profile::ProfileNode& node) {
            if (node.record())
                const_cast<profile::ProfileNode&>(node).record()->inContextMenu = 0;
            return false;
        });
        for (const auto& [name, inMenu] : profiles) {
            profile::ProfileNode* node = store.tree().findNodeByText(profile::toUtf16(name));
            if (!node) {
                auto record = std::make_unique<profile::ProfileRecord>(profile::makeEmptyProfileRecord());
                profile::setFieldText(record->categoryName, profile::kProfileTextChars, u"测试");
                profile::setFieldText(record->profileName, profile::kProfileTextChars, profile::toUtf16(name));
                record->isUserProfile = 1;
                record->conversionType = 19;
                node = store.tree().insertProfile(std::move(record));
                ASSERT_TRUE(node);
            }
            node->record()->inContextMenu = inMenu ? 1 : 0;
        }
        ASSERT_TRUE(store.save());
    }

    std::vector<std::string> environment(const std::string& program = "") const
    {
        return {"HOME=" + home().string(),
                "XDG_DATA_HOME=" + dataHome().string(),
                "XDG_CONFIG_HOME=" + configHome().string(),
                "LUMARET_DATA_DIR=" + dataDir().string(),
                "LUMARET_PROGRAM=" + program,
                "PATH=/usr/bin:/bin"};
    }

    Result helper(std::vector<std::string> args, const fs::path& folder = {}, const std::string& program = "")
    {
        args.insert(args.begin(), installedHelper().string());
        return run(args, environment(program), folder.empty() ? dir_.path() : folder);
    }

    testsupport::TempDir dir_;
};

void expectValidExecLines(const fs::path& file);

// desktop-file-validate knows only the application, link and directory types; the types and keys
// the file managers define on top (Service, Action, Menu, their keys) are all it may object to.
void expectValidDesktopFile(const fs::path& file)
{
    const Result result = run({"desktop-file-validate", file.string()}, {}, "/");
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const bool known = line.find("is not a registered type value") != std::string::npos
                        || line.find("keys extending the format should start with \"X-\"") != std::string::npos
                        || line.find("while this key is only valid for type \"Application\"") != std::string::npos;
        EXPECT_TRUE(known) << file << ": " << line;
    }
    EXPECT_NE(result.status, 127) << "desktop-file-validate is missing (scripts/install-deps.sh installs it)";
    expectValidExecLines(file);
}

// The file managers' own types exempt their Exec lines from the validator's checks (and Nemo's
// actions are no desktop files at all), so each command is checked in an application entry,
// where its quoting must pass without a word.
void expectValidExecLines(const fs::path& file)
{
    std::istringstream text(readText(file));
    int count = 0;
    for (std::string line; std::getline(text, line);) {
        if (!line.starts_with("Exec="))
            continue;
        const fs::path probe =
            file.parent_path().parent_path() / ("exec-check-" + std::to_string(count++) + ".desktop");
        writeText(probe, "[Desktop Entry]\nType=Application\nName=check\n" + line + "\n");
        const Result strict = run({"desktop-file-validate", probe.string()}, {}, "/");
        EXPECT_EQ(strict.status, 0) << line << "\n" << strict.output;
        fs::remove(probe);
    }
}

std::string idOf(const std::string& name)
{
    return app::ShellMenuText::identifierOf(profile::toUtf16(name));
}

TEST_F(ShellExtTest, RegisterWritesEveryFormatAndUnregisterRestoresTheHome)
{
    const auto before = snapshot(home());
    const Result registered = helper({"register"});
    ASSERT_EQ(registered.status, 0) << registered.output;
    EXPECT_EQ(registered.output, "");
    const std::string exec = "\"" + installedHelper().string() + "\" convert ";
    const std::string quotedExec = exec + "--id=" + idOf(kQuoted) + " %F";

    // Nautilus and Caja: one executable script per entry in the submenu folder.
    for (const fs::path& menu : {nautilusMenu(), configHome() / "caja/scripts/Lumaret"}) {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(menu))
            names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{kQuoted, "普通 720p", "自定义转换"}));
        const std::string script = readText(menu / kCjk);
        EXPECT_EQ(script, "#!/bin/sh\n# Written by lumaret-shellext register; lumaret-shellext unregister removes it.\n"
                          "exec " + exec + "--media-only --id=" + idOf(kCjk) + " \"$@\"\n");
        EXPECT_EQ(fs::status(menu / kCjk).permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
        EXPECT_EQ(run({"sh", "-n", (menu / kQuoted).string()}, {}, "/").status, 0);
    }
    // Nemo: one action per entry, labelled since there is no submenu.
    const std::string nemo = readText(dataHome() / "nemo/actions/lumaret-000.nemo_action");
    for (const std::string& line :
         {std::string("[Nemo Action]\n"), "\nName=Lumaret: " + kQuoted + "\n", "\nExec=" + quotedExec + "\n",
          std::string("\nSelection=notnone\n"), std::string("\nMimetypes=video/*;audio/*;\n")})
        EXPECT_NE(nemo.find(line), std::string::npos) << line;
    EXPECT_NE(readText(dataHome() / "nemo/actions/lumaret-002.nemo_action").find("Name=Lumaret: 自定义转换\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dataHome() / "nemo/actions/lumaret-003.nemo_action"));
    expectValidExecLines(dataHome() / "nemo/actions/lumaret-000.nemo_action");

    // Dolphin: one executable service menu with the submenu and an action per entry.
    const fs::path dolphin = dataHome() / "kio/servicemenus/lumaret.desktop";
    const std::string service = readText(dolphin);
    for (const std::string& line : {std::string("\nType=Service\n"), std::string("\nMimeType=video/*;audio/*;\n"),
                                    std::string("\nActions=lumaret-000;lumaret-001;lumaret-002;\n"),
                                    std::string("\nX-KDE-Submenu=Lumaret\n"),
                                    "\n[Desktop Action lumaret-000]\nName=" + kQuoted
                                        + "\nIcon=video-x-generic\nExec=" + quotedExec + "\n"})
        EXPECT_NE(service.find(line), std::string::npos) << line;
    EXPECT_EQ(fs::status(dolphin).permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    expectValidDesktopFile(dolphin);

    // PCManFM-Qt: the submenu and one action file per entry.
    const fs::path actions = dataHome() / "file-manager/actions";
    EXPECT_NE(readText(actions / "lumaret.desktop").find("\nType=Menu\nName=Lumaret\n"), std::string::npos);
    EXPECT_NE(readText(actions / "lumaret.desktop").find("\nItemsList=lumaret-000;lumaret-001;lumaret-002;\n"),
              std::string::npos);
    const std::string action = readText(actions / "lumaret-000.desktop");
    EXPECT_NE(action.find("\nType=Action\nName=" + kQuoted + "\n"), std::string::npos);
    EXPECT_NE(action.find("\n[X-Action-Profile media]\nMimeTypes=video/*;audio/*;\nExec=" + quotedExec + "\n"),
              std::string::npos);
    for (const char* name : {"lumaret.desktop", "lumaret-000.desktop", "lumaret-002.desktop"})
        expectValidDesktopFile(actions / name);

    // Thunar: ours merged after the user's action, well-formed XML.
    const fs::path uca = configHome() / "Thunar/uca.xml";
    const std::string thunar = readText(uca);
    EXPECT_EQ(thunar.rfind(kForeignUca.substr(0, kForeignUca.size() - 11), 0), 0u);
    EXPECT_NE(thunar.find("<name>Say \"hi\" &amp; &lt;ok&gt; $(x)</name>\n\t<submenu>Lumaret</submenu>\n"
                          "\t<unique-id>lumaret-shellext-" + idOf(kQuoted) + "</unique-id>\n"
                          "\t<command>" + quotedExec + "</command>"),
              std::string::npos);
    EXPECT_NE(thunar.find("<audio-files/>\n\t<video-files/>\n"), std::string::npos);
    EXPECT_EQ(run({"xmllint", "--noout", uca.string()}, {}, "/").status, 0);

    EXPECT_EQ(helper({"status"}).output, "registered\n" + statusLines("found, entries present"));
    // Registering again changes nothing.
    const auto once = snapshot(home());
    EXPECT_EQ(helper({"register"}).status, 0);
    EXPECT_EQ(snapshot(home()), once);

    const Result unregistered = helper({"unregister"});
    EXPECT_EQ(unregistered.status, 0) << unregistered.output;
    EXPECT_EQ(snapshot(home()), before);
    EXPECT_EQ(helper({"status"}).output, "not registered\n" + statusLines("found, no entries"));
    EXPECT_EQ(helper({"unregister"}).status, 0);
}

TEST_F(ShellExtTest, TwoRegistersAtOnceLeaveWhatOneLeaves)
{
    const std::vector<std::string> argv = {"/usr/bin/env", "-C", dir_.path().string()};
    std::vector<std::string> command = argv;
    const auto env = environment();
    command.insert(command.end(), env.begin(), env.end());
    command.insert(command.end(), {installedHelper().string(), "register"});
    platform::ChildProcess first;
    platform::ChildProcess second;
    ASSERT_TRUE(first.start(command, 0, nullptr));
    ASSERT_TRUE(second.start(command, 0, nullptr));
    for (platform::ChildProcess* child : {&first, &second}) {
        std::string output;
        while (child->read(output) == platform::ChildProcess::ReadStatus::Data) {
        }
        EXPECT_TRUE(child->finish().success()) << output;
    }
    const auto together = snapshot(home());
    EXPECT_EQ(helper({"register"}).status, 0);
    EXPECT_EQ(snapshot(home()), together);
}

TEST_F(ShellExtTest, ARegisterFollowsTheProfilesAndLeavesTheUsersFilesAlone)
{
    ASSERT_EQ(helper({"register"}).status, 0);
    setProfiles({{kQuoted, false}, {"not in menu", true}});
    // A script of the user's where one of our entries would go.
    writeText(nautilusMenu() / "not in menu", "#!/bin/sh\necho the user's own\n");
    const Result result = helper({"register"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("Nautilus: 已有同名的文件, 未改动: " + (nautilusMenu() / "not in menu").string()),
              std::string::npos) << result.output;
    EXPECT_EQ(readText(nautilusMenu() / "not in menu"), "#!/bin/sh\necho the user's own\n");
    EXPECT_FALSE(fs::exists(nautilusMenu() / kQuoted));
    EXPECT_TRUE(fs::exists(configHome() / "caja/scripts/Lumaret/not in menu"));
    EXPECT_EQ(readText(configHome() / "Thunar/uca.xml").find(idOf(kQuoted)), std::string::npos);
    EXPECT_NE(readText(configHome() / "Thunar/uca.xml").find("<name>not in menu</name>"), std::string::npos);

    // Unregister removes ours only; the user's script keeps the submenu folder.
    EXPECT_EQ(helper({"unregister"}).status, 0);
    EXPECT_EQ(readText(nautilusMenu() / "not in menu"), "#!/bin/sh\necho the user's own\n");
    EXPECT_TRUE(fs::exists(dataHome() / "nemo/actions/mine.nemo_action"));
    EXPECT_EQ(readText(configHome() / "Thunar/uca.xml"), kForeignUca);
}

TEST_F(ShellExtTest, ADamagedThunarFileAndAnUnusableFolderAreReportedAndLeftAlone)
{
    const std::string damaged = kForeignUca.substr(0, 200);
    writeText(configHome() / "Thunar/uca.xml", damaged);
    writeText(dataHome() / "kio/servicemenus", "not a folder");
    const Result result = helper({"register"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("Thunar: 无法识别"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Dolphin: "), std::string::npos) << result.output;
    EXPECT_EQ(readText(configHome() / "Thunar/uca.xml"), damaged);
    EXPECT_EQ(readText(dataHome() / "kio/servicemenus"), "not a folder");
    // What could be done was done.
    EXPECT_TRUE(fs::exists(nautilusMenu() / kCjk));
    EXPECT_TRUE(fs::exists(dataHome() / "file-manager/actions/lumaret.desktop"));
}

// A uca.xml kept elsewhere (a dotfiles folder) and linked in stays a link; the file it points to
// keeps its permission bits and, after unregister, its bytes.
TEST_F(ShellExtTest, ALinkedThunarFileStaysALink)
{
    const fs::path kept = dir_ / "dotfiles/uca.xml";
    const fs::path uca = configHome() / "Thunar/uca.xml";
    writeText(kept, kForeignUca);
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(uca);
    fs::create_symlink(kept, uca);
    ASSERT_EQ(helper({"register"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(uca));
    EXPECT_NE(readText(kept).find("<submenu>Lumaret</submenu>"), std::string::npos);
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(helper({"unregister"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(uca));
    EXPECT_EQ(readText(kept), kForeignUca);
}

// Entries go only to the file managers found; one found later gets its entries with the next
// register, and status tells each one's state.
TEST_F(ShellExtTest, OnlyTheFileManagersFoundGetEntries)
{
    for (const char* program : {"nautilus", "caja", "dolphin", "pcmanfm-qt"})
        if (!platform::ChildProcess::findProgram(program).empty())
            GTEST_SKIP() << program << " is installed on this machine";
    for (const fs::path& sign : {dataHome() / "nautilus", configHome() / "caja", dataHome() / "kio",
                                 configHome() / "pcmanfm-qt"})
        fs::remove_all(sign);
    ASSERT_EQ(helper({"register"}).status, 0);
    EXPECT_TRUE(fs::exists(dataHome() / "nemo/actions/lumaret-000.nemo_action"));
    for (const fs::path& absent : {dataHome() / "nautilus", configHome() / "caja", dataHome() / "kio",
                                   dataHome() / "file-manager"})
        EXPECT_FALSE(fs::exists(absent)) << absent;
    EXPECT_EQ(helper({"status"}).output, "registered\nNautilus: not found, no entries\nCaja: not found, no entries\n"
                                         "Nemo: found, entries present\nDolphin: not found, no entries\n"
                                         "PCManFM-Qt: not found, no entries\nThunar: found, entries present\n");

    fs::create_directories(configHome() / "caja");
    EXPECT_NE(helper({"status"}).output.find("\nCaja: found, no entries\n"), std::string::npos);
    ASSERT_EQ(helper({"register"}).status, 0);
    EXPECT_TRUE(fs::exists(configHome() / "caja/scripts/Lumaret" / kCjk));
    EXPECT_NE(helper({"status"}).output.find("\nCaja: found, entries present\n"), std::string::npos);
}

// The options page compares the presence of our entries with its setting and starts the helper
// only on a difference; with no difference nothing is started.
TEST_F(ShellExtTest, TheRegisteredStateIsWhetherOurEntriesExist)
{
    const auto setHome = [](const char* name, const fs::path& value) {
        const char* old = std::getenv(name);
        ::setenv(name, value.c_str(), 1);
        return old ? std::string(old) : std::string();
    };
    const std::string oldData = setHome("XDG_DATA_HOME", dataHome());
    const std::string oldConfig = setHome("XDG_CONFIG_HOME", configHome());
    EXPECT_FALSE(app::ShellRegistration::isRegistered());
    EXPECT_FALSE(app::ShellRegistration::sync(false));
    EXPECT_FALSE(app::ShellRegistration::refresh());
    ASSERT_EQ(helper({"register"}).status, 0);
    EXPECT_TRUE(app::ShellRegistration::isRegistered());
    EXPECT_FALSE(app::ShellRegistration::sync(true));
    // Only Thunar's file holds ours: still registered.
    for (const char* folder : {".local/share/nautilus/scripts/Lumaret", ".config/caja/scripts/Lumaret",
                               ".local/share/kio/servicemenus", ".local/share/file-manager/actions"})
        fs::remove_all(home() / folder);
    for (int i = 0; i < 3; ++i)
        fs::remove(dataHome() / ("nemo/actions/lumaret-00" + std::to_string(i) + ".nemo_action"));
    EXPECT_TRUE(app::ShellRegistration::isRegistered());
    ASSERT_EQ(helper({"unregister"}).status, 0);
    EXPECT_FALSE(app::ShellRegistration::isRegistered());
    for (const auto& [name, old] : {std::pair{"XDG_DATA_HOME", oldData}, std::pair{"XDG_CONFIG_HOME", oldConfig}})
        old.empty() ? ::unsetenv(name) : ::setenv(name, old.c_str(), 1);
}

// The hand-over, with a stand-in for lumaret that reports its arguments through a FIFO once it
// runs (the test blocks on the FIFO until then, no waiting on a clock).
class ShellExtConvertTest : public ShellExtTest {
protected:
    void SetUp() override
    {
        ShellExtTest::SetUp();
        fs::create_directories(clips());
        ASSERT_EQ(::mkfifo(fifo().c_str(), 0600), 0);
        writeText(fake(), "#!/bin/sh\nprintf '%s\\n' \"$*\" > '" + fifo().string() + "'\n");
        fs::permissions(fake(), fs::perms::owner_all);
    }
    fs::path clips() const { return dir_ / "clips"; }
    fs::path fifo() const { return dir_ / "started"; }
    fs::path fake() const { return dir_ / "fake-lumaret"; }

    // The arguments the stand-in was started with; blocks until it has run.
    std::string startedWith() const
    {
        std::ifstream in(fifo());
        std::string line;
        std::getline(in, line);
        return line;
    }
    // The one hand-over waiting in the command folder, taken as lumaret takes it.
    CommandFile::Contents handedOver() const
    {
        std::vector<CommandFile::Contents> waiting = app::CommandFolder::take(commandFolder());
        EXPECT_EQ(waiting.size(), 1u);
        return waiting.empty() ? CommandFile::Contents{} : waiting.front();
    }
    fs::path commandFolder() const { return dataDir() / app::CommandFolder::kFolderName; }

    // Lumaret was started for the hand-over, and the command file names the profile and the files.
    void expectHandedOver(const std::string& selector, const std::vector<std::string>& paths) const
    {
        EXPECT_EQ(startedWith(), "contextmenu");
        const CommandFile::Contents contents = handedOver();
        EXPECT_EQ(contents.selectorUtf8(), selector);
        ASSERT_EQ(contents.paths.size(), paths.size());
        for (std::size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(contents.paths[i].bytes, paths[i]);
    }

    // Names that have broken hand-overs elsewhere.
    std::vector<std::string> hostileNames() const
    {
        return {"it's \"quoted\" $(id) `x`.mp4", "with  spaces.avi", "new\nline.mkv", "-leading-dash.mp4",
                "视频 片段.mp4", std::string(246, 'n') + ".mp4", "bytes-\xff\xfe-\xe9.avi"};
    }
};

TEST_F(ShellExtConvertTest, HostileNamesReachLumaretWholeThroughTheMenus)
{
    const std::vector<std::string> names = hostileNames();
    std::vector<std::string> expected;
    for (const std::string& name : names) {
        writeText(clips() / name, "clip");
        expected.push_back((clips() / name).string());
    }
    ASSERT_EQ(helper({"register"}).status, 0);

    // Straight from a command line, with the names relative to the current folder.
    std::vector<std::string> args = {"convert", kCjk};
    args.insert(args.end(), names.begin(), names.end());
    const Result direct = helper(args, clips(), fake().string());
    ASSERT_EQ(direct.status, 0) << direct.output;
    expectHandedOver(kCjk, expected);

    // Through the Nautilus script, as Nautilus runs it.
    std::vector<std::string> script = {(nautilusMenu() / kQuoted).string()};
    script.insert(script.end(), names.begin(), names.end());
    ASSERT_EQ(run(script, environment(fake().string()), clips()).status, 0);
    expectHandedOver(kQuoted, expected);

    // Through Thunar's command, which Thunar runs with sh -c after putting each path in for %F,
    // quoted as GLib quotes it.
    const std::string uca = readText(configHome() / "Thunar/uca.xml");
    const std::size_t start = uca.find("<command>", uca.find(idOf(kCjk))) + 9;
    std::string command = uca.substr(start, uca.find("</command>", start) - start);
    std::string quoted;
    for (const std::string& path : expected) {
        quoted += " '";
        for (char c : path)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        quoted += "'";
    }
    command.replace(command.find(" %F"), 3, quoted);
    ASSERT_EQ(run({"sh", "-c", command}, environment(fake().string()), "/").status, 0);
    expectHandedOver(kCjk, expected);
}

TEST_F(ShellExtConvertTest, WhatCannotBeConvertedIsNamedAndTheRestStillGoes)
{
    writeText(clips() / "good.mp4", "clip");
    writeText(clips() / "notes.txt", "text");
    fs::create_directory(clips() / "folder.avi");
    const Result result = helper({"convert", "--media-only", "--id=" + idOf("gone profile"), "good.mp4", "missing.avi",
                                  "folder.avi", "notes.txt"},
                                 clips(), fake().string());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(startedWith(), "contextmenu");
    for (const std::string& message :
         {std::string("文件不存在, 已跳过: missing.avi"), "这是文件夹, 已跳过: " + (clips() / "folder.avi").string(),
          "不是视频或音频文件, 已跳过: " + (clips() / "notes.txt").string(), std::string("转换方案 gone profile 不存在")})
        EXPECT_NE(result.output.find(message), std::string::npos) << message << "\n" << result.output;
    // An entry whose profile is gone never converts with another one: the user chooses.
    const CommandFile::Contents contents = handedOver();
    EXPECT_EQ(contents.mode, CommandFile::Mode::Custom);
    ASSERT_EQ(contents.paths.size(), 1u);
    EXPECT_EQ(contents.paths[0].bytes, (clips() / "good.mp4").string());
}

// The script menus pass every selected file; a video without an extension is judged by its content,
// as `lumaret-cli convert` would take it, and a text file without one is still left out.
TEST_F(ShellExtConvertTest, MediaWithoutAnExtensionIsKnownByItsContent)
{
    const std::string mp4 = std::string("\x00\x00\x00\x18", 4) + "ftypisom" + std::string(100, '\x01');
    writeText(clips() / "camera clip", mp4);
    writeText(clips() / "README", "text");
    const Result result = helper({"convert", "--media-only", kCjk, "camera clip", "README"}, clips(), fake().string());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("不是视频或音频文件, 已跳过: " + (clips() / "README").string()), std::string::npos)
        << result.output;
    const CommandFile::Contents contents = handedOver();
    ASSERT_EQ(contents.paths.size(), 1u);
    EXPECT_EQ(contents.paths[0].bytes, (clips() / "camera clip").string());
}

TEST_F(ShellExtConvertTest, NothingToConvertOrNoProgramStartsNothing)
{
    writeText(clips() / "good.mp4", "clip");
    const Result none = helper({"convert", kCjk, "missing.avi"}, clips(), fake().string());
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("没有可以转换的文件"), std::string::npos);
    const Result noProgram = helper({"convert", kCjk, "good.mp4"}, clips(), (dir_ / "no-such-lumaret").string());
    EXPECT_EQ(noProgram.status, 1);
    EXPECT_NE(noProgram.output.find("找不到程序 lumaret"), std::string::npos);
    EXPECT_FALSE(fs::exists(dataDir() / CommandFile::kFileName));
    EXPECT_TRUE(app::CommandFolder::take(commandFolder()).empty());
    EXPECT_EQ(helper({"convert", "--id=zz", "good.mp4"}, clips(), fake().string()).status, 2);
    EXPECT_EQ(helper({"convert"}).status, 2);
}

// Two menu actions a moment apart, both written before either program reads: every file reaches a
// list exactly once, whichever of the two programs takes it.
TEST_F(ShellExtConvertTest, TwoHandOversAMomentApartLoseNoFile)
{
    std::vector<std::string> custom = {"convert", CommandFile::kCustomSelectorUtf8};
    std::vector<std::string> named = {"convert", kCjk};
    std::multiset<std::string> expected;
    for (int i = 0; i < 3; ++i) {
        for (auto* args : {&custom, &named}) {
            const std::string name = (args == &custom ? "custom-" : "named-") + std::to_string(i) + ".mp4";
            writeText(clips() / name, "clip");
            args->push_back(name);
            expected.insert((clips() / name).string());
        }
    }
    const auto command = [&](std::vector<std::string> args) {
        args.insert(args.begin(), installedHelper().string());
        return args;
    };
    // The programs started do nothing: the two that read the command folder come afterwards, so
    // both selections were written before either is read.
    const auto first = start(command(custom), environment("/bin/true"), clips());
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto second = start(command(named), environment("/bin/true"), clips());
    for (platform::ChildProcess* child : {first.get(), second.get()}) {
        const Result result = finish(*child);
        EXPECT_EQ(result.status, 0) << result.output;
    }

    profile::ProfileStore store(dataDir());
    ASSERT_TRUE(store.load());
    std::multiset<std::string> listed;
    for (int program = 0; program < 2; ++program) {
        const app::HandOver::Result result =
            app::HandOver::run({"lumaret", "contextmenu"}, dataDir() / CommandFile::kFileName, store, {});
        for (const app::HandOver::Step& step : result.steps) {
            EXPECT_NE(step.kind, app::HandOver::Step::Kind::Message) << step.text;
            listed.insert(step.kind == app::HandOver::Step::Kind::QueueFile ? step.file.sourcePath : step.text);
        }
    }
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(fs::is_empty(commandFolder()));
}

// The started program runs on its own: the caller is left with no child to collect, and a
// program that cannot be started is reported, not taken as started.
TEST(DetachedLaunchTest, StartsAProgramThatIsNotTheCallersChild)
{
    testsupport::TempDir dir;
    const fs::path fifo = dir / "started";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writeText(dir / "program", "#!/bin/sh\nprintf '%s\\n' \"$*\" > \"$1\"\n");
    fs::permissions(dir / "program", fs::perms::owner_all);
    std::string error;
    ASSERT_TRUE(app::DetachedLaunch::start({(dir / "program").string(), fifo.string(), "a b"}, &error)) << error;
    std::ifstream in(fifo);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, fifo.string() + " a b");
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    EXPECT_FALSE(app::DetachedLaunch::start({(dir / "missing").string()}, &error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    writeText(dir / "not-executable", "#!/bin/sh\n");
    EXPECT_FALSE(app::DetachedLaunch::start({(dir / "not-executable").string()}, &error));
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
}

}  // namespace
