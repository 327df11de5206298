#include "app/CliCommands.h"
#include "app/SettingsStore.h"
#include "convert/ConversionQueue.h"

#include "platform/core/MessagePresenter.h"
#include "tests/app/RecordingPresenter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/stat.h>

using app::OptionSettings;
using app::SettingsStore;
using app::SkinSettings;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

namespace {

using testsupport::readText;
using testsupport::writeText;

}  // namespace

TEST(SettingsStoreTest, NoFileGivesDefaults)
{
    TempDir temp;
    const SettingsStore store(temp / "Lumaret.ini");
    EXPECT_EQ(store.loadOptions(), OptionSettings());
    const OptionSettings options = store.loadOptions();
    EXPECT_TRUE(options.outputFolder.empty());
    EXPECT_EQ(options.profileChoice, app::kUseDefaultProfile);
    const SkinSettings skin = store.loadSkin();
    EXPECT_EQ(skin.skinName, "skin0");
    EXPECT_EQ(skin.skinHue, 180);
    EXPECT_EQ(skin.skinSaturation, 100);
    EXPECT_EQ(skin.skinLuminosity, 100);
}

TEST(SettingsStoreTest, FlagsKeepTheLowByteOfTheStoredInteger)
{
    TempDir temp;
    writeText(temp / "Lumaret.ini", "[finish]\ndelete_source=2\nopen_output=256\nshutdown=257\n"
                                    "[MENU]\nEnable=-1\nauto=yes\nprofile=1\n[output]\noutput_profile=0x100\n");
    const OptionSettings options = SettingsStore(temp / "Lumaret.ini").loadOptions();
    EXPECT_EQ(options.deleteSourceOnSuccess, 2);   // on
    EXPECT_EQ(options.openOutputOnSuccess, 0);     // off
    EXPECT_EQ(options.shutdownWhenDone, 1);
    EXPECT_EQ(options.contextMenuEnabled, 0xFF);
    EXPECT_EQ(options.autoConvertOnAdd, 0);
    EXPECT_EQ(options.profileChoice, app::kUseLastUsedProfile);
    EXPECT_EQ(options.appendProfileName, 0);
}

TEST(SettingsStoreTest, SaveRoundTripsAndKeepsForeignContent)
{
    TempDir temp;
    const auto file = temp / "conf" / "Lumaret.ini";   // the folder does not exist yet
    const SettingsStore store(file);

    OptionSettings options;
    options.outputFolder = "/home/someone/视频 out";
    options.appendProfileName = 1;
    options.shutdownWhenDone = 1;
    options.autoConvertOnAdd = 2;   // any nonzero byte is stored as "1"
    options.profileChoice = 1;
    ASSERT_TRUE(store.saveOptions(options));
    EXPECT_EQ(readText(file), "[output]\noutput_path=/home/someone/视频 out\noutput_profile=1\n\n"
                              "[finish]\ndelete_source=0\nopen_output=0\nshutdown=1\n\n"
                              "[menu]\nenable=0\nauto=1\nprofile=1\n");
    OptionSettings expected = options;
    expected.autoConvertOnAdd = 1;
    EXPECT_EQ(store.loadOptions(), expected);

    // The skin keys live in the same file; saving either part leaves the other alone, and so are
    // keys and comments the program does not know.
    const std::string foreign = "; my note\n[extra]\nkey=value\n";
    writeText(file, foreign + readText(file));
    SkinSettings skin;
    skin.skinName = "skin7";
    skin.skinHue = 0;
    skin.skinSaturation = 200;
    ASSERT_TRUE(store.saveSkin(skin));
    EXPECT_EQ(store.loadSkin(), skin);
    EXPECT_EQ(store.loadOptions(), expected);
    options.shutdownWhenDone = 0;
    ASSERT_TRUE(store.saveOptions(options));
    EXPECT_EQ(store.loadSkin(), skin);
    EXPECT_EQ(readText(file).rfind(foreign, 0), 0u);
    EXPECT_NE(readText(file).find("[hue]\nskin=0\n"), std::string::npos);
}

TEST(SettingsStoreTest, DamagedFilesNeverBreakLoading)
{
    TempDir temp;
    const auto file = temp / "Lumaret.ini";
    std::string junk(5000, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>(i * 131 % 256);
    writeText(file, junk + "\n[skin_color]\nskin=" + std::string(300, 'n') + "\n[hue]\nskin=abc\n");
    const SettingsStore store(file);
    EXPECT_EQ(store.loadOptions(), OptionSettings());
    const SkinSettings skin = store.loadSkin();
    EXPECT_EQ(skin.skinName, std::string(app::kSkinNameMaxChars, 'n'));
    EXPECT_EQ(skin.skinHue, 0);   // text that is no number reads as 0, like the classic reader
    EXPECT_EQ(skin.skinSaturation, 100);

    // A long name is cut between characters, never inside one.
    writeText(file, "[skin_color]\nskin=" + std::string(98, 'a') + "色彩\n");
    EXPECT_EQ(store.loadSkin().skinName, std::string(98, 'a') + "色");
}

// files_at_once stays out of a file that never changed it, is written once it differs (and from
// then on, also back at 1), and a stored value outside 1..the processors' count is held to it.
TEST(SettingsStoreTest, FilesAtOnceIsWrittenOnceChangedAndHeldToTheProcessors)
{
    TempDir temp;
    const auto file = temp / "Lumaret.ini";
    const SettingsStore store(file);
    OptionSettings options;
    ASSERT_TRUE(store.saveOptions(options));
    EXPECT_EQ(readText(file).find("files_at_once"), std::string::npos);

    const int most = convert::ConversionQueue::processorCount();
    options.filesAtOnce = most;
    ASSERT_TRUE(store.saveOptions(options));
    EXPECT_NE(readText(file).find("\n[convert]\nfiles_at_once=" + std::to_string(most) + "\n"), std::string::npos);
    EXPECT_EQ(store.loadOptions().filesAtOnce, most);
    options.filesAtOnce = 1;
    ASSERT_TRUE(store.saveOptions(options));
    EXPECT_NE(readText(file).find("[convert]\nfiles_at_once=1\n"), std::string::npos);

    for (const auto& [stored, held] : {std::pair<std::string, int>{"0", 1}, {"-3", 1}, {"many", 1},
                                       {std::to_string(most + 1), most}, {"100000", most}}) {
        writeText(file, "[convert]\nfiles_at_once=" + stored + "\n");
        EXPECT_EQ(store.loadOptions().filesAtOnce, held) << stored;
    }
    options.filesAtOnce = most + 5;  // a record from elsewhere is held before it is written
    ASSERT_TRUE(store.saveOptions(options));
    EXPECT_NE(readText(file).find("files_at_once=" + std::to_string(most) + "\n"), std::string::npos);
}

TEST(SettingsStoreTest, FallbackOutputFolderIsInTheHomeFolder)
{
    const std::string folder = SettingsStore::fallbackOutputFolder();
    EXPECT_EQ(std::filesystem::path(folder).filename(), "Lumaret_output");
    EXPECT_TRUE(std::filesystem::path(folder).is_absolute());
}

TEST(CliSettingsCommandTest, PrintsEffectiveSettingsFromTheConfigFolder)
{
    TempDir temp;
    ::setenv("LUMARET_CONFIG_DIR", temp.path().c_str(), 1);
    writeText(temp / "Lumaret.ini", "[finish]\nshutdown=2\n[saturation]\nskin=50\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(app::runSettingsCommand({}, out, err), app::kCliSuccess);
    EXPECT_EQ(out.str(), "output_path=\noutput_profile=0\ndelete_source=0\nopen_output=0\nshutdown=2\n"
                         "enable=0\nauto=0\nprofile=0\nfiles_at_once=1\nskin_color=skin0\nhue=180\nsaturation=50\n"
                         "luminosity=100\n");
    EXPECT_EQ(app::runSettingsCommand({"extra"}, out, err), app::kCliUsage);
    ::unsetenv("LUMARET_CONFIG_DIR");
}

using enginetest::RecordingPresenter;

// A settings file that is a FIFO, a device or a folder is refused at once, the user is told, the
// defaults stand in, and no save replaces it.
TEST(SettingsStoreTest, OnlyARegularSettingsFileIsRead)
{
    TempDir temp;
    const auto fifo = temp / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto zero = temp / "zero.ini";
    std::filesystem::create_symlink("/dev/zero", zero);
    const auto folder = temp / "folder.ini";
    std::filesystem::create_directory(folder);

    auto presenter = std::make_shared<RecordingPresenter>();
    const auto previous = platform::setMessagePresenter(presenter);
    for (const auto& file : {fifo, zero, folder}) {
        presenter->texts.clear();
        const SettingsStore store(file);
        EXPECT_EQ(store.loadOptions(), OptionSettings()) << file;
        ASSERT_EQ(presenter->texts.size(), 1u) << file;
        EXPECT_NE(presenter->texts[0].find("不是普通文件"), std::string::npos);
        EXPECT_NE(presenter->texts[0].find(file.string()), std::string::npos);
        EXPECT_EQ(presenter->lastFlags, platform::MessageError);
        EXPECT_EQ(store.loadSkin().skinName, "skin0");
        EXPECT_FALSE(store.saveOptions(OptionSettings()));
    }
    platform::setMessagePresenter(previous);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_symlink(zero));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// A value the file cannot hold is a failed save, and nothing of that save is written: the old
// values stay whole rather than half replaced.
TEST(SettingsStoreTest, RefusedValueFailsTheWholeSave)
{
    TempDir temp;
    const auto file = temp / "Lumaret.ini";
    const SettingsStore store(file);
    OptionSettings before;
    before.outputFolder = "/home/u/out";
    ASSERT_TRUE(store.saveOptions(before));
    const std::string stored = readText(file);

    OptionSettings refused = before;
    refused.outputFolder = "/home/u/two\nlines";
    refused.deleteSourceOnSuccess = 1;
    EXPECT_FALSE(store.saveOptions(refused));
    EXPECT_EQ(readText(file), stored);
    EXPECT_EQ(store.loadOptions(), before);

    refused.outputFolder = "/home/u/cr\rhere";
    EXPECT_FALSE(store.saveOptions(refused));

    SkinSettings skin;
    skin.skinName = "skin1\n[menu]";
    EXPECT_FALSE(store.saveSkin(skin));
    EXPECT_EQ(readText(file), stored);
}
