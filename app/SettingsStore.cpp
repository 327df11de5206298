#include "app/SettingsStore.h"

#include "convert/OutputName.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessagePresenter.h"
#include "platform/core/Paths.h"

#include <cstdint>
#include <string>
#include <utility>

namespace app {

namespace {

using platform::IniDocument;

std::string readText(const IniDocument& document, const SettingKey& setting, const char* defaultValue)
{
    return document.readString(setting.section, setting.key, defaultValue);
}

int readInt(const IniDocument& document, const SettingKey& setting, int defaultValue)
{
    return document.readInt(setting.section, setting.key, defaultValue);
}

// Flags keep the low byte of the stored integer, as the record's byte fields always have.
uint8_t readFlag(const IniDocument& document, const SettingKey& setting)
{
    return static_cast<uint8_t>(readInt(document, setting, 0) & 0xFF);
}

// False when the document refused the value (a line break in it, which the file could not hold).
bool writeText(IniDocument& document, const SettingKey& setting, const std::string& value)
{
    return document.setValue(setting.section, setting.key, value);
}

bool writeFlag(IniDocument& document, const SettingKey& setting, uint8_t flag)
{
    return writeText(document, setting, flag ? "1" : "0");
}

// The first maxChars characters of UTF-8 text, never splitting a character.
std::string firstCharacters(std::string text, std::size_t maxChars)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && characters++ == maxChars) {
            text.resize(i);
            break;
        }
    }
    return text;
}

}  // namespace

SettingsStore::SettingsStore() : SettingsStore(platform::Paths::settingsFile()) {}

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

OptionSettings SettingsStore::loadOptions() const
{
    using namespace settingkeys;
    platform::RegularFileStatus status = platform::RegularFileStatus::Ok;
    const IniDocument document = platform::IniFile(file_).load(&status).value_or(IniDocument());
    // Defaults stand in for a file we must not read; the user learns why the options look reset.
    // The skin keys live in the same file, so loadSkin() keeps quiet about it.
    if (status != platform::RegularFileStatus::Ok && status != platform::RegularFileStatus::Missing)
        platform::showMessage("", platform::RegularFile::describe(status, file_) + "\n将使用默认设置。",
                              platform::MessageError);
    OptionSettings options;
    options.outputFolder = readText(document, kOutputPath, "");
    options.appendProfileName = readFlag(document, kOutputProfile);
    options.deleteSourceOnSuccess = readFlag(document, kDeleteSource);
    options.openOutputOnSuccess = readFlag(document, kOpenOutput);
    options.shutdownWhenDone = readFlag(document, kShutdown);
    options.contextMenuEnabled = readFlag(document, kMenuEnable);
    options.autoConvertOnAdd = readFlag(document, kMenuAuto);
    options.profileChoice = readFlag(document, kMenuProfile);
    return options;
}

bool SettingsStore::saveOptions(const OptionSettings& options) const
{
    using namespace settingkeys;
    // A file that exists but cannot be read is left alone rather than replaced by our keys only.
    // A refused value writes nothing at all: the caller learns of it from the result, and the file
    // never holds a mix of new and old options.
    return platform::IniFile(file_).update([&](IniDocument& document) {
        return writeText(document, kOutputPath, options.outputFolder)
               && writeFlag(document, kOutputProfile, options.appendProfileName)
               && writeFlag(document, kDeleteSource, options.deleteSourceOnSuccess)
               && writeFlag(document, kOpenOutput, options.openOutputOnSuccess)
               && writeFlag(document, kShutdown, options.shutdownWhenDone)
               && writeFlag(document, kMenuEnable, options.contextMenuEnabled)
               && writeFlag(document, kMenuAuto, options.autoConvertOnAdd)
               && writeFlag(document, kMenuProfile, options.profileChoice);
    });
}

SkinSettings SettingsStore::loadSkin() const
{
    using namespace settingkeys;
    const IniDocument document = platform::IniFile(file_).load().value_or(IniDocument());
    const SkinSettings defaults;
    SkinSettings skin;
    skin.skinName = firstCharacters(readText(document, kSkinColor, defaults.skinName.c_str()), kSkinNameMaxChars);
    skin.skinHue = readInt(document, kSkinHue, defaults.skinHue);
    skin.skinSaturation = readInt(document, kSkinSaturation, defaults.skinSaturation);
    skin.skinLuminosity = readInt(document, kSkinLuminosity, defaults.skinLuminosity);
    return skin;
}

bool SettingsStore::saveSkin(const SkinSettings& skin) const
{
    using namespace settingkeys;
    return platform::IniFile(file_).update([&](IniDocument& document) {
        return writeText(document, kSkinColor, skin.skinName)
               && writeText(document, kSkinHue, std::to_string(skin.skinHue))
               && writeText(document, kSkinSaturation, std::to_string(skin.skinSaturation))
               && writeText(document, kSkinLuminosity, std::to_string(skin.skinLuminosity));
    });
}

std::string SettingsStore::fallbackOutputFolder()
{
    return convert::OutputName::defaultFolder();
}

}  // namespace app
