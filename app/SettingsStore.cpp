#include "app/SettingsStore.h"

#include "app/SettingsTable.h"
#include "convert/ConversionQueue.h"
#include "convert/OutputName.h"
#include "convert/QueuedFile.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessagePresenter.h"
#include "platform/core/Paths.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace app {

namespace {

using platform::IniDocument;

template <typename Record>
Record readRecord(const IniDocument& document, const std::vector<SettingRow<Record>>& rows)
{
    Record record;
    for (const SettingRow<Record>& row : rows)
        settingstable::readSetting(document, row, record);
    return record;
}

// Stops at the first value the document refuses; the caller then writes nothing at all.
template <typename Record>
bool writeRecord(IniDocument& document, const std::vector<SettingRow<Record>>& rows, const Record& record)
{
    for (const SettingRow<Record>& row : rows)
        if (!settingstable::writeSetting(document, row, record))
            return false;
    return true;
}

}  // namespace

SettingsStore::SettingsStore() : SettingsStore(platform::Paths::settingsFile()) {}

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

OptionSettings SettingsStore::loadOptions() const
{
    platform::RegularFileStatus status = platform::RegularFileStatus::Ok;
    const IniDocument document = platform::IniFile(file_).load(&status).value_or(IniDocument());
    // Defaults stand in for a file we must not read; the user learns why the options look reset.
    // The skin keys live in the same file, so loadSkin() keeps quiet about it.
    if (status != platform::RegularFileStatus::Ok && status != platform::RegularFileStatus::Missing)
        platform::showMessage("", platform::RegularFile::describe(status, file_) + "\n将使用默认设置。",
                              platform::MessageError);
    OptionSettings options = readRecord(document, settingstable::optionRows());
    options.filesAtOnce = heldFilesAtOnce(options.filesAtOnce);
    // A relative folder would land in the program's own folder; the user still wants a folder of
    // their own, so the default one stands in until the options are saved again.
    if (!convert::QueuedFile::resolveFolder(options.outputFolder)) {
        platform::showMessage("", convert::QueuedFile::relativeFolderText(options.outputFolder) + "\n将使用 " +
                                      fallbackOutputFolder() + "。",
                              platform::MessageError);
        options.outputFolder = fallbackOutputFolder();
    }
    return options;
}

bool SettingsStore::saveOptions(const OptionSettings& options) const
{
    // A file that exists but cannot be read is left alone rather than replaced by our keys only.
    // A refused value writes nothing at all: the caller learns of it from the result, and the file
    // never holds a mix of new and old options.
    if (!convert::QueuedFile::resolveFolder(options.outputFolder))
        return false;
    OptionSettings held = options;
    held.filesAtOnce = heldFilesAtOnce(options.filesAtOnce);
    return platform::IniFile(file_).update([&](IniDocument& document) {
        return writeRecord(document, settingstable::optionRows(), held);
    });
}

SkinSettings SettingsStore::loadSkin() const
{
    const IniDocument document = platform::IniFile(file_).load().value_or(IniDocument());
    return readRecord(document, settingstable::skinRows());
}

bool SettingsStore::saveSkin(const SkinSettings& skin) const
{
    return platform::IniFile(file_).update([&](IniDocument& document) {
        return writeRecord(document, settingstable::skinRows(), skin);
    });
}

int SettingsStore::heldFilesAtOnce(int filesAtOnce)
{
    return std::clamp(filesAtOnce, 1, convert::ConversionQueue::processorCount());
}

BrowseSettings SettingsStore::loadBrowse() const
{
    const IniDocument document = platform::IniFile(file_).load().value_or(IniDocument());
    return readRecord(document, settingstable::browseRows());
}

bool SettingsStore::saveBrowse(const BrowseSettings& browse) const
{
    return platform::IniFile(file_).update([&](IniDocument& document) {
        return writeRecord(document, settingstable::browseRows(), browse);
    });
}

std::string SettingsStore::fallbackOutputFolder()
{
    return convert::OutputName::defaultFolder();
}

}  // namespace app
