#include "app/ShellMenus.h"

#include "app/CommandFile.h"
#include "app/ShellMenuText.h"
#include "app/ThunarActions.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/Paths.h"
#include "platform/core/RegularFile.h"
#include "profile/ProfileTree.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

namespace fs = std::filesystem;

// Files of ours are a few hundred bytes; a larger file in their place is not ours.
constexpr uint64_t kMaxMenuFileBytes = 1024 * 1024;
// Thunar's file holds the user's actions; a file over this size is not one Thunar wrote.
constexpr uint64_t kMaxThunarFileBytes = 16 * 1024 * 1024;
constexpr const char* kStateFileName = "shellext-created.txt";
constexpr const char* kIcon = "video-x-generic";
constexpr const char* kMediaTypes = "video/*;audio/*;";

fs::path xdgFolder(const char* variable, const char* belowHome)
{
    const char* value = std::getenv(variable);
    // A relative path in these variables is invalid by the XDG rules and is ignored.
    if (value && *value == '/')
        return value;
    return platform::Paths::homeDirectory() / belowHome;
}

bool pathExists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Whether a file is one of ours: a regular file (not a link) whose first or second line is the
// marker.
bool isOurFile(const fs::path& file)
{
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(file, error)))
        return false;
    std::string bytes;
    if (platform::RegularFile::read(file, kMaxMenuFileBytes, bytes) != platform::RegularFileStatus::Ok)
        return false;
    const std::string marker = std::string(ShellMenus::kMarkerLine) + "\n";
    if (bytes.starts_with(marker))
        return true;
    const std::size_t firstLineEnd = bytes.find('\n');
    return firstLineEnd != std::string::npos && bytes.compare(firstLineEnd + 1, marker.size(), marker) == 0;
}

bool holdsOurFile(const fs::path& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return false;
    for (const fs::directory_entry& item : fs::directory_iterator(folder, error))
        if (isOurFile(item.path()))
            return true;
    return false;
}

std::string numbered(const char* prefix, std::size_t index, const char* suffix)
{
    char number[16];
    std::snprintf(number, sizeof number, "%03zu", index);
    return prefix + std::string(number) + suffix;
}

std::string systemReason()
{
    return std::strerror(errno);
}

}  // namespace

ShellMenus::Folders ShellMenus::Folders::ofUser()
{
    return {xdgFolder("XDG_DATA_HOME", ".local/share"), xdgFolder("XDG_CONFIG_HOME", ".config"),
            platform::Paths::dataDirectory() / kStateFileName};
}

ShellMenus::ShellMenus(Folders folders, std::string helperPath)
    : folders_(std::move(folders))
    , helperPath_(std::move(helperPath))
    , commandWord_(ShellMenuText::commandWord(helperPath_).value_or(std::string()))
{
}

std::vector<ShellMenuEntry> ShellMenus::entriesFor(const profile::ProfileTree& tree)
{
    std::vector<ShellMenuEntry> entries;
    tree.findInPreOrder([&](const profile::ProfileNode& node) {
        const profile::ProfileRecord* record = node.record();
        if (!record || !record->inContextMenu)
            return false;
        const std::u16string name = profile::fieldText(record->profileName, profile::kProfileTextChars);
        if (!name.empty() && name != CommandFile::kCustomSelector)
            entries.push_back({profile::toUtf8(name), ShellMenuText::identifierOf(name)});
        return false;
    });
    entries.push_back({CommandFile::kCustomSelectorUtf8, ShellMenuText::identifierOf(CommandFile::kCustomSelector)});
    return entries;
}

std::vector<ShellMenus::FolderFormat> ShellMenus::folderFormats() const
{
    const fs::path& data = folders_.dataHome;
    const fs::path& config = folders_.configHome;
    return {
        {"Nautilus", data / "nautilus/scripts/Lumaret", {data / "nautilus"}, "nautilus", &ShellMenus::nautilusFiles},
        {"Caja", config / "caja/scripts/Lumaret", {config / "caja"}, "caja", &ShellMenus::nautilusFiles},
        {"Nemo", data / "nemo/actions", {data / "nemo", config / "nemo"}, "nemo", &ShellMenus::nemoFiles},
        {"Dolphin", data / "kio/servicemenus", {data / "kio", data / "dolphin", config / "dolphinrc"}, "dolphin",
         &ShellMenus::dolphinFiles},
        {"PCManFM-Qt", data / "file-manager/actions", {data / "file-manager", config / "pcmanfm-qt"}, "pcmanfm-qt",
         &ShellMenus::pcmanfmFiles},
    };
}

fs::path ShellMenus::thunarFile() const
{
    return folders_.configHome / "Thunar/uca.xml";
}

bool ShellMenus::present(const FolderFormat& format) const
{
    return std::any_of(format.signs.begin(), format.signs.end(), pathExists)
        || !platform::ChildProcess::findProgram(format.program).empty();
}

bool ShellMenus::thunarPresent() const
{
    return pathExists(thunarFile().parent_path()) || !platform::ChildProcess::findProgram("thunar").empty();
}

std::string ShellMenus::command(const ShellMenuEntry& entry, const char* options, const char* files) const
{
    return commandWord_ + " convert " + options + "--id=" + entry.identifier + " " + files;
}

std::vector<ShellMenus::MenuFile> ShellMenus::nautilusFiles(const std::vector<ShellMenuEntry>& entries) const
{
    // The file name is the label these menus show, so two labels that map to one name are told
    // apart by a number.
    std::vector<MenuFile> files;
    std::set<std::string> taken;
    for (const ShellMenuEntry& entry : entries) {
        std::string name = ShellMenuText::scriptFileName(entry.label);
        for (int n = 2; !taken.insert(name).second; ++n)
            name = ShellMenuText::scriptFileName(entry.label.substr(0, 200) + " (" + std::to_string(n) + ")");
        // The scripts run in the folder shown; they get the selected files as arguments, and
        // "$@" passes each one on as it came.
        files.push_back({name,
                         "#!/bin/sh\n" + std::string(kMarkerLine) + "\nexec " +
                             command(entry, "--media-only ", "\"$@\"") + "\n",
                         true});
    }
    return files;
}

std::vector<ShellMenus::MenuFile> ShellMenus::nemoFiles(const std::vector<ShellMenuEntry>& entries) const
{
    std::vector<MenuFile> files;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        files.push_back({numbered("lumaret-", i, ".nemo_action"),
                         std::string(kMarkerLine) + "\n[Nemo Action]\nActive=true\nName=" +
                             ShellMenuText::keyFileValue("Lumaret: " + entries[i].label) +
                             "\nComment=用 Lumaret 转换\nExec=" + command(entries[i], "", "%F") +
                             "\nIcon-Name=" + kIcon + "\nSelection=notnone\nMimetypes=" + kMediaTypes + "\n"});
    }
    return files;
}

std::vector<ShellMenus::MenuFile> ShellMenus::dolphinFiles(const std::vector<ShellMenuEntry>& entries) const
{
    std::string actions;
    std::string groups;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string id = numbered("lumaret-", i, "");
        actions += id + ";";
        groups += "\n[Desktop Action " + id + "]\nName=" + ShellMenuText::keyFileValue(entries[i].label) +
                  "\nIcon=" + kIcon + "\nExec=" + command(entries[i], "", "%F") + "\n";
    }
    // Dolphin only reads service menus that are executable.
    return {{"lumaret.desktop",
             std::string(kMarkerLine) + "\n[Desktop Entry]\nType=Service\nName=Lumaret\nIcon=" + kIcon +
                 "\nMimeType=" + kMediaTypes + "\nActions=" + actions + "\nX-KDE-Submenu=Lumaret\n" + groups,
             true}};
}

std::vector<ShellMenus::MenuFile> ShellMenus::pcmanfmFiles(const std::vector<ShellMenuEntry>& entries) const
{
    std::vector<MenuFile> files;
    std::string items;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string id = numbered("lumaret-", i, "");
        items += id + ";";
        files.push_back({id + ".desktop",
                         std::string(kMarkerLine) + "\n[Desktop Entry]\nType=Action\nName=" +
                             ShellMenuText::keyFileValue(entries[i].label) + "\nIcon=" + kIcon +
                             "\nProfiles=media;\n\n[X-Action-Profile media]\nMimeTypes=" + kMediaTypes +
                             "\nExec=" + command(entries[i], "", "%F") + "\n"});
    }
    files.push_back({"lumaret.desktop", std::string(kMarkerLine) + "\n[Desktop Entry]\nType=Menu\nName=Lumaret\nIcon=" +
                                            kIcon + "\nItemsList=" + items + "\n"});
    return files;
}

bool ShellMenus::removeOurFiles(const fs::path& folder, std::ostream& err) const
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return true;
    bool ok = true;
    for (const fs::directory_entry& item : fs::directory_iterator(folder, error)) {
        if (!isOurFile(item.path()))
            continue;
        if (!fs::remove(item.path(), error) && error) {
            err << "无法删除 " << item.path().string() << " (" << error.message() << ")\n";
            ok = false;
        }
    }
    if (error) {
        err << "无法读取文件夹 " << folder.string() << " (" << error.message() << ")\n";
        return false;
    }
    return ok;
}

bool ShellMenus::createFolder(const fs::path& folder, std::ostream& err)
{
    std::vector<fs::path> missing;
    for (fs::path up = folder; !up.empty() && !pathExists(up); up = up.parent_path()) {
        missing.push_back(up);
        if (up == up.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0755) != 0 && errno != EEXIST) {
            err << "无法创建文件夹 " << it->string() << " (" << systemReason() << ")\n";
            return false;
        }
        created_.push_back(*it);
    }
    return true;
}

bool ShellMenus::writeFiles(const FolderFormat& format, const std::vector<MenuFile>& files, std::ostream& err)
{
    if (!createFolder(format.folder, err))
        return false;
    bool ok = true;
    for (const MenuFile& file : files) {
        const fs::path path = format.folder / file.name;
        // Ours were removed just before; whatever stands here now is the user's.
        if (pathExists(path)) {
            err << format.fileManager << ": 已有同名的文件, 未改动: " << path.string() << "\n";
            ok = false;
            continue;
        }
        std::string error;
        if (!platform::AtomicFile::replace(path, file.content, file.executable ? 0755 : 0644, &error)) {
            err << format.fileManager << ": " << error << "\n";
            ok = false;
        }
    }
    return ok;
}

bool ShellMenus::mergeThunar(const std::vector<ShellMenuEntry>& entries, bool write, std::ostream& err)
{
    const fs::path file = thunarFile();
    std::string document;
    const platform::RegularFileStatus status = platform::RegularFile::read(file, kMaxThunarFileBytes, document);
    const bool isNew = status == platform::RegularFileStatus::Missing;
    if (isNew && !write)
        return true;
    if (isNew) {
        document = ThunarActions::emptyDocument();
    } else if (status != platform::RegularFileStatus::Ok) {
        err << "Thunar: " << platform::RegularFile::describe(status, file) << ", 未修改\n";
        return false;
    }
    std::string actions;
    for (const ShellMenuEntry& entry : write ? entries : std::vector<ShellMenuEntry>{})
        actions += ThunarActions::action(entry.label, std::string(ThunarActions::kIdPrefix) + entry.identifier,
                                         command(entry, "", "%F"));
    std::string problem;
    const std::optional<std::string> merged = ThunarActions::merge(document, actions, &problem);
    if (!merged) {
        err << "Thunar: 无法识别 " << file.string() << " (" << problem << "), 未修改\n";
        return false;
    }
    if (!isNew && *merged == document)
        return true;
    if (isNew && !createFolder(file.parent_path(), err))
        return false;
    // A file that is a link stays one, and a replaced file keeps its permission bits.
    const fs::path target = platform::RegularFile::writeTarget(file);
    struct stat info {};
    const mode_t mode = (!isNew && ::stat(target.c_str(), &info) == 0) ? (info.st_mode & 07777) : 0644;
    std::string error;
    if (!platform::AtomicFile::replace(target, *merged, mode, &error)) {
        err << "Thunar: " << error << "\n";
        return false;
    }
    if (isNew)
        created_.push_back(file);
    return true;
}

std::vector<fs::path> ShellMenus::readState() const
{
    std::string bytes;
    std::vector<fs::path> paths;
    if (platform::RegularFile::read(folders_.stateFile, kMaxMenuFileBytes, bytes) != platform::RegularFileStatus::Ok)
        return paths;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        if (end > start)
            paths.emplace_back(bytes.substr(start, end - start));
    return paths;
}

bool ShellMenus::saveState(std::ostream& err) const
{
    std::string bytes;
    std::set<fs::path> seen;
    for (const fs::path& path : created_) {
        // A path with a newline cannot be noted; its folder is then simply left in place.
        if (path.string().find('\n') == std::string::npos && seen.insert(path).second)
            bytes += path.string() + "\n";
    }
    std::string previous;
    platform::RegularFile::read(folders_.stateFile, kMaxMenuFileBytes, previous);
    if (bytes == previous)
        return true;
    std::string error;
    if (!platform::AtomicFile::replace(folders_.stateFile, bytes, 0644, &error)) {
        err << error << "\n";
        return false;
    }
    return true;
}

bool ShellMenus::removeCreated(std::ostream& err) const
{
    // Newest first, so a folder is emptied of the folders created inside it before its own turn.
    bool ok = true;
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(*it, error);
        if (fs::is_directory(status)) {
            // A folder the user has since put something in stays.
            if (::rmdir(it->c_str()) != 0 && errno != ENOTEMPTY && errno != EEXIST && errno != ENOENT) {
                err << "无法删除文件夹 " << it->string() << " (" << systemReason() << ")\n";
                ok = false;
            }
        } else if (fs::is_regular_file(status)) {
            // Only the Thunar file we created is noted; it goes when it holds nothing but its frame.
            std::string bytes;
            platform::RegularFile::read(*it, kMaxThunarFileBytes, bytes);
            if (bytes == ThunarActions::emptyDocument())
                fs::remove(*it, error);
        }
    }
    return ok;
}

bool ShellMenus::install(const std::vector<ShellMenuEntry>& entries, std::ostream& err)
{
    if (commandWord_.empty()) {
        err << "程序路径含有菜单命令无法安全表示的字符, 未写入菜单: " << helperPath_ << "\n";
        return false;
    }
    created_ = readState();
    bool ok = true;
    for (const FolderFormat& format : folderFormats()) {
        const bool removed = removeOurFiles(format.folder, err);
        ok = removed && ok;
        if (removed && present(format))
            ok = writeFiles(format, (this->*format.files)(entries), err) && ok;
    }
    ok = mergeThunar(entries, thunarPresent(), err) && ok;
    return saveState(err) && ok;
}

bool ShellMenus::uninstall(std::ostream& err)
{
    created_ = readState();
    bool ok = true;
    for (const FolderFormat& format : folderFormats())
        ok = removeOurFiles(format.folder, err) && ok;
    ok = mergeThunar({}, false, err) && ok;
    ok = removeCreated(err) && ok;
    std::error_code error;
    fs::remove(folders_.stateFile, error);
    return ok;
}

bool ShellMenus::thunarHoldsOurs() const
{
    std::string document;
    return platform::RegularFile::read(thunarFile(), kMaxThunarFileBytes, document) == platform::RegularFileStatus::Ok
        && ThunarActions::holdsOurs(document);
}

bool ShellMenus::installed() const
{
    const std::vector<FolderFormat> formats = folderFormats();
    return std::any_of(formats.begin(), formats.end(),
                       [](const FolderFormat& format) { return holdsOurFile(format.folder); })
        || thunarHoldsOurs();
}

std::vector<ShellMenus::FileManagerState> ShellMenus::fileManagers() const
{
    std::vector<FileManagerState> states;
    for (const FolderFormat& format : folderFormats())
        states.push_back({format.fileManager, present(format), holdsOurFile(format.folder)});
    states.push_back({"Thunar", thunarPresent(), thunarHoldsOurs()});
    return states;
}

}  // namespace app
