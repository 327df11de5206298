#pragma once
// UninstallScope: the files an installation of Lumaret may own, so that the uninstaller removes
// nothing else whatever its list says. A list is plain text in a folder the user can write; a
// damaged or hostile line must never delete a user's file.
//
// An installation owns the files strictly inside its install folder (not the folder itself) and
// the fixed entries the installer writes outside it: the two menu entries and the hicolor icons
// in the user's data folder ($XDG_DATA_HOME) and in /usr/local/share, the desktop folder's entry,
// and the "lumaret" link in ~/.local/bin and /usr/local/bin. The settings file is never owned,
// even when it happens to lie inside the install folder, and neither is anything in the program's
// data folder ("data/" in the install folder, or the one LUMARET_DATA_DIR names): the user's
// profiles live there, and the installer never writes into it. When the install folder is "/", the home
// folder or a folder above it, nothing inside it is owned: such a folder is no installation.
//
// Paths are judged after resolving the links of the folders that lead to them (a link inside the
// install folder cannot lead a deletion out of it); the last component is not followed, so a link
// is removed as a link.
//
// Threads: any thread; the scope is immutable once built.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

class UninstallScope {
public:
    // The icon sizes the installer writes into the hicolor theme ("<n>x<n>/apps/lumaret.png"); the
    // install rules use the same list.
    static constexpr std::array<int, 4> kIconSizes{16, 32, 48, 256};
    static constexpr const char* kMenuEntry = "Lumaret.desktop";
    static constexpr const char* kUninstallEntry = "卸载Lumaret.desktop";
    static constexpr const char* kLinkName = "lumaret";
    static constexpr const char* kListName = "uninstall.txt";
    // The installer's note of what it created that is shared with other programs: the folders it
    // had to make and the desktop database (below). Same format as the list.
    static constexpr const char* kCreatedName = "uninstall-created.txt";
    // The desktop database that update-desktop-database writes into an applications folder.
    static constexpr const char* kDesktopDatabase = "mimeinfo.cache";

    // The scope of the installation in `installFolder` (absolute), with the outside entries
    // worked out from the environment now (HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and the desktop
    // folder of user-dirs.dirs).
    static UninstallScope forInstallFolder(const std::filesystem::path& installFolder);

    // The install folder with its links resolved.
    const std::filesystem::path& installFolder() const { return installFolder_; }
    std::filesystem::path listFile() const { return installFolder_ / kListName; }
    std::filesystem::path createdFile() const { return installFolder_ / kCreatedName; }
    // Every fixed entry the installer may have written outside the install folder (resolved).
    const std::vector<std::filesystem::path>& outsideEntries() const { return outside_; }
    // The data folders whose applications/ the installer writes into ($XDG_DATA_HOME first).
    const std::vector<std::filesystem::path>& dataFolders() const { return dataFolders_; }
    // The folders that may hold the "lumaret" link (~/.local/bin first).
    const std::vector<std::filesystem::path>& linkFolders() const { return linkFolders_; }
    // The user's desktop folder; empty when there is none apart from the home folder itself.
    const std::filesystem::path& desktopFolder() const { return desktopFolder_; }
    // Whether files inside the install folder may be owned (false for "/", home and above).
    bool ownsInside() const { return insideOwned_; }
    // The longest line taken for a path: the system's own limit on a path (PATH_MAX less its end).
    static constexpr std::size_t kMaxPathBytes = 4095;

    // The path to remove for a list line (already trimmed): the line's path with its folders'
    // links resolved, when the line is an absolute, normal path ('.' and '..' free) of a file this
    // installation owns. Nothing, with the reason in *reason when given, otherwise.
    std::optional<std::filesystem::path> owned(const std::string& line, std::string* reason = nullptr) const;

    // A line of the installer's note of created things, when it may be removed once empty: the
    // desktop database of one of dataFolders(), or a folder that leads to the install folder or
    // to one of outsideEntries() (~/.local/opt, a hicolor size folder, ~/.local/bin ...), but
    // never the home folder, a folder above it, the desktop folder or the user's data folders.
    // The path has its folders' links resolved. Removing stays the caller's care: a folder only
    // when it is empty, the database only when it names no program.
    std::optional<std::filesystem::path> createdLeftover(const std::string& line) const;

    // The user's desktop folder by the XDG rules: XDG_DESKTOP_DIR of user-dirs.dirs, else
    // ~/Desktop. Empty when that is the home folder itself (the rules' way of saying "none").
    static std::filesystem::path userDesktopFolder();

private:
    UninstallScope() = default;
    bool insideInstallFolder(const std::filesystem::path& resolved) const;

    std::filesystem::path installFolder_;
    std::filesystem::path home_;
    bool insideOwned_ = false;
    std::filesystem::path settingsFile_;
    std::vector<std::filesystem::path> dataFoldersOfUser_;
    std::vector<std::filesystem::path> outside_;
    std::vector<std::filesystem::path> dataFolders_;
    std::vector<std::filesystem::path> linkFolders_;
    std::filesystem::path desktopFolder_;
};

}  // namespace app
