#include "app/CliCommands.h"

#include "app/CliText.h"
#include "app/SettingsStore.h"
#include "app/SettingsTable.h"

namespace app {

namespace {

template <typename Record>
void printRows(std::ostream& out, const std::vector<SettingRow<Record>>& rows, const Record& record)
{
    for (const SettingRow<Record>& row : rows)
        out << row.cliName << '=' << printable(settingstable::shownSetting(row, record)) << '\n';
}

}  // namespace

// Prints the settings the program would use now, one "name=value" line each, in the order and
// under the names of the settings table.
int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (!args.empty())
        return kCliUsage;
    const SettingsStore store;
    printRows(out, settingstable::optionRows(), store.loadOptions());
    printRows(out, settingstable::skinRows(), store.loadSkin());
    return kCliSuccess;
}

}  // namespace app
