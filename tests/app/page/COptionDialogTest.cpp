// The options page in the main window, offscreen: its controls as built from the form's table,
// clicks and typing on the real controls, "accept" and "return", the browse button, a refused
// save, and the conversion page's shutdown toggle resetting the page.
#include "app/page/CLumaretDlg.h"
#include "app/ShellMenus.h"
#include "convert/OutputName.h"
#include "profile/ProfileProperties.h"
#include "platform/gui/CheckBox.h"
#include "platform/gui/EditBox.h"
#include "platform/gui/QtBridge.h"
#include "tests/app/page/PageTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <fstream>

using app::OptionForm;

namespace {

namespace fs = std::filesystem;

class OptionPageTest : public ::testing::Test {
protected:
    OptionPageTest()
        : home({{"HOME", env.dir.path().string()},
                {"XDG_DATA_HOME", (env.dir / "share").string()},
                {"XDG_CONFIG_HOME", (env.dir / "xdg-config").string()}})
    {
    }

    void open(const std::string& ini = {})
    {
        if (!ini.empty()) {
            fs::create_directories(env.dir / "config");
            std::ofstream(env.dir / "config" / "Lumaret.ini") << ini;
        }
        window = std::make_unique<app::CLumaretDlg>(&services);
        ASSERT_TRUE(window->initDialog());
        window->getWindow()->show();
        OptionForm::Services injected;
        injected.chooseFolder = [this](const std::string&) { return chosenFolder; };
        injected.startShellHelper = [this](const char* command) {
            started.emplace_back(command);
            return true;
        };
        page().form().setServices(injected);
        window->selectTab("option");
    }

    app::COptionDialog& page() { return window->optionPage; }
    QWidget* widget(const std::string& name) { return page().nativeControl(name)->nativeWidget(); }
    bool checked(const std::string& name) { return static_cast<QAbstractButton*>(widget(name))->isChecked(); }
    bool enabled(const std::string& name) { return widget(name)->isEnabled(); }
    std::string editText()
    {
        return static_cast<platform::EditBox*>(page().nativeControl(OptionForm::kOutputFolder))->text();
    }
    void click(const std::string& name) { static_cast<QAbstractButton*>(widget(name))->click(); }
    void type(const std::string& text)
    {
        QLineEdit* edit = static_cast<QLineEdit*>(widget(OptionForm::kOutputFolder));
        edit->selectAll();
        for (QChar c : QString::fromStdString(text)) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    KXLib::KXSmartPtr<KXLib::KXDirectUI> browse() { return page().findControl(OptionForm::kBrowse); }
    void clickBrowse() { page().onControlEvent(browse(), WM_LBUTTONUP, 0, 0); }
    app::OptionSettings stored() { return app::SettingsStore().loadOptions(); }

    pagetest::PageEnvironment env;
    testsupport::ScopedEnvironment home;
    pagetest::RecordingServices services;
    std::unique_ptr<app::CLumaretDlg> window;
    std::string chosenFolder;
    std::vector<std::string> started;
};

}  // namespace

TEST_F(OptionPageTest, EveryControlOfTheTableIsOnThePageShowingTheStoredSettings)
{
    open("[output]\noutput_path=/srv/out\n[finish]\nopen_output=1\n[menu]\nprofile=1\n");
    for (const OptionForm::Control& control : OptionForm::controls()) {
        if (control.kind == OptionForm::Kind::SkinButton)
            continue;
        platform::NativeControl* native = page().nativeControl(control.name);
        ASSERT_NE(native, nullptr) << control.name;
        EXPECT_EQ(native->id(), control.id);
        EXPECT_EQ(native->rect(), control.rect) << control.name;
        EXPECT_TRUE(native->isVisible()) << control.name;
        if (auto* button = dynamic_cast<platform::ButtonControl*>(native)) {
            EXPECT_EQ(button->text(), control.text);
        }
    }
    ASSERT_TRUE(browse());
    EXPECT_EQ(*browse()->getRect(), (RECT{520, 32, 589, 53}));
    std::string tip;
    EXPECT_TRUE(browse()->getTooltip(tip));
    EXPECT_EQ(tip, "设置转换输出路径");
    EXPECT_EQ(browse().dynamicCast<KXLib::KXButtonEx>()->caption(), "浏览");

    EXPECT_EQ(editText(), "/srv/out");
    EXPECT_TRUE(enabled(OptionForm::kOutputFolder));
    EXPECT_TRUE(browse()->isEnabled());
    EXPECT_FALSE(checked(OptionForm::kBesideSource));
    EXPECT_TRUE(checked("open-output"));
    EXPECT_FALSE(checked("shutdown"));
    EXPECT_TRUE(checked(OptionForm::kLastProfile));
    EXPECT_FALSE(checked(OptionForm::kDefaultProfile));
}

// Clicks and typing reach the form; "accept" stores them, "return" brings back the stored ones.
TEST_F(OptionPageTest, ClicksAndTypingAreStoredByAcceptAndDroppedByReturn)
{
    open();
    EXPECT_TRUE(checked(OptionForm::kBesideSource));
    EXPECT_FALSE(enabled(OptionForm::kOutputFolder));
    EXPECT_FALSE(browse()->isEnabled());

    click(OptionForm::kBesideSource);
    EXPECT_TRUE(enabled(OptionForm::kOutputFolder));
    EXPECT_TRUE(browse()->isEnabled());
    window->acceptAction();  // an empty edit gets the default folder
    EXPECT_EQ(editText(), convert::OutputName::defaultFolder());
    EXPECT_EQ(stored().outputFolder, convert::OutputName::defaultFolder());

    type("/media/新建 文件夹");
    click("delete-source");
    click(OptionForm::kLastProfile);
    EXPECT_FALSE(checked(OptionForm::kDefaultProfile));
    window->acceptAction();
    EXPECT_EQ(stored().outputFolder, "/media/新建 文件夹");
    EXPECT_TRUE(stored().deleteSourceOnSuccess);
    EXPECT_EQ(stored().profileChoice, app::kUseLastUsedProfile);
    EXPECT_EQ(window->options(), stored());

    click(OptionForm::kBesideSource);  // greys the edit, keeps its text
    EXPECT_FALSE(enabled(OptionForm::kOutputFolder));
    EXPECT_EQ(editText(), "/media/新建 文件夹");
    click("auto-convert");
    window->returnAction();
    EXPECT_FALSE(checked(OptionForm::kBesideSource));
    EXPECT_TRUE(enabled(OptionForm::kOutputFolder));
    EXPECT_FALSE(checked("auto-convert"));
    EXPECT_TRUE(env.presenter->messages.empty());
    EXPECT_TRUE(started.empty());
}

TEST_F(OptionPageTest, BrowseFillsTheEditAndARefusedSaveShowsTheStoredFolder)
{
    open("[output]\noutput_path=/stored\n");
    chosenFolder = "/picked";
    clickBrowse();
    EXPECT_EQ(editText(), "/picked");
    EXPECT_EQ(stored().outputFolder, "/stored");

    chosenFolder = "/bad\nname";
    clickBrowse();
    click("shutdown");
    window->acceptAction();
    ASSERT_EQ(env.presenter->messages.size(), 1u);
    EXPECT_NE(env.presenter->messages[0].text.find("设置没有保存"), std::string::npos);
    EXPECT_EQ(editText(), "/stored");
    EXPECT_FALSE(checked("shutdown"));
    EXPECT_EQ(window->options().outputFolder, "/stored");
}

// The conversion page's menu item inverts the stored flag through the options page, which drops
// its unsaved edits and shows the stored record; the menu's check mark follows.
TEST_F(OptionPageTest, ShutdownToggleFromTheConversionPageResetsThePage)
{
    open("[output]\noutput_path=/kept\n[menu]\nenable=1\n");
    type("/unsaved");
    click("open-output");
    window->convertPage.onMenuCommand(convert::CConvertDialog::kMenuShutdown);
    EXPECT_TRUE(stored().shutdownWhenDone);
    EXPECT_EQ(stored().outputFolder, "/kept");
    EXPECT_FALSE(stored().openOutputOnSuccess);
    EXPECT_TRUE(checked("shutdown"));
    EXPECT_FALSE(checked("open-output"));
    EXPECT_EQ(editText(), "/kept");
    EXPECT_TRUE(window->convertPage.cpuMenuItems().back().checked);
    // The menu is on and none of our entries exist: the save starts the helper.
    EXPECT_EQ(started, std::vector<std::string>{"register"});

    window->convertPage.onMenuCommand(convert::CConvertDialog::kMenuShutdown);
    EXPECT_FALSE(stored().shutdownWhenDone);
    EXPECT_FALSE(checked("shutdown"));
    EXPECT_FALSE(window->convertPage.cpuMenuItems().back().checked);
}

// Written profiles rewrite the menus, but only while they are enabled and ours exist.
TEST_F(OptionPageTest, ASavedProfileRewritesTheMenusWhileTheyAreEnabled)
{
    open("[menu]\nenable=1\n");
    window->onMessage(WM_PROFILES_STORED, 0, 0);
    EXPECT_TRUE(started.empty());  // none of ours installed yet
    const fs::path ours = env.dir / "share/nemo/actions/lumaret-000.nemo_action";
    fs::create_directories(ours.parent_path());
    std::ofstream(ours) << "[Nemo Action]\n" << app::ShellMenus::kMarkerLine << "\n";
    window->onMessage(WM_PROFILES_STORED, 0, 0);
    EXPECT_EQ(started, std::vector<std::string>{"register"});

    click(OptionForm::kContextMenu);
    window->acceptAction();
    EXPECT_EQ(started, (std::vector<std::string>{"register", "unregister"}));
    window->onMessage(WM_PROFILES_STORED, 0, 0);
    EXPECT_EQ(started.size(), 2u);
}

// Adding, deleting and editing on the profile page each rewrite the menus once, after the files
// are written (the helper reads them).
TEST_F(OptionPageTest, EveryProfileSaveOfTheProfilePageRewritesTheMenus)
{
    open("[menu]\nenable=1\n");
    const fs::path ours = env.dir / "share/nemo/actions/lumaret-000.nemo_action";
    fs::create_directories(ours.parent_path());
    std::ofstream(ours) << "[Nemo Action]\n" << app::ShellMenus::kMarkerLine << "\n";
    profile::ProfileEditor& editor = window->profilePage.editor();
    const fs::path userFile = env.dir.path() / "data" / "user_profile.dat";
    std::vector<std::string> writtenBefore;
    OptionForm::Services injected;
    injected.startShellHelper = [&](const char* command) {
        started.emplace_back(command);
        writtenBefore.push_back(fs::exists(userFile) ? "written" : "not written");
        return true;
    };
    page().form().setServices(injected);

    editor.addProfile();
    ASSERT_TRUE(editor.commitValue(profile::ProfileProperties::Row::Category, "mine"));
    ASSERT_TRUE(editor.commitName("for the menu"));
    ASSERT_TRUE(editor.acceptProfile());
    EXPECT_EQ(started, std::vector<std::string>{"register"});
    EXPECT_EQ(writtenBefore, std::vector<std::string>{"written"});

    env.presenter->answer = platform::kAnswerYes;
    editor.deleteProfile();
    ASSERT_EQ(window->profilePage.findProfileByName("for the menu"), nullptr);
    EXPECT_EQ(started.size(), 2u);

    ASSERT_TRUE(editor.commitName("renamed"));
    ASSERT_TRUE(editor.acceptProfile());
    EXPECT_EQ(started.size(), 3u) << "an edit rewrites them once, not twice";
}
