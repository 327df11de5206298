// The options page's rules without a window: loading and saving through the controls, the
// output-folder rules, the browse button, the radio group, a refused save, the applied record of
// the shutdown toggle, and when the file-manager menu helper is started.
#include "app/OptionForm.h"
#include "convert/ConversionQueue.h"
#include "app/ShellMenus.h"
#include "convert/OutputName.h"
#include "platform/core/MessagePresenter.h"
#include "tests/app/RecordingPresenter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

using app::OptionForm;
using app::OptionSettings;
using app::SettingsStore;

namespace {

using testsupport::readText;
using testsupport::writeText;

namespace fs = std::filesystem;

using Presenter = enginetest::RecordingPresenter;

class OptionFormTest : public ::testing::Test {
protected:
    OptionFormTest()
        : environment({{"HOME", temp.path().string()},
                       {"XDG_DATA_HOME", (temp / "share").string()},
                       {"XDG_CONFIG_HOME", (temp / "config").string()},
                       {"LUMARET_DATA_DIR", (temp / "data").string()}}),
          presenter(std::make_shared<Presenter>()),
          previous(platform::setMessagePresenter(presenter)),
          form(SettingsStore(settingsFile()), services())
    {
    }
    ~OptionFormTest() override { platform::setMessagePresenter(previous); }

    fs::path settingsFile() const { return temp / "Lumaret.ini"; }
    fs::path ourMenuFile() const { return temp / "share/nemo/actions/lumaret-000.nemo_action"; }

    // A helper that does what lumaret-shellext would, unless it is told to fail silently.
    OptionForm::Services services()
    {
        OptionForm::Services s;
        s.chooseFolder = [this](const std::string& current) {
            browsedFrom.push_back(current);
            return chosenFolder;
        };
        s.startShellHelper = [this](const char* command) {
            started.emplace_back(command);
            if (helperWorks && started.back() == "register")
                writeText(ourMenuFile(), std::string("[Nemo Action]\n") + app::ShellMenus::kMarkerLine + "\n");
            if (helperWorks && started.back() == "unregister")
                fs::remove(ourMenuFile());
            return true;
        };
        return s;
    }

    void click(const std::string& name, bool checked)
    {
        form.setChecked(name, checked);
        form.onEvent(name);
    }
    const OptionForm::ControlState& state(const std::string& name) const { return form.state(name); }

    testsupport::TempDir temp;
    testsupport::ScopedEnvironment environment;
    std::shared_ptr<Presenter> presenter;
    std::shared_ptr<platform::MessagePresenter> previous;
    std::vector<std::string> started;
    std::vector<std::string> browsedFrom;
    std::string chosenFolder;
    bool helperWorks = true;
    OptionForm form;
};

}  // namespace

// Loading shows each stored value in its control, any nonzero byte ticked; saving writes the
// controls back as "0"/"1" and reloading gives the same record.
TEST_F(OptionFormTest, LoadShowsTheStoredValuesAndSaveWritesThemBack)
{
    writeText(settingsFile(), "[output]\noutput_path=/srv/videos out\noutput_profile=1\n"
                              "[finish]\ndelete_source=0\nopen_output=2\nshutdown=256\n"
                              "[menu]\nenable=0\nauto=1\nprofile=7\n[hue]\nskin=90\n");
    form.loadSettings();
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/srv/videos out");
    EXPECT_TRUE(state(OptionForm::kOutputFolder).enabled);
    EXPECT_FALSE(state(OptionForm::kBesideSource).checked);
    EXPECT_TRUE(state(OptionForm::kBrowse).enabled);
    EXPECT_TRUE(state("append-profile").checked);
    EXPECT_FALSE(state("delete-source").checked);
    EXPECT_TRUE(state("open-output").checked);
    EXPECT_FALSE(state("shutdown").checked);  // 256 keeps the low byte 0
    EXPECT_FALSE(state(OptionForm::kContextMenu).checked);
    EXPECT_TRUE(state("auto-convert").checked);
    EXPECT_FALSE(state(OptionForm::kDefaultProfile).checked);
    EXPECT_TRUE(state(OptionForm::kLastProfile).checked);

    ASSERT_TRUE(form.saveSettings());
    EXPECT_EQ(readText(settingsFile()), "[output]\noutput_path=/srv/videos out\noutput_profile=1\n"
                                        "[finish]\ndelete_source=0\nopen_output=1\nshutdown=0\n"
                                        "[menu]\nenable=0\nauto=1\nprofile=1\n[hue]\nskin=90\n");
    const OptionSettings saved = form.settings();
    EXPECT_EQ(SettingsStore(settingsFile()).loadOptions(), saved);
    form.loadSettings();
    EXPECT_EQ(form.settings(), saved);
    EXPECT_TRUE(presenter->texts.empty());
}

// Ticking "beside the source" greys the edit and the browse button but keeps the typed folder;
// the save then stores the empty folder. Unticking it with an empty edit stores the default folder,
// expanded, and the edit shows it. "return" (a load) brings back the stored values.
TEST_F(OptionFormTest, OutputFolderRules)
{
    form.loadSettings();  // no file: everything off, outputs beside their sources
    EXPECT_TRUE(state(OptionForm::kBesideSource).checked);
    EXPECT_FALSE(state(OptionForm::kOutputFolder).enabled);
    EXPECT_FALSE(state(OptionForm::kBrowse).enabled);
    EXPECT_TRUE(state(OptionForm::kDefaultProfile).checked);

    click(OptionForm::kBesideSource, false);
    EXPECT_TRUE(state(OptionForm::kOutputFolder).enabled);
    EXPECT_TRUE(state(OptionForm::kBrowse).enabled);
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "");
    ASSERT_TRUE(form.saveSettings());
    const std::string fallback = convert::OutputName::defaultFolder();
    EXPECT_EQ(fallback, (temp / "Lumaret_output").string());
    EXPECT_EQ(form.settings().outputFolder, fallback);
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, fallback);
    EXPECT_EQ(SettingsStore(settingsFile()).loadOptions().outputFolder, fallback);

    form.setText(OptionForm::kOutputFolder, "/media/out");
    click(OptionForm::kBesideSource, true);
    EXPECT_FALSE(state(OptionForm::kOutputFolder).enabled);
    EXPECT_FALSE(state(OptionForm::kBrowse).enabled);
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/media/out");
    form.setText(OptionForm::kOutputFolder, "/typed/while/grey");  // a disabled edit takes nothing
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/media/out");
    ASSERT_TRUE(form.saveSettings());
    EXPECT_EQ(form.settings().outputFolder, "");
    EXPECT_EQ(SettingsStore(settingsFile()).loadOptions().outputFolder, "");

    click(OptionForm::kBesideSource, false);
    form.setText(OptionForm::kOutputFolder, "/unsaved");
    form.loadSettings();
    EXPECT_TRUE(state(OptionForm::kBesideSource).checked);
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "");
}

// The browse button works only while enabled, starts at the edit's folder, and a choice only
// changes the edit: nothing is saved until "accept". The radio buttons are one group.
TEST_F(OptionFormTest, BrowseAndProfileChoiceChangeOnlyTheControls)
{
    form.loadSettings();
    chosenFolder = "/chosen";
    EXPECT_FALSE(form.onEvent(OptionForm::kBrowse));
    EXPECT_TRUE(browsedFrom.empty());

    click(OptionForm::kBesideSource, false);
    form.setText(OptionForm::kOutputFolder, "/start");
    EXPECT_TRUE(form.onEvent(OptionForm::kBrowse));
    EXPECT_EQ(browsedFrom, std::vector<std::string>{"/start"});
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/chosen");
    chosenFolder.clear();  // cancelled
    EXPECT_TRUE(form.onEvent(OptionForm::kBrowse));
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/chosen");

    click(OptionForm::kLastProfile, true);
    EXPECT_TRUE(state(OptionForm::kLastProfile).checked);
    EXPECT_FALSE(state(OptionForm::kDefaultProfile).checked);
    EXPECT_FALSE(form.onEvent(OptionForm::kContextMenu));  // acts only at the next save
    EXPECT_FALSE(fs::exists(settingsFile()));
    EXPECT_EQ(form.settings(), OptionSettings());

    ASSERT_TRUE(form.saveSettings());
    EXPECT_EQ(form.settings().outputFolder, "/chosen");
    EXPECT_EQ(form.settings().profileChoice, app::kUseLastUsedProfile);
    click(OptionForm::kDefaultProfile, true);
    EXPECT_FALSE(state(OptionForm::kLastProfile).checked);
}

// A folder the settings file cannot hold (a line break, as a folder name may have) and a settings
// file that cannot be written are told, and the page then shows what is really stored.
TEST_F(OptionFormTest, ARefusedSaveIsToldAndThePageShowsTheStoredSettings)
{
    form.loadSettings();
    click(OptionForm::kBesideSource, false);
    form.setText(OptionForm::kOutputFolder, "/stored");
    ASSERT_TRUE(form.saveSettings());
    const std::string before = readText(settingsFile());

    chosenFolder = "/odd\nname";
    form.onEvent(OptionForm::kBrowse);
    click("delete-source", true);
    EXPECT_FALSE(form.saveSettings());
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_NE(presenter->texts[0].find("设置没有保存"), std::string::npos);
    EXPECT_NE(presenter->texts[0].find("换行符"), std::string::npos);
    EXPECT_EQ(presenter->lastFlags, platform::MessageError);
    EXPECT_EQ(readText(settingsFile()), before);
    EXPECT_EQ(form.settings().outputFolder, "/stored");
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/stored");
    EXPECT_FALSE(state("delete-source").checked);

    // A folder stands where the settings file should be: it is left alone.
    const fs::path blocked = temp / "blocked.ini";
    fs::create_directory(blocked);
    presenter->texts.clear();
    OptionForm other(SettingsStore(blocked), services());
    other.setChecked("shutdown", true);
    EXPECT_FALSE(other.saveSettings());
    ASSERT_FALSE(presenter->texts.empty());
    EXPECT_NE(presenter->texts[0].find(blocked.string()), std::string::npos);
    EXPECT_FALSE(other.state("shutdown").checked);
    EXPECT_EQ(other.settings(), OptionSettings());
    EXPECT_TRUE(fs::is_directory(blocked));
}

// A relative folder would be taken relative to the program's own folder: the save is refused with
// the folder named, and a relative value already in the file never reaches the page.
TEST_F(OptionFormTest, ARelativeOutputFolderIsRefusedOnSaveAndReplacedOnLoad)
{
    writeText(settingsFile(), "[output]\noutput_path=/stored\n");
    form.loadSettings();
    const std::string before = readText(settingsFile());
    form.setText(OptionForm::kOutputFolder, "relout");
    EXPECT_FALSE(form.saveSettings());
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_NE(presenter->texts[0].find("\"relout\" 不是完整路径"), std::string::npos) << presenter->texts[0];
    EXPECT_EQ(readText(settingsFile()), before);
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/stored");

    // A folder under "~" is the user's own and is kept as typed.
    form.setText(OptionForm::kOutputFolder, "~/videos");
    EXPECT_TRUE(form.saveSettings());
    EXPECT_EQ(SettingsStore(settingsFile()).loadOptions().outputFolder, "~/videos");

    presenter->texts.clear();
    writeText(settingsFile(), "[output]\noutput_path=relout\n");
    form.loadSettings();
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, SettingsStore::fallbackOutputFolder());
    EXPECT_FALSE(state(OptionForm::kBesideSource).checked);
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_NE(presenter->texts[0].find("relout"), std::string::npos);
}

// The conversion page's shutdown toggle: a copy of the record with the flag inverted is applied,
// which drops the page's unsaved edits and stores every other setting unchanged.
TEST_F(OptionFormTest, AppliedRecordReplacesUnsavedEditsAndIsStored)
{
    writeText(settingsFile(), "[output]\noutput_path=/kept\n[menu]\nauto=1\nprofile=1\n");
    form.loadSettings();
    form.setText(OptionForm::kOutputFolder, "/unsaved edit");
    click("open-output", true);

    OptionSettings toggled = form.settings();
    toggled.shutdownWhenDone = !toggled.shutdownWhenDone;
    ASSERT_TRUE(form.applySettings(toggled));
    EXPECT_EQ(form.settings(), toggled);
    EXPECT_EQ(SettingsStore(settingsFile()).loadOptions(), toggled);
    EXPECT_EQ(state(OptionForm::kOutputFolder).text, "/kept");
    EXPECT_FALSE(state("open-output").checked);
    EXPECT_TRUE(state("shutdown").checked);

    toggled.shutdownWhenDone = 0;
    ASSERT_TRUE(form.applySettings(toggled));
    EXPECT_FALSE(SettingsStore(settingsFile()).loadOptions().shutdownWhenDone);
    EXPECT_TRUE(started.empty());
}

// The helper is started only when our menu entries' presence differs from the setting, on every
// save; a helper that failed is tried again at the next save, since the entries tell.
TEST_F(OptionFormTest, MenuHelperStartsOnlyWhenTheEntriesDifferFromTheSetting)
{
    form.loadSettings();
    ASSERT_TRUE(form.saveSettings());  // off and none installed
    EXPECT_TRUE(started.empty());

    click(OptionForm::kContextMenu, true);
    ASSERT_TRUE(form.saveSettings());
    EXPECT_EQ(started, std::vector<std::string>{"register"});
    ASSERT_TRUE(form.saveSettings());  // the entries exist now
    EXPECT_EQ(started.size(), 1u);
    EXPECT_TRUE(form.profilesSaved());
    EXPECT_EQ(started.back(), "register");

    fs::remove(ourMenuFile());  // removed behind our back
    helperWorks = false;
    ASSERT_TRUE(form.saveSettings());
    ASSERT_TRUE(form.saveSettings());
    EXPECT_EQ(started, (std::vector<std::string>{"register", "register", "register", "register"}));
    EXPECT_FALSE(form.profilesSaved());  // nothing of ours to rewrite

    helperWorks = true;
    ASSERT_TRUE(form.saveSettings());
    click(OptionForm::kContextMenu, false);
    started.clear();
    ASSERT_TRUE(form.saveSettings());
    EXPECT_EQ(started, std::vector<std::string>{"unregister"});
    ASSERT_TRUE(form.saveSettings());
    EXPECT_FALSE(form.profilesSaved());  // the menu is off
    EXPECT_EQ(started.size(), 1u);
}

// The list of files at once offers 1 to the processors' count, shows the stored number, takes
// only one of its entries, and saving writes the choice.
TEST_F(OptionFormTest, FilesAtOnceOffersOneToTheProcessorsAndSavesTheChoice)
{
    const int most = convert::ConversionQueue::processorCount();
    const std::vector<std::string> entries = OptionForm::choices(OptionForm::kFilesAtOnce);
    ASSERT_EQ(entries.size(), static_cast<size_t>(most));
    EXPECT_EQ(entries.front(), "1");
    EXPECT_EQ(entries.back(), std::to_string(most));
    EXPECT_TRUE(OptionForm::choices("shutdown").empty());
    EXPECT_EQ(state(OptionForm::kFilesAtOnce).text, "1");

    writeText(settingsFile(), "[convert]\nfiles_at_once=" + std::to_string(most + 3) + "\n");
    form.loadSettings();
    EXPECT_EQ(state(OptionForm::kFilesAtOnce).text, std::to_string(most));

    form.setText(OptionForm::kFilesAtOnce, "0");
    form.setText(OptionForm::kFilesAtOnce, std::to_string(most + 1));
    form.setText(OptionForm::kFilesAtOnce, "1; rm -rf");
    EXPECT_EQ(state(OptionForm::kFilesAtOnce).text, std::to_string(most));
    form.setText(OptionForm::kFilesAtOnce, "1");
    ASSERT_TRUE(form.saveSettings());
    EXPECT_EQ(SettingsStore(settingsFile()).loadOptions().filesAtOnce, 1);
    EXPECT_EQ(form.settings().filesAtOnce, 1);
    EXPECT_NE(readText(settingsFile()).find("[convert]\nfiles_at_once=1\n"), std::string::npos);
}
