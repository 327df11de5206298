#pragma once
// ShellMenus: the context-menu entries of the file managers, written and removed by
// `lumaret-shellext register` and `unregister`. Each entry runs
//   "<lumaret-shellext>" convert [--media-only] --id=<identifier> <the selected files>
// where the identifier names the profile (ShellMenuText); the files always arrive as separate
// arguments, never inside a command text of ours.
//
// Formats (each written only when the file manager is installed or has its folders in the home):
//   Nautilus    $XDG_DATA_HOME/nautilus/scripts/Lumaret/<label>    executable scripts; the folder
//   Caja        $XDG_CONFIG_HOME/caja/scripts/Lumaret/<label>      is the submenu "Lumaret"; these
//                                                                  menus filter no types, so their
//                                                                  entries pass --media-only
//   Nemo        $XDG_DATA_HOME/nemo/actions/lumaret-NNN.nemo_action   no submenus: "Lumaret: " labels
//   Dolphin     $XDG_DATA_HOME/kio/servicemenus/lumaret.desktop       executable, X-KDE-Submenu
//   Thunar      $XDG_CONFIG_HOME/Thunar/uca.xml                       merged (ThunarActions)
//   PCManFM-Qt  $XDG_DATA_HOME/file-manager/actions/lumaret.desktop (the menu) and lumaret-NNN.desktop
//
// What is ours: every file we write carries kMarkerLine in its first two lines, and only files
// that do are ever removed or replaced; a file of the user's that stands where an entry would go
// is left alone and reported. Folders that register had to create are noted in a state file and
// unregister removes them again when they are empty, so the folders are left as they were.
//
// Threads: one thread; callers hold the data folder lock across install() and uninstall() so that
// two helpers never interleave their changes (the front end does).
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace profile {
class ProfileTree;
}

namespace app {

// One menu entry: the label the menu shows and the identifier of its selector.
struct ShellMenuEntry {
    std::string label;
    std::string identifier;
};

class ShellMenus {
public:
    static constexpr const char* kMarkerLine =
        "# Written by lumaret-shellext register; lumaret-shellext unregister removes it.";

    struct Folders {
        std::filesystem::path dataHome;    // $XDG_DATA_HOME, else ~/.local/share
        std::filesystem::path configHome;  // $XDG_CONFIG_HOME, else ~/.config
        std::filesystem::path stateFile;   // the list of folders (and files) register created
        // The folders of the user running the program; the state file lives in the data folder.
        static Folders ofUser();
    };

    // `helperPath` is the absolute path of lumaret-shellext, which every entry runs.
    ShellMenus(Folders folders, std::string helperPath);

    // The entries for a profile tree: the profiles whose inContextMenu flag is set, in the tree's
    // order, then "自定义转换". A profile named "自定义转换" is left out (that selector always
    // means custom conversion).
    static std::vector<ShellMenuEntry> entriesFor(const profile::ProfileTree& tree);

    // Replaces our entries by `entries` in every format whose file manager is present, and takes
    // ours out of the others. Does what it can; each thing it could not do is one line on `err`,
    // and the result is then false. The user's own entries are never touched.
    bool install(const std::vector<ShellMenuEntry>& entries, std::ostream& err);

    // Removes every entry of ours and the folders register created (when they are empty again).
    // False, with a line on `err` for each, when something could not be removed.
    bool uninstall(std::ostream& err);

    // Whether any entry of ours exists (the registered state the options page compares with its
    // setting).
    bool installed() const;

    // What there is of each file manager: whether it was found (installed, or its folders are in
    // the home), which is when install() writes its entries, and whether entries of ours exist.
    struct FileManagerState {
        std::string fileManager;
        bool found = false;
        bool entries = false;
    };
    // Every file manager with a menu format, in a fixed order (Thunar last).
    std::vector<FileManagerState> fileManagers() const;

private:
    struct MenuFile {
        std::string name;
        std::string content;
        bool executable = false;
    };
    struct FolderFormat {
        const char* fileManager;
        std::filesystem::path folder;
        std::vector<std::filesystem::path> signs;  // any of these existing means the user has it
        const char* program;                       // or this program on PATH
        std::vector<MenuFile> (ShellMenus::*files)(const std::vector<ShellMenuEntry>&) const;
    };

    std::vector<FolderFormat> folderFormats() const;
    std::filesystem::path thunarFile() const;
    bool present(const FolderFormat& format) const;
    bool thunarPresent() const;
    bool thunarHoldsOurs() const;

    std::vector<MenuFile> scriptFiles(const std::vector<ShellMenuEntry>& entries, bool mediaOnly) const;
    std::vector<MenuFile> nautilusFiles(const std::vector<ShellMenuEntry>& entries) const;
    std::vector<MenuFile> nemoFiles(const std::vector<ShellMenuEntry>& entries) const;
    std::vector<MenuFile> dolphinFiles(const std::vector<ShellMenuEntry>& entries) const;
    std::vector<MenuFile> pcmanfmFiles(const std::vector<ShellMenuEntry>& entries) const;
    std::string command(const ShellMenuEntry& entry, const char* options, const char* files) const;

    bool removeOurFiles(const std::filesystem::path& folder, std::ostream& err) const;
    bool writeFiles(const FolderFormat& format, const std::vector<MenuFile>& files, std::ostream& err);
    bool mergeThunar(const std::vector<ShellMenuEntry>& entries, bool write, std::ostream& err);
    bool createFolder(const std::filesystem::path& folder, std::ostream& err);
    bool saveState(std::ostream& err) const;
    std::vector<std::filesystem::path> readState() const;
    bool removeCreated(std::ostream& err) const;

    Folders folders_;
    std::string helperPath_;
    std::string commandWord_;                      // the helper's path quoted; empty when it cannot be
    std::vector<std::filesystem::path> created_;   // what this run created, in order
};

}  // namespace app
