// The add-files page inside the main window, offscreen: the profile tree read again on each show,
// the choice, the file list filled by the choosers, a folder and a drop, accept into the
// conversion list, return with and without files, "add-config" and the command file's custom
// mode. The choosers answer as the test tells them; messages are recorded.
#include "app/SettingsStore.h"
#include "app/page/CLumaretDlg.h"
#include "profile/ProfileFiles.h"
#include "tests/app/page/PageTestSupport.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/profile/ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using app::CLumaretDlg;
using View = app::CLumaretDlg::View;

namespace {

namespace fs = std::filesystem;

class ScriptedChoosers : public app::AddFileChoosers {
public:
    std::vector<std::string> chooseFiles(HWND, const std::string& startFolder) override
    {
        calls.push_back("files");
        starts.push_back(startFolder);
        return files;
    }
    std::string chooseFolder(HWND, const std::string& startFolder) override
    {
        calls.push_back("folder");
        starts.push_back(startFolder);
        return folder;
    }
    std::vector<std::string> files;
    std::string folder;
    std::vector<std::string> calls;
    std::vector<std::string> starts;  // the folder each chooser opened in
};

class AddFilePageTest : public ::testing::Test {
protected:
    AddFilePageTest() : binding(fakeencoder::binding()), window(&services, binding.get())
    {
        EXPECT_TRUE(window.initDialog());
        window.getWindow()->show();
        page.setChoosers(&choosers);
    }
    ~AddFilePageTest() override { page.setChoosers(nullptr); }

    std::string clip(const std::string& name, std::size_t bytes = 1024)
    {
        const fs::path path = env.dir / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        return path.string();
    }
    bool treeShows(const std::string& text)
    {
        const auto texts = page.treeTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    // Leaves the add-files page for another tab and comes back, as the user would.
    void visitOptionsAndBack()
    {
        window.selectTab("option");
        window.selectTab("convert");
    }
    void saveUserProfile(const std::u16string& name)
    {
        window.profilePage.store().tree().insertProfile(profiletest::newRecord(u"自定义", name, 1));
        ASSERT_TRUE(window.profilePage.store().save());
    }

    pagetest::PageEnvironment env;
    pagetest::RecordingServices services;
    std::unique_ptr<convert::EncoderBinding> binding;
    CLumaretDlg window;
    app::CAddFileDialog& page = window.addFilePage;
    ScriptedChoosers choosers;
};

}  // namespace

TEST_F(AddFilePageTest, ShowingThePageReadsTheProfilesAndChoosesTheDefault)
{
    EXPECT_TRUE(page.treeTexts().empty()) << "the tree exists only while the page is shown";
    window.enterAddMode();
    const std::string defaultName = window.profilePage.defaultProfileName();
    ASSERT_FALSE(defaultName.empty());
    EXPECT_TRUE(treeShows(defaultName));
    EXPECT_GT(page.treeTexts().size(), 100u) << "the built-in catalogue with its categories";
    EXPECT_EQ(page.chosenProfileName(), defaultName);
    EXPECT_EQ(page.selectedTreeText(), defaultName);
    EXPECT_EQ(page.outputFolderText(), window.options().outputFolder);

    // Hidden, the tree is gone; the choice and the list stay.
    page.addFile(clip("a.mp4"));
    window.selectTab("option");
    EXPECT_TRUE(page.treeTexts().empty());
    window.selectTab("convert");
    EXPECT_EQ(page.files().size(), 1u);
    EXPECT_EQ(page.list().getRowCount(), 1);
}

TEST_F(AddFilePageTest, ProfilesSavedMeanwhileShowUpAndADamagedFileKeepsTheLastTree)
{
    window.enterAddMode();
    EXPECT_FALSE(treeShows("我的方案"));
    saveUserProfile(u"我的方案");
    visitOptionsAndBack();
    EXPECT_TRUE(treeShows("我的方案"));

    // The chosen profile survives the re-read.
    ASSERT_TRUE(page.clickProfile("我的方案"));
    EXPECT_EQ(page.chosenProfileName(), "我的方案");
    visitOptionsAndBack();
    EXPECT_EQ(page.chosenProfileName(), "我的方案");
    EXPECT_EQ(page.selectedTreeText(), "我的方案");

    // Another program leaves user_profile.dat cut in the middle of a record.
    const fs::path user = profile::ProfileFiles(env.dir / "data").userFile();
    fs::resize_file(user, fs::file_size(user) - 10);
    const auto before = page.treeTexts();
    visitOptionsAndBack();
    EXPECT_EQ(page.treeTexts(), before);
    EXPECT_EQ(page.chosenProfileName(), "我的方案");
}

TEST_F(AddFilePageTest, ClickingACategoryChangesNothing)
{
    window.enterAddMode();
    const std::string chosen = page.chosenProfileName();
    const profile::ProfileRecord* record = window.profilePage.findProfileByName(chosen);
    ASSERT_NE(record, nullptr);
    const std::string category = profile::categoryNameOf(*record);
    ASSERT_TRUE(page.clickProfile(category));
    EXPECT_EQ(page.chosenProfileName(), chosen);
}

TEST_F(AddFilePageTest, AddFileTakesEveryChosenFileAndTellsTheOnesThatCannotBeOpened)
{
    window.enterAddMode();
    const std::string a = clip("a.mp4", 3 * 1024 * 1024);
    const std::string gone = (env.dir / "gone.mp4").string();
    choosers.files = {a, gone, a};
    page.clickButton("add-file");
    EXPECT_EQ(choosers.calls, (std::vector<std::string>{"files"}));
    ASSERT_EQ(page.files().size(), 2u) << "the same file twice, both rows stay";
    EXPECT_EQ(page.list().getRowCount(), 2);
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_EQ(env.presenter->messages[0].text, "添加文件 " + gone + " 失败!");
    EXPECT_EQ(env.presenter->messages[0].flags, platform::MessageError);

    // The source column's tooltip is the whole path.
    RECT cell{};
    ASSERT_TRUE(page.list().getCellRect(1, 0, cell));
    std::string tip;
    EXPECT_TRUE(page.list().tooltipAt(POINT{cell.left + 5, cell.top + 5}, tip));
    EXPECT_EQ(tip, a);

    // Cancel adds nothing; "del" removes the selected row only.
    choosers.files.clear();
    page.clickButton("add-file");
    EXPECT_EQ(page.files().size(), 2u);
    page.list().selectRow(0);
    window.deleteAction();
    EXPECT_EQ(page.files().size(), 1u);
    EXPECT_EQ(page.list().getRowCount(), 1);
    window.deleteAction();
    EXPECT_EQ(page.files().size(), 1u) << "no row selected any more";
}

TEST_F(AddFilePageTest, AddFolderTakesTheFolderFilesAndBrowseSetsTheOutputFolder)
{
    window.enterAddMode();
    clip("clips/one.avi", 100);
    clip("clips/two.mkv", 200);
    clip("clips/inner/three.mp4", 300);
    choosers.folder = (env.dir / "clips").string();
    page.clickButton("add-folder");
    ASSERT_EQ(page.files().size(), 2u);
    EXPECT_EQ(page.list().getRowCount(), 2);
    EXPECT_TRUE(env.presenter->messages.empty());

    choosers.folder = "/srv/converted";
    page.clickButton("add-browse");
    EXPECT_EQ(page.outputFolderText(), "/srv/converted");
    EXPECT_EQ(page.files().size(), 2u);
}

TEST_F(AddFilePageTest, ChoosersOpenInTheLastFolderUsedElseAtHome)
{
    const fs::path home = env.dir / "home";
    fs::create_directories(home);
    testsupport::ScopedEnvironment homeFolder({{"HOME", home.string()}});
    window.enterAddMode();
    const std::string clips = (env.dir / "clips").string();
    const std::string other = (env.dir / "other").string();
    clip("other/b.mp4");

    choosers.files = {clip("clips/a.mp4")};
    page.clickButton("add-file");
    choosers.files.clear();
    page.clickButton("add-file");  // cancelled: remembers nothing
    choosers.folder = other;
    page.clickButton("add-folder");
    page.clickButton("add-file");
    EXPECT_EQ(choosers.starts, (std::vector<std::string>{home.string(), clips, clips, other}));
    // The next run opens there too.
    EXPECT_EQ(app::SettingsStore().loadBrowse().lastFolder, other);

    // The output folder's chooser opens where its field points, at home when that is no folder.
    page.setOutputFolderText(clips);
    page.clickButton("add-browse");
    page.setOutputFolderText((env.dir / "not-yet").string());
    page.clickButton("add-browse");
    EXPECT_EQ(choosers.starts.at(4), clips);
    EXPECT_EQ(choosers.starts.at(5), home.string());
}

TEST_F(AddFilePageTest, DroppedFilesAreAddedAndADroppedFolderIsTold)
{
    window.enterAddMode();
    const std::string a = clip("a.mp4");
    std::vector<std::string> dropped{a, (env.dir / "clips").string()};
    fs::create_directories(env.dir / "clips");
    EXPECT_TRUE(page.onMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&dropped), 0));
    ASSERT_TRUE(pagetest::pumpUntil([&] { return !env.presenter->messages.empty(); }));
    EXPECT_EQ(page.files().size(), 1u);
    EXPECT_EQ(page.files().entries()[0].path, a);
    EXPECT_EQ(env.presenter->messages[0].text, "添加文件 " + (env.dir / "clips").string() + " 失败!");
    EXPECT_EQ(window.convertPage.rowCount(), 0);
}

TEST_F(AddFilePageTest, AcceptMovesEveryFileIntoTheConversionListWithOneProfileAndFolder)
{
    app::OptionSettings options = window.options();
    options.appendProfileName = 1;
    window.applySettings(options);
    saveUserProfile(u"第一");
    saveUserProfile(u"第二");
    window.enterAddMode();
    ASSERT_TRUE(page.clickProfile("第一"));
    page.addFile(clip("a.mp4", 10));
    ASSERT_TRUE(page.clickProfile("第二"));
    page.addFile(clip("b.mp4", 20));
    // Typed into the edit, never browsed.
    page.setOutputFolderText((env.dir / "out").string());

    window.acceptAction();
    EXPECT_FALSE(window.isAddMode());
    EXPECT_EQ(window.currentView(), View::Conversion);
    ASSERT_EQ(window.convertPage.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const convert::convertFile* job = window.convertPage.list().jobAt(row);
        EXPECT_EQ(profile::profileNameOf(job->getProfile()), "第二");
        EXPECT_EQ(job->getTargetFolder(), (env.dir / "out").string());
        EXPECT_TRUE(job->appendsProfileName());
    }
    EXPECT_EQ(window.convertPage.list().jobAt(1)->getSourceSize(), 20u);
    EXPECT_TRUE(page.files().empty());
    EXPECT_EQ(page.list().getRowCount(), 0);
    EXPECT_EQ(window.profilePage.store().lastProfileName(), u"第二");
    EXPECT_TRUE(env.presenter->messages.empty());
}

TEST_F(AddFilePageTest, AcceptWithAnEmptyListIsRefusedAndAddModeStays)
{
    window.enterAddMode();
    window.acceptAction();
    EXPECT_TRUE(window.isAddMode());
    EXPECT_EQ(window.currentView(), View::AddMode);
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_EQ(env.presenter->messages[0].text, "请添加您要转换的文件到列表中...");
    EXPECT_EQ(env.presenter->messages[0].flags, platform::MessageError);
}

TEST_F(AddFilePageTest, ReturnAsksOnlyWithFilesAndNoStaysOnThePage)
{
    window.enterAddMode();
    window.returnAction();
    EXPECT_EQ(window.currentView(), View::Conversion);
    EXPECT_TRUE(env.presenter->messages.empty());

    window.enterAddMode();
    page.addFile(clip("a.mp4"));
    env.presenter->answer = platform::kAnswerNo;
    window.returnAction();
    EXPECT_EQ(window.currentView(), View::AddMode);
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_EQ(env.presenter->messages[0].text, "您是否确定不对当前所添加的文件进行格式转换?");
    EXPECT_EQ(page.files().size(), 1u);

    env.presenter->answer = platform::kAnswerYes;
    window.returnAction();
    EXPECT_EQ(window.currentView(), View::Conversion);
    EXPECT_TRUE(page.files().empty());
    EXPECT_EQ(page.list().getRowCount(), 0);
    EXPECT_EQ(window.convertPage.rowCount(), 0);
}

TEST_F(AddFilePageTest, AddConfigShowsTheChosenProfileInTheEditor)
{
    saveUserProfile(u"我的方案");
    window.enterAddMode();
    ASSERT_TRUE(page.clickProfile("我的方案"));
    page.clickButton("add-config");
    ASSERT_TRUE(pagetest::pumpUntil([&] { return window.currentTabName() == "profile"; }));
    EXPECT_EQ(window.currentView(), View::Profile);
    std::string shown;
    profile::ProfileRecord record{};
    ASSERT_TRUE(window.profilePage.currentProfile(shown, record));
    EXPECT_EQ(shown, "我的方案");
    EXPECT_TRUE(window.isAddMode()) << "the add-files page waits under the convert tab";
}

TEST_F(AddFilePageTest, ASavedProfileReachesTheChoice)
{
    saveUserProfile(u"我的方案");
    window.enterAddMode();
    ASSERT_TRUE(page.clickProfile("我的方案"));
    profile::ProfileRecord edited = profiletest::makeRecord(u"自定义", u"我的方案", 1, 30);
    page.profileSaved("我的方案", edited);
    EXPECT_EQ(page.chosenProfile().conversionType, 30);
}

TEST_F(AddFilePageTest, TheCustomHandOverListsItsPathsOnThePageAndAddsNothingElsewhere)
{
    const std::string a = clip("a.mp4");
    const std::string b = clip("b.mp4");
    const std::string gone = (env.dir / "gone.mp4").string();
    fs::create_directories(env.dir / "data");
    std::ofstream(env.dir / "data" / "cmdline.txt", std::ios::binary)
        << app::CommandFile::encode(app::CommandFile::kCustomSelector, {a, gone, b});
    window.processCommandLine({"lumaret", "contextmenu"});
    EXPECT_EQ(window.currentView(), View::AddMode);
    ASSERT_EQ(page.files().size(), 2u);
    EXPECT_EQ(page.files().entries()[0].path, a);
    EXPECT_EQ(page.files().entries()[1].path, b);
    EXPECT_EQ(page.list().getRowCount(), 2);
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_EQ(env.presenter->messages[0].text, "添加文件 " + gone + " 失败!");
    EXPECT_EQ(window.convertPage.rowCount(), 0);
    EXPECT_EQ(window.getStatusText(), CLumaretDlg::kAddModeStatus);

    window.acceptAction();
    EXPECT_EQ(window.convertPage.rowCount(), 2);
    EXPECT_EQ(profile::profileNameOf(window.convertPage.list().jobAt(0)->getProfile()),
              window.profilePage.defaultProfileName());
}
