#pragma once
// SettingsTable: every setting of the settings file in one place. A row names the record's field,
// where the field lives in the INI file (section and key), its default, the name
// `lumaret-cli settings` prints it under, and the options-page control that shows it (if any).
// SettingsStore loads and saves through these rows, OptionForm binds its controls through them
// and the command-line front end prints them; adding a setting is adding a row.
//
// A field is one of three kinds:
//  - Text: stored as it is; cut to `maxChars` UTF-8 characters on load when that is not zero;
//  - Flag: a byte; a stored integer keeps its low 8 bits, and it is written as "0" or "1";
//  - Integer: stored in decimal; text that is no number reads as 0.
//
// A row marked `omittedAtDefault` is written only when its value differs from the default or the
// file already holds its key, so a file that never had the setting changed stays as it was.
//
// Threads: the tables are constant data, readable from any thread.
#include "app/BrowseSettings.h"
#include "app/OptionSettings.h"
#include "app/SkinSettings.h"
#include "platform/core/IniDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace app {

template <typename Record>
struct SettingRow {
    using TextField = std::string Record::*;
    using FlagField = uint8_t Record::*;
    using IntegerField = int Record::*;

    std::variant<TextField, FlagField, IntegerField> field;
    const char* section;
    const char* key;
    const char* defaultValue;  // as the file would hold it
    const char* cliName;       // the line's name in `lumaret-cli settings`
    const char* control;       // the options-page control bound to the field; null: none
    std::size_t maxChars = 0;  // Text only: the longest value kept on load; 0: no limit
    bool omittedAtDefault = false;
};

using OptionSettingRow = SettingRow<OptionSettings>;
using SkinSettingRow = SettingRow<SkinSettings>;
using BrowseSettingRow = SettingRow<BrowseSettings>;

namespace settingstable {

// The option rows, in file order: the classic eight, then the ones added since.
const std::vector<OptionSettingRow>& optionRows();
// The four skin rows. They use the setting's name as the section and "skin" as the key, the
// reverse of the options, so the command line names them after their sections.
const std::vector<SkinSettingRow>& skinRows();
// What the choosers remember: [browse] last_folder.
const std::vector<BrowseSettingRow>& browseRows();

// Sets the row's field of `record` from the document, the row's default when the key is missing.
template <typename Record>
void readSetting(const platform::IniDocument& document, const SettingRow<Record>& row, Record& record);
// Writes the row's field into the document. False, leaving the document unchanged, when the
// document refuses the value (a line break in a text).
template <typename Record>
bool writeSetting(platform::IniDocument& document, const SettingRow<Record>& row, const Record& record);
// The field as the command line shows it: a text as it is, a flag as its byte's number.
template <typename Record>
std::string shownSetting(const SettingRow<Record>& row, const Record& record);

}  // namespace settingstable

}  // namespace app
