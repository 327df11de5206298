#include "app/SettingsTable.h"

#include "app/OptionForm.h"
#include "platform/core/IniDocument.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <type_traits>
#include <utility>

using app::OptionForm;
using app::OptionSettings;
using app::SettingRow;
using app::SkinSettings;
using platform::IniDocument;
namespace table = app::settingstable;

namespace {

// A value for the row's field that differs from every default, with the text the file then holds.
template <typename Record>
std::string setUnusualValue(const SettingRow<Record>& row, Record& record)
{
    return std::visit(
        [&](auto field) -> std::string {
            using Value = std::remove_cvref_t<decltype(record.*field)>;
            if constexpr (std::is_same_v<Value, std::string>) {
                record.*field = std::string("/媒体/") + row.key;
                return record.*field;
            } else if constexpr (std::is_same_v<Value, uint8_t>) {
                record.*field = 1;
                return "1";
            } else {
                record.*field = -37;
                return "-37";
            }
        },
        row.field);
}

// Each row alone: written, it lands under its own section and key and nowhere else; read back
// into a default record it restores exactly its own field, so no two rows share a field.
template <typename Record>
void expectEveryRowRoundTrips(const std::vector<SettingRow<Record>>& rows)
{
    for (const SettingRow<Record>& row : rows) {
        Record written;
        const std::string stored = setUnusualValue(row, written);
        IniDocument document;
        ASSERT_TRUE(table::writeSetting(document, row, written)) << row.key;
        EXPECT_EQ(document.bytes(), "[" + std::string(row.section) + "]\n" + row.key + "=" + stored + "\n");
        Record read;
        table::readSetting(IniDocument(document.bytes()), row, read);
        EXPECT_EQ(read, written) << row.section << "/" << row.key;
        EXPECT_NE(read, Record()) << row.section << "/" << row.key;
    }
}

// A missing key gives the record's own default, whatever the field held before.
template <typename Record>
void expectMissingKeysGiveTheRecordDefaults(const std::vector<SettingRow<Record>>& rows)
{
    Record record;
    for (const SettingRow<Record>& row : rows)
        setUnusualValue(row, record);
    for (const SettingRow<Record>& row : rows)
        table::readSetting(IniDocument(), row, record);
    EXPECT_EQ(record, Record());
}

template <typename Record>
void collectNames(const std::vector<SettingRow<Record>>& rows, std::set<std::pair<std::string, std::string>>& keys,
                  std::set<std::string>& cliNames)
{
    for (const SettingRow<Record>& row : rows) {
        EXPECT_TRUE(keys.emplace(row.section, row.key).second) << row.section << "/" << row.key;
        EXPECT_TRUE(cliNames.insert(row.cliName).second) << row.cliName;
    }
}

}  // namespace

TEST(SettingsTableTest, EveryRowRoundTripsOnItsOwnField)
{
    expectEveryRowRoundTrips(table::optionRows());
    expectEveryRowRoundTrips(table::skinRows());
}

TEST(SettingsTableTest, DefaultsAreThoseOfTheRecords)
{
    expectMissingKeysGiveTheRecordDefaults(table::optionRows());
    expectMissingKeysGiveTheRecordDefaults(table::skinRows());
}

TEST(SettingsTableTest, NoTwoRowsShareAKeyOrACommandLineName)
{
    std::set<std::pair<std::string, std::string>> keys;
    std::set<std::string> cliNames;
    collectNames(table::optionRows(), keys, cliNames);
    collectNames(table::skinRows(), keys, cliNames);
    EXPECT_EQ(keys.size(), table::optionRows().size() + table::skinRows().size());
}

// A control name the page does not have would leave its setting unshown and, worse, saved as off.
TEST(SettingsTableTest, EveryBoundControlExistsAndFitsItsField)
{
    for (const app::OptionSettingRow& row : table::optionRows()) {
        ASSERT_NE(row.control, nullptr) << row.key << ": every option is on the options page";
        const OptionForm::Control* control = OptionForm::controlNamed(row.control);
        ASSERT_NE(control, nullptr) << row.control;
        const bool isText = std::holds_alternative<app::OptionSettingRow::TextField>(row.field);
        const bool isNumber = std::holds_alternative<app::OptionSettingRow::IntegerField>(row.field);
        if (isText)
            EXPECT_EQ(control->kind, OptionForm::Kind::Edit) << row.control;
        else if (isNumber)
            EXPECT_EQ(control->kind, OptionForm::Kind::Choice) << row.control;
        else
            EXPECT_TRUE(control->kind == OptionForm::Kind::CheckBox || control->kind == OptionForm::Kind::Radio)
                << row.control;
    }
    for (const app::SkinSettingRow& row : table::skinRows())
        EXPECT_EQ(row.control, nullptr) << row.section;
}

// Flags keep the low byte of any stored integer; text that is no number reads as 0; the long skin
// name is cut at a character boundary.
TEST(SettingsTableTest, ReadingFollowsTheFieldKind)
{
    const IniDocument document("[finish]\nshutdown=258\n[hue]\nskin=abc\n[skin_color]\nskin=" + std::string(98, 'a') +
                               "色彩\n");
    OptionSettings options;
    for (const app::OptionSettingRow& row : table::optionRows())
        table::readSetting(document, row, options);
    EXPECT_EQ(options.shutdownWhenDone, 2);
    SkinSettings skin;
    for (const app::SkinSettingRow& row : table::skinRows())
        table::readSetting(document, row, skin);
    EXPECT_EQ(skin.skinHue, 0);
    EXPECT_EQ(skin.skinName, std::string(98, 'a') + "色");
}
