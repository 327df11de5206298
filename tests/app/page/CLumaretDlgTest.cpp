// The main window: its four views, the tabs, add mode, the status and bottom lines, and the exit
// procedure with its question; offscreen, with the test's own data and settings folders.
#include "app/page/CLumaretDlg.h"
#include "kxlib/ui/KXSkinColors.h"
#include "profile/ProfileProperties.h"
#include "platform/core/IniFile.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/QtBridge.h"
#include "kxlib/ui/KXDraw.h"
#include "platform/gui/TerminationSignals.h"
#include "convert/JobState.h"
#include "convert/QueueJournal.h"
#include "convert/QueueRecovery.h"
#include "tests/app/page/PageTestSupport.h"
#include "tests/support/Screenshot.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <csignal>
#include <iterator>
#include <sys/stat.h>

using app::CLumaretDlg;
using View = app::CLumaretDlg::View;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : binding(fakeencoder::binding()), window(&services, binding.get())
    {
        EXPECT_TRUE(window.initDialog());
        window.getWindow()->show();
    }

    bool shown(const char* name) { return window.findControl(name)->isVisible(); }
    int leftOffset(const char* name) { return CLumaretDlg::kClientWidth - window.findControl(name)->getRect()->left; }

    // A source the fake encoder converts slowly enough to be caught converting: the probe finds a
    // short clip, the conversion hangs until it is stopped.
    std::string hangingSource()
    {
        return fakeencoder::writeScript(env.dir / "clip.mp4",
                                        "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") +
                                            "\nstatus 0.5\nhang\n");
    }

    // A custom-mode hand-over of one file: the file is on the add-files page and nowhere else.
    void expectOnlyOnTheAddFilesPage(const std::string& file)
    {
        EXPECT_EQ(window.currentView(), View::AddMode);
        ASSERT_EQ(window.addFilePage.files().size(), 1u);
        EXPECT_EQ(window.addFilePage.files().entries()[0].path, file);
        EXPECT_EQ(window.convertPage.rowCount(), 0);
        EXPECT_TRUE(env.presenter->messages.empty());
    }

    pagetest::PageEnvironment env;
    pagetest::RecordingServices services;
    std::unique_ptr<convert::EncoderBinding> binding;
    CLumaretDlg window;
};

}  // namespace

TEST_F(MainWindowTest, EachViewShowsItsPageStatusAndToolbar)
{
    struct Expected {
        View view;
        const char* status;
        bool add, del, accept, ret;
        int acceptAt, returnAt;
    };
    const auto check = [&](const Expected& e, const app::CPageDialog& page) {
        EXPECT_EQ(window.currentView(), e.view);
        EXPECT_EQ(window.getStatusText(), e.status);
        EXPECT_EQ(shown("add"), e.add);
        EXPECT_EQ(shown("del"), e.del);
        EXPECT_EQ(shown("accept"), e.accept);
        EXPECT_EQ(shown("return"), e.ret);
        if (e.accept) {
            EXPECT_EQ(leftOffset("accept"), e.acceptAt);
            EXPECT_EQ(leftOffset("return"), e.returnAt);
        }
        EXPECT_TRUE(page.isVisible());
        int visiblePages = 0;
        for (const app::CPageDialog* p : {static_cast<app::CPageDialog*>(&window.convertPage),
                                          static_cast<app::CPageDialog*>(&window.addFilePage),
                                          static_cast<app::CPageDialog*>(&window.profilePage),
                                          static_cast<app::CPageDialog*>(&window.optionPage)})
            visiblePages += p->isVisible() ? 1 : 0;
        EXPECT_EQ(visiblePages, 1);
    };
    check({View::Conversion, CLumaretDlg::kConvertStatus, true, true, false, false, 0, 0}, window.convertPage);
    EXPECT_EQ(leftOffset("add"), 57);
    EXPECT_EQ(leftOffset("del"), 33);

    window.enterAddMode();
    check({View::AddMode, CLumaretDlg::kAddModeStatus, false, true, true, true, 81, 57}, window.addFilePage);
    window.selectTab("profile");
    check({View::Profile, CLumaretDlg::kProfileStatus, true, true, true, true, 105, 81}, window.profilePage);
    window.selectTab("option");
    check({View::Options, CLumaretDlg::kOptionStatus, false, false, true, true, 57, 33}, window.optionPage);
    EXPECT_EQ(window.currentTabName(), "option");
}

TEST_F(MainWindowTest, ClickingTheCurrentTabChangesNothing)
{
    window.selectTab("profile");
    const int builds = window.viewBuildCount();
    window.selectTab("profile");
    EXPECT_EQ(window.viewBuildCount(), builds);
    EXPECT_EQ(window.currentView(), View::Profile);
    // Only the current tab is checked.
    auto tab = [&](const char* name) { return window.findControl(name).dynamicCast<KXLib::KXButtonEx>()->isChecked(); };
    EXPECT_TRUE(tab("profile"));
    EXPECT_FALSE(tab("convert"));
    EXPECT_FALSE(tab("option"));
}

TEST_F(MainWindowTest, AddModeSurvivesAVisitToAnotherTabAndReturnLeavesIt)
{
    window.enterAddMode();
    window.selectTab("option");
    window.selectTab("convert");
    EXPECT_TRUE(window.isAddMode());
    EXPECT_EQ(window.currentView(), View::AddMode);
    EXPECT_TRUE(window.addFilePage.isVisible());

    // "add" on the options tab does nothing; on the conversion tab in add mode it stays there.
    window.selectTab("option");
    window.enterAddMode();
    EXPECT_EQ(window.currentView(), View::Options);

    window.selectTab("convert");
    window.returnAction();
    EXPECT_FALSE(window.isAddMode());
    EXPECT_EQ(window.currentView(), View::Conversion);
}

TEST_F(MainWindowTest, BottomLinesOfAnEmptyListNameTheDefaultProfile)
{
    const std::string defaultName = window.profilePage.defaultProfileName();
    ASSERT_FALSE(defaultName.empty());
    EXPECT_EQ(window.profileLine(), "当前转换方案: " + defaultName);
    EXPECT_EQ(window.countLine(), "共有 0 个文件,已经完成 0 个文件");
    EXPECT_EQ(window.statusLine(), CLumaretDlg::kConvertStatus);
}

TEST_F(MainWindowTest, ANewDefaultSavedOnTheProfilePageShowsOnTheBottomLineAtOnce)
{
    const std::string oldDefault = window.profilePage.defaultProfileName();
    ASSERT_TRUE(pagetest::pumpUntil([&] { return window.paintedProfileLine() == "当前转换方案: " + oldDefault; }));

    // Another profile made the default and saved, without leaving the profile tab (whose own
    // repaint of the whole window is over before the save).
    window.selectTab("profile");
    QCoreApplication::processEvents();
    profile::ProfileEditor& editor = window.profilePage.editor();
    const profile::ProfileNode* oldNode = editor.defaultOrFirst();
    for (const auto& sibling : oldNode->parent()->children())
        if (sibling->isProfile() && sibling.get() != oldNode) {
            editor.clickNode(sibling.get());
            break;
        }
    const std::string newDefault = editor.currentNode()->textUtf8();
    ASSERT_NE(newDefault, oldDefault);
    ASSERT_TRUE(editor.commitChoice(profile::ProfileProperties::Row::Default, 1));
    ASSERT_TRUE(editor.acceptProfile());
    ASSERT_EQ(window.profilePage.defaultProfileName(), newDefault);
    EXPECT_EQ(window.currentTabName(), "profile");
    EXPECT_TRUE(pagetest::pumpUntil([&] { return window.paintedProfileLine() == "当前转换方案: " + newDefault; }));
}

TEST_F(MainWindowTest, AThousandRowsCountShowsWholeAndTheProfileLineEndsBeforeIt)
{
    const platform::Font& font = KXLib::sharedFont();
    const auto paint = [&] {
        platform::DeviceContext dc(window.getWindow()->clientRect());
        window.onPaint(dc);
        return platform::DeviceContext::measureText(window.countLine(), font).cx;
    };
    const int emptyWidth = paint();
    constexpr int right = CLumaretDlg::kClientWidth;
    EXPECT_EQ(window.paintedCountLeft(), std::min(right - 200, right - 4 - emptyWidth));

    std::vector<convert::JournalRow> rows(1200);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].sourcePath = (env.dir / ("clip" + std::to_string(i) + ".mp4")).string();
        rows[i].sourceSize = 1024;
        rows[i].profile = *window.profilePage.defaultProfile();
        rows[i].state = i < 1000 ? convert::JobState::Done : convert::JobState::Waiting;
    }
    window.convertPage.restoreRows(rows);
    ASSERT_EQ(window.countLine(), "共有 1200 个文件,已经完成 1000 个文件");
    const int width = paint();
    ASSERT_GT(width, emptyWidth);
    EXPECT_EQ(window.paintedCountLeft() + width, right - 4) << "the whole count, to the edge";
    EXPECT_LE(window.paintedCountLeft(), right - 200);
    EXPECT_GE(window.paintedCountLeft(),
              8 + platform::DeviceContext::measureText(CLumaretDlg::kProfileLabel, font).cx + 4)
        << "the profile line keeps its label";
    pagetest::pumpUntil([&] { return !window.paintedProfileLine().empty(); });
    testsupport::saveScreenshot(platform::widgetOf(*window.getWindow()), "main-window-1200-rows");
}

TEST_F(MainWindowTest, WhileConvertingTheStatusLineTellsSoAndAddIsRefused)
{
    window.convertPage.addFile(hangingSource(), nullptr);
    window.convertPage.startOrStop();
    ASSERT_TRUE(window.convertPage.isConverting());
    EXPECT_EQ(window.statusLine(), CLumaretDlg::kConvertingStatus);
    EXPECT_EQ(window.countLine(), "共有 1 个文件,已经完成 0 个文件");
    EXPECT_EQ(window.profileLine(), "当前转换方案: " + window.profilePage.defaultProfileName());

    window.convertPage.onMenuCommand(convert::CConvertDialog::kMenuShutdown);
    EXPECT_EQ(window.statusLine(), CLumaretDlg::kConvertingShutdownStatus);
    window.convertPage.onMenuCommand(convert::CConvertDialog::kMenuShutdown);

    // The status line of another tab is that tab's own.
    window.selectTab("profile");
    EXPECT_EQ(window.statusLine(), CLumaretDlg::kProfileStatus);
    window.selectTab("convert");

    window.enterAddMode();
    EXPECT_EQ(window.currentView(), View::Conversion);
    ASSERT_FALSE(env.presenter->messages.empty());
    EXPECT_EQ(env.presenter->messages.back().text, CLumaretDlg::kAddWhileConverting);
    EXPECT_EQ(env.presenter->messages.back().flags, platform::MessageInfo);
    window.convertPage.stopAll();
    window.convertPage.list().selectRow(0);
    testsupport::saveScreenshot(platform::widgetOf(*window.getWindow()), "main-window-stopped-row");
}

TEST_F(MainWindowTest, ExitWhileConvertingAsksAndNoKeepsEverythingRunning)
{
    window.convertPage.addFile(hangingSource(), nullptr);
    window.convertPage.startOrStop();
    ASSERT_TRUE(window.convertPage.isConverting());
    convert::convertFile* job = window.convertPage.findConvertingJob();
    ASSERT_NE(job, nullptr);

    env.presenter->answer = platform::kAnswerNo;
    EXPECT_FALSE(window.exitProcedure());
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_EQ(env.presenter->messages[0].text, CLumaretDlg::kExitQuestion);
    EXPECT_EQ(env.presenter->messages[0].flags, platform::MessageQuestion | platform::MessageYesNo);
    EXPECT_TRUE(window.convertPage.isConverting());
    EXPECT_EQ(job->getState(), convert::JobState::Converting);

    env.presenter->answer = platform::kAnswerYes;
    EXPECT_TRUE(window.exitProcedure());
    EXPECT_FALSE(window.convertPage.isConverting());
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
}

// Two files at once: the status line names the count, "否" to the stop and to the exit question
// keeps both encoders running, "是" stops both and the machine is no longer kept awake.
TEST_F(MainWindowTest, TwoFilesAtOnceShareTheStatusLineTheStopAndTheExitQuestion)
{
    if (convert::ConversionQueue::processorCount() < 2)
        GTEST_SKIP() << "one processor: a second file at once is never offered";
    app::OptionSettings options = window.options();
    options.filesAtOnce = 2;
    ASSERT_TRUE(window.optionPage.applySettings(options));
    const std::string script = "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") + "\nstatus 0.5\nhang\n";
    for (const char* name : {"one.mp4", "two.mp4", "three.mp4"})
        window.convertPage.addFile(fakeencoder::writeScript(env.dir / name, script), nullptr);
    window.convertPage.startOrStop();
    ASSERT_TRUE(window.convertPage.isConverting());
    const std::vector<convert::convertFile*> running = window.convertPage.queue().convertingJobs();
    ASSERT_EQ(running.size(), 2u);
    EXPECT_EQ(window.convertPage.queue().maxConverting(), 2);
    EXPECT_EQ(window.statusLine(), "正在同时转换 2 个文件,请稍候...");
    EXPECT_EQ(window.convertPage.list().jobAt(2)->getState(), convert::JobState::Waiting);

    env.presenter->answer = platform::kAnswerNo;
    window.convertPage.startOrStop();
    EXPECT_FALSE(window.exitProcedure());
    ASSERT_EQ(env.presenter->messages.size(), 2u);  // each asked once
    EXPECT_EQ(env.presenter->messages[0].text, convert::CConvertDialog::kStopQuestion);
    EXPECT_EQ(env.presenter->messages[1].text, CLumaretDlg::kExitQuestion);
    for (convert::convertFile* job : running)
        EXPECT_EQ(job->getState(), convert::JobState::Converting);
    EXPECT_TRUE(window.convertPage.isConverting());

    env.presenter->answer = platform::kAnswerYes;
    window.convertPage.startOrStop();
    EXPECT_EQ(env.presenter->messages.size(), 3u);
    EXPECT_FALSE(window.convertPage.isConverting());
    for (convert::convertFile* job : running)
        EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    ASSERT_FALSE(services.awake.empty());
    EXPECT_FALSE(services.awake.back());
    EXPECT_EQ(window.statusLine(), CLumaretDlg::kConvertStatus);
}

TEST_F(MainWindowTest, ExitWhenIdleAsksNothing)
{
    EXPECT_TRUE(window.exitProcedure());
    EXPECT_TRUE(env.presenter->messages.empty());
}

TEST_F(MainWindowTest, ShutdownToggleIsSavedThroughTheOptionsPage)
{
    ASSERT_FALSE(window.options().shutdownWhenDone);
    auto items = window.convertPage.cpuMenuItems();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_FALSE(items.back().checked);
    window.convertPage.onMenuCommand(convert::CConvertDialog::kMenuShutdown);
    EXPECT_TRUE(window.options().shutdownWhenDone);
    EXPECT_TRUE(app::SettingsStore().loadOptions().shutdownWhenDone);
    EXPECT_TRUE(window.convertPage.cpuMenuItems().back().checked);
}

namespace {

std::string commandRecord(const std::u16string& text)
{
    std::string bytes;
    const auto n = static_cast<uint32_t>(text.size() * 2);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

void writeCommandFile(const std::filesystem::path& dataDir, const std::string& bytes)
{
    std::filesystem::create_directories(dataDir);
    std::ofstream(dataDir / "cmdline.txt", std::ios::binary) << bytes;
}

std::u16string u16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

TEST_F(MainWindowTest, CommandFileWithAProfileNameAddsAndStartsWhenTheOptionsSaySo)
{
    app::OptionSettings options = window.options();
    options.autoConvertOnAdd = 1;
    window.applySettings(options);
    const std::string clip = fakeencoder::writeScript(
        env.dir / "clip.mp4", "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") +
                                  "\nstatuses 0 2 0.5\nwrite-output\nexit 0\n");
    writeCommandFile(env.dir / "data", commandRecord(u"no such profile") + commandRecord(u16(clip)) +
                                           commandRecord(u16((env.dir / "gone.mp4").string())));
    window.processCommandLine({"lumaret", "contextmenu"});
    ASSERT_EQ(env.presenter->messages.size(), 2u);
    EXPECT_EQ(env.presenter->messages[0].text, "no such profile 转换方案不存在,使用系统默认的转换方案!");
    EXPECT_EQ(env.presenter->messages[1].text, "读取文件 " + (env.dir / "gone.mp4").string() + " 失败!");
    ASSERT_EQ(window.convertPage.rowCount(), 1);
    EXPECT_EQ(profile::profileNameOf(window.convertPage.list().jobAt(0)->getProfile()),
              window.profilePage.defaultProfileName());
    EXPECT_TRUE(window.convertPage.isConverting());
    ASSERT_TRUE(pagetest::pumpUntil([&] { return !window.convertPage.isConverting(); }));
    EXPECT_EQ(window.convertPage.list().jobAt(0)->getState(), convert::JobState::Done);

    // Read once per process.
    window.processCommandLine({"lumaret", "contextmenu"});
    EXPECT_EQ(window.convertPage.rowCount(), 1);
}

// A command file naming thousands of missing files opens one box.
TEST_F(MainWindowTest, ACommandFileOfManyMissingFilesOpensOneBox)
{
    std::string records;
    for (int i = 0; i < 2000; ++i)
        records += commandRecord(u16((env.dir / ("gone" + std::to_string(i) + ".mp4")).string()));
    const std::u16string selector = profile::toUtf16(window.profilePage.defaultProfileName());
    writeCommandFile(env.dir / "data", commandRecord(selector) + records);
    window.processCommandLine({"lumaret", "contextmenu"});
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_NE(env.presenter->messages[0].text.find("另有 1995 个文件无法读取。"), std::string::npos);
}

TEST_F(MainWindowTest, CommandFileInCustomModeEntersAddModeAndWrongArgumentsAreTold)
{
    const std::string a = hangingSource();
    writeCommandFile(env.dir / "data", commandRecord(u"自定义转换") + commandRecord(u16(a)));
    window.processCommandLine({"/opt/contextmenu/lumaret", "x"});
    expectOnlyOnTheAddFilesPage(a);

    CLumaretDlg second(&services, binding.get());
    ASSERT_TRUE(second.initDialog());
    second.processCommandLine({"lumaret", "--other"});
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_EQ(env.presenter->messages[0].text, "错误的启动参数...");
    CLumaretDlg third(&services, binding.get());
    ASSERT_TRUE(third.initDialog());
    third.processCommandLine({"lumaret"});
    EXPECT_EQ(env.presenter->messages.size(), 1u);
}

// What the applications menu runs: `lumaret --open FILE...` puts the files on the add-files page
// (a command file left behind by the menus is not read), and `lumaret --open` is a plain start.
TEST_F(MainWindowTest, OpenWithFilesEntersAddModeWithThoseFiles)
{
    const std::string a = hangingSource();
    writeCommandFile(env.dir / "data", commandRecord(u"自定义转换") + commandRecord(u"/left/behind.mp4"));
    window.processCommandLine({"lumaret", "--open", a});
    expectOnlyOnTheAddFilesPage(a);

    CLumaretDlg second(&services, binding.get());
    ASSERT_TRUE(second.initDialog());
    second.processCommandLine({"lumaret", "--open"});
    EXPECT_NE(second.currentView(), View::AddMode);
    EXPECT_EQ(second.addFilePage.files().size(), 0u);
    EXPECT_TRUE(env.presenter->messages.empty());
}

// In custom mode the files wait on the add-files page, so the automatic start neither runs nor
// tells the user that the conversion list is empty.
TEST_F(MainWindowTest, CommandFileInCustomModeNeverStartsTheConversionNorAsks)
{
    app::OptionSettings options = window.options();
    options.autoConvertOnAdd = 1;
    window.applySettings(options);
    const std::string a = hangingSource();
    writeCommandFile(env.dir / "data", commandRecord(u"自定义转换") + commandRecord(u16(a)));
    window.processCommandLine({"/opt/contextmenu/lumaret", "x"});
    EXPECT_EQ(window.currentView(), View::AddMode);
    EXPECT_EQ(window.addFilePage.files().size(), 1u);
    EXPECT_FALSE(window.convertPage.isConverting());
    EXPECT_TRUE(env.presenter->messages.empty());
}

TEST_F(MainWindowTest, SkinChangesRecolourTheWindowAndEveryDialog)
{
    window.skinColorPopup.currentSkin = "skin3";
    window.onMessage(WM_SKIN_CHANGED, 1, 0);
    const auto& preset = KXLib::CSkinColor::presets()[3];
    EXPECT_EQ(window.skinLightColor, preset.first);
    EXPECT_EQ(window.skinDarkColor, preset.second);
    EXPECT_EQ(KXLib::KXSkinColors::light(), preset.first);

    window.skinColorPopup.hue = 60;
    window.onMessage(WM_SKIN_CHANGED, 1, 0);
    EXPECT_NE(window.skinLightColor, preset.first);
    EXPECT_EQ(KXLib::KXSkinColors::dark(), window.skinDarkColor);

    // The window paints its left band in the new colours.
    const auto bandPixel = [&] {
        platform::DeviceContext dc(window.getWindow()->clientRect());
        window.onPaint(dc);
        return dc.pixel(2, 300);
    };
    const uint32_t adjusted = bandPixel();
    window.skinColorPopup.hue = KXLib::CSkinColor::kNeutralHue;
    window.onMessage(WM_SKIN_CHANGED, 1, 0);
    EXPECT_EQ(window.skinLightColor, preset.first);
    EXPECT_NE(bandPixel(), adjusted);
}

TEST(MainWindowStartTest, TheWindowStartsInTheAdjustedColoursThePopupShows)
{
    pagetest::PageEnvironment env;
    std::filesystem::create_directories(env.dir.path() / "config");
    platform::IniFile ini(env.dir.path() / "config" / "Lumaret.ini");
    ini.writeString("skin_color", "skin", "skin3");
    ini.writeString("hue", "skin", "60");
    ini.writeString("saturation", "skin", "150");
    ini.writeString("luminosity", "skin", "90");
    pagetest::RecordingServices services;
    const std::unique_ptr<convert::EncoderBinding> binding = fakeencoder::binding();
    CLumaretDlg window(&services, binding.get());
    ASSERT_TRUE(window.initDialog());

    // The same pair a change in the pop-up computes.
    const COLORREF startLight = window.skinLightColor;
    const COLORREF startDark = window.skinDarkColor;
    EXPECT_NE(startLight, KXLib::CSkinColor::presets()[3].first);
    window.onMessage(WM_SKIN_CHANGED, 1, 0);
    EXPECT_EQ(window.skinLightColor, startLight);
    EXPECT_EQ(window.skinDarkColor, startDark);
    EXPECT_EQ(KXLib::KXSkinColors::light(), startLight);
    EXPECT_EQ(KXLib::KXSkinColors::dark(), startDark);

    window.getWindow()->show();
    window.onControlEvent(window.findControl("color"), WM_LBUTTONUP, 0, 0);
    ASSERT_TRUE(window.skinColorPopup.isOpen());
    testsupport::saveScreenshot(platform::widgetOf(*window.getWindow()), "main-window-skin-at-start");
    testsupport::saveScreenshot(platform::widgetOf(*window.skinColorPopup.getWindow()), "skin-popup-at-start");
}

TEST_F(MainWindowTest, TheEmptyListDrawsTheLogoAndARowHidesIt)
{
    const RECT listRect = *window.convertPage.list().getRect();
    const auto logoPixel = [&] {
        platform::DeviceContext dc(listRect);
        window.convertPage.list().draw(&dc);
        return dc.pixel(listRect.left + convert::convertList::kLogoAt.x + 20,
                        listRect.top + convert::convertList::kLogoAt.y + 88) & 0xFFFFFF;
    };
    EXPECT_NE(logoPixel(), 0xFFFFFFu);
    window.convertPage.addFile(hangingSource(), nullptr);
    EXPECT_EQ(logoPixel(), 0xFFFFFFu);
}

TEST_F(MainWindowTest, ATerminationSignalStopsTheEncoderWithoutAsking)
{
    window.convertPage.addFile(hangingSource(), nullptr);
    window.convertPage.startOrStop();
    convert::convertFile* job = window.convertPage.findConvertingJob();
    ASSERT_NE(job, nullptr);
    bool handled = false;
    int caught = 0;
    {
        platform::TerminationSignals termination([&](int signal) {
            window.terminate();
            handled = true;
            caught = signal;
        });
        ASSERT_TRUE(termination.isActive());
        ::raise(SIGHUP);
        ASSERT_TRUE(pagetest::pumpUntil([&] { return handled; }));
    }
    EXPECT_EQ(caught, SIGHUP) << "the program ends with the status of the signal that ended it";
    EXPECT_FALSE(window.convertPage.isConverting());
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_TRUE(env.presenter->messages.empty());
}

TEST_F(MainWindowTest, WithoutANotificationAreaHideMinimisesAndTheTrayMenuCommandsAct)
{
    if (platform::TrayIcon::isAvailable())
        GTEST_SKIP() << "this desktop shows a notification area";
    window.hideToTray();
    EXPECT_FALSE(window.isInTray());
    EXPECT_TRUE(window.getWindow()->isVisible()) << "minimised, never lost";
    // A left click on a tray icon shows the window; "退出" takes the exit procedure.
    window.onMessage(WM_TRAY_NOTIFY, CLumaretDlg::kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(window.getWindow()->isVisible());
}

namespace {

// A journal as a program that ended in the middle of the second of three files left it: the first
// Done, the second Converting into a claimed partial file, the third Waiting.
struct LeftJournal {
    std::vector<convert::JournalRow> rows;
    std::string partial;
};

convert::JournalRow journalRow(const std::string& source, convert::JobState state)
{
    convert::JournalRow row;
    row.sourcePath = source;
    row.sourceSize = std::filesystem::file_size(source);
    row.profile = profile::makeEmptyProfileRecord();
    row.profile.conversionType = 8;  // AVI
    row.targetFolder = std::filesystem::path(source).parent_path() / "out";
    row.state = state;
    return row;
}

LeftJournal leaveJournal(const std::filesystem::path& dir)
{
    const std::string probe = "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") + "\n";
    std::filesystem::create_directories(dir / "out");
    LeftJournal left;
    left.rows.push_back(
        journalRow(fakeencoder::writeScript(dir / "a.mp4", probe + "exit 0\n"), convert::JobState::Done));
    left.rows.back().outputPath = (dir / "out" / "a.avi").string();
    std::ofstream(left.rows.back().outputPath) << "converted";
    left.rows.push_back(journalRow(fakeencoder::writeScript(dir / "b.mp4", probe + "status 0.5\nhang\n"),
                                   convert::JobState::Converting));
    left.partial = (dir / "out" / "b.avi").string();
    std::ofstream(left.partial) << "half";
    struct stat info {};
    ::stat(left.partial.c_str(), &info);
    left.rows.back().outputPath = left.partial;
    left.rows.back().outputDevice = info.st_dev;
    left.rows.back().outputInode = info.st_ino;
    left.rows.back().outputStamp =
        convert::OutputClaim::recorded(left.partial, info.st_dev, info.st_ino, {}).stamp();
    left.rows.push_back(
        journalRow(fakeencoder::writeScript(dir / "c.mp4", probe + "exit 0\n"), convert::JobState::Waiting));
    EXPECT_TRUE(convert::QueueJournal(dir / "data").save(left.rows));
    return left;
}

std::vector<convert::JournalRow> journalOnDisk(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return convert::QueueJournal::decode(std::string(std::istreambuf_iterator<char>(in), {})).rows;
}

}  // namespace

TEST_F(MainWindowTest, AJournalLeftBehindIsOfferedAndYesRestoresTheRowsInOrder)
{
    const LeftJournal left = leaveJournal(env.dir.path());
    const std::filesystem::path journal = env.dir / "data" / "queue.dat";
    window.processCommandLine({"lumaret"});
    window.offerRecovery();
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_EQ(env.presenter->messages[0].text, "上次有 2 个文件未完成转换,是否恢复转换列表?");
    EXPECT_EQ(env.presenter->messages[0].flags, platform::MessageQuestion | platform::MessageYesNo);

    ASSERT_EQ(window.convertPage.rowCount(), 3);
    convert::convertList& list = window.convertPage.list();
    EXPECT_EQ(list.jobAt(0)->getSourcePath(), left.rows[0].sourcePath);
    EXPECT_EQ(list.jobAt(0)->getState(), convert::JobState::Done);
    EXPECT_EQ(list.jobAt(0)->getOutputPath(), left.rows[0].outputPath);
    EXPECT_EQ(list.jobAt(1)->getSourcePath(), left.rows[1].sourcePath);
    EXPECT_EQ(list.jobAt(1)->getState(), convert::JobState::Waiting);
    EXPECT_EQ(list.jobAt(2)->getState(), convert::JobState::Waiting);
    EXPECT_FALSE(std::filesystem::exists(left.partial));
    EXPECT_FALSE(window.convertPage.isConverting());  // automatic conversion is off

    // The list keeps its journal from now on, and the exit procedure removes it.
    ASSERT_TRUE(pagetest::pumpUntil([&] {
        const auto rows = journalOnDisk(journal);
        return rows.size() == 3 && rows[1].state == convert::JobState::Waiting;
    }));
    window.offerRecovery();  // once only
    EXPECT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_TRUE(window.exitProcedure());
    EXPECT_FALSE(std::filesystem::exists(journal));
}

TEST_F(MainWindowTest, NoRemovesTheJournalAndASecondProgramLeavesItAlone)
{
    leaveJournal(env.dir.path());
    const std::filesystem::path journal = env.dir / "data" / "queue.dat";
    {
        CLumaretDlg first(&services, binding.get());
        ASSERT_TRUE(first.initDialog());
        first.offerRecovery();
        ASSERT_EQ(env.presenter->messages.size(), 1u);  // the first program asks
        // The second program neither asks nor touches the journal.
        window.offerRecovery();
        EXPECT_EQ(env.presenter->messages.size(), 1u);
        EXPECT_EQ(window.convertPage.rowCount(), 0);
        EXPECT_TRUE(window.exitProcedure());
        EXPECT_TRUE(std::filesystem::exists(journal));
        // Without the exit procedure (a kill) the journal stays for the next start.
    }
    env.presenter->answer = platform::kAnswerNo;
    CLumaretDlg next(&services, binding.get());
    ASSERT_TRUE(next.initDialog());
    next.offerRecovery();
    ASSERT_EQ(env.presenter->messages.size(), 2u);
    EXPECT_EQ(next.convertPage.rowCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(journal));
}

TEST_F(MainWindowTest, ADamagedJournalIsToldKeptAsBadAndItsReadableRowsOffered)
{
    const LeftJournal left = leaveJournal(env.dir.path());
    const std::filesystem::path journal = env.dir / "data" / "queue.dat";
    const std::string whole = convert::QueueJournal::encode(left.rows);
    const std::string cut = whole.substr(0, whole.size() - 10);  // the third row is cut
    std::ofstream(journal, std::ios::binary | std::ios::trunc) << cut;

    window.offerRecovery();
    ASSERT_EQ(env.presenter->messages.size(), 2u);
    EXPECT_EQ(env.presenter->messages[0].flags, platform::MessageError);
    EXPECT_NE(env.presenter->messages[0].text.find("只读出了前 2 个"), std::string::npos)
        << env.presenter->messages[0].text;
    EXPECT_EQ(env.presenter->messages[1].text, convert::QueueRecovery::questionText(1));
    EXPECT_EQ(window.convertPage.rowCount(), 2);
    std::ifstream bad(env.dir / "data" / "queue.dat.bad", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(bad), {}), cut);
}
