#include "app/SettingsTable.h"

#include <type_traits>

namespace app::settingstable {

namespace {

using O = OptionSettings;
using K = SkinSettings;
using B = BrowseSettings;

// The option keys' order is the order they have always been written in, so a new file comes out
// byte for byte as before.
const std::vector<OptionSettingRow> kOptionRows = {
    {&O::outputFolder, "output", "output_path", "", "output_path", "output-folder"},
    {&O::appendProfileName, "output", "output_profile", "0", "output_profile", "append-profile"},
    {&O::deleteSourceOnSuccess, "finish", "delete_source", "0", "delete_source", "delete-source"},
    {&O::openOutputOnSuccess, "finish", "open_output", "0", "open_output", "open-output"},
    {&O::shutdownWhenDone, "finish", "shutdown", "0", "shutdown", "shutdown"},
    {&O::contextMenuEnabled, "menu", "enable", "0", "enable", "context-menu"},
    {&O::autoConvertOnAdd, "menu", "auto", "0", "auto", "auto-convert"},
    // The radio button whose tick means "nonzero"; its partner shows the opposite.
    {&O::profileChoice, "menu", "profile", "0", "profile", "last-profile"},
    // Added later; a file that never changed it keeps the classic eight keys only.
    {&O::filesAtOnce, "convert", "files_at_once", "1", "files_at_once", "files-at-once", 0, true},
};

const std::vector<SkinSettingRow> kSkinRows = {
    {&K::skinName, "skin_color", "skin", "skin0", "skin_color", nullptr, kSkinNameMaxChars},
    {&K::skinHue, "hue", "skin", "180", "hue", nullptr},
    {&K::skinSaturation, "saturation", "skin", "100", "saturation", nullptr},
    {&K::skinLuminosity, "luminosity", "skin", "100", "luminosity", nullptr},
};

const std::vector<BrowseSettingRow> kBrowseRows = {
    {&B::lastFolder, "browse", "last_folder", "", "last_folder", nullptr},
};

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

const std::vector<OptionSettingRow>& optionRows() { return kOptionRows; }

const std::vector<SkinSettingRow>& skinRows() { return kSkinRows; }

const std::vector<BrowseSettingRow>& browseRows() { return kBrowseRows; }

template <typename Record>
void readSetting(const platform::IniDocument& document, const SettingRow<Record>& row, Record& record)
{
    std::visit(
        [&](auto field) {
            using Value = std::remove_cvref_t<decltype(record.*field)>;
            if constexpr (std::is_same_v<Value, std::string>) {
                std::string text = document.readString(row.section, row.key, row.defaultValue);
                record.*field = row.maxChars ? firstCharacters(std::move(text), row.maxChars) : std::move(text);
            } else {
                const int number =
                    document.readInt(row.section, row.key, platform::IniDocument::parseInt(row.defaultValue));
                // A flag keeps the low byte of the stored integer, as the record's byte fields always have.
                record.*field = static_cast<Value>(std::is_same_v<Value, uint8_t> ? number & 0xFF : number);
            }
        },
        row.field);
}

template <typename Record>
bool writeSetting(platform::IniDocument& document, const SettingRow<Record>& row, const Record& record)
{
    if (row.omittedAtDefault && shownSetting(row, record) == row.defaultValue &&
        !document.value(row.section, row.key))
        return true;
    return std::visit(
        [&](auto field) {
            using Value = std::remove_cvref_t<decltype(record.*field)>;
            if constexpr (std::is_same_v<Value, std::string>)
                return document.setValue(row.section, row.key, record.*field);
            else if constexpr (std::is_same_v<Value, uint8_t>)
                return document.setValue(row.section, row.key, record.*field ? "1" : "0");
            else
                return document.setValue(row.section, row.key, std::to_string(record.*field));
        },
        row.field);
}

template <typename Record>
std::string shownSetting(const SettingRow<Record>& row, const Record& record)
{
    return std::visit(
        [&](auto field) {
            using Value = std::remove_cvref_t<decltype(record.*field)>;
            if constexpr (std::is_same_v<Value, std::string>)
                return record.*field;
            else
                return std::to_string(static_cast<int>(record.*field));
        },
        row.field);
}

template void readSetting(const platform::IniDocument&, const OptionSettingRow&, OptionSettings&);
template void readSetting(const platform::IniDocument&, const SkinSettingRow&, SkinSettings&);
template void readSetting(const platform::IniDocument&, const BrowseSettingRow&, BrowseSettings&);
template bool writeSetting(platform::IniDocument&, const OptionSettingRow&, const OptionSettings&);
template bool writeSetting(platform::IniDocument&, const SkinSettingRow&, const SkinSettings&);
template bool writeSetting(platform::IniDocument&, const BrowseSettingRow&, const BrowseSettings&);
template std::string shownSetting(const OptionSettingRow&, const OptionSettings&);
template std::string shownSetting(const SkinSettingRow&, const SkinSettings&);

}  // namespace app::settingstable
