#pragma once
// UninstallProcedure: removes an installation of Lumaret, as the uninstaller's worker thread runs
// it. It reports each stage through a callback (the dialog turns each report into a posted
// WM_UNINSTALL_PROGRESS with the stage as wParam and the value as lParam):
//   NoList   0   there is no list (never installed, or removed already): nothing was removed
//   Range    n+5 the number of steps that follow
//   Step     0   one step done
//   Finished 0   the normal end
//   ListUnreadable 0  the list is there but could not be read (a FIFO, a folder, no permission,
//                oversized): nothing was removed
// The steps: run `lumaret-shellext unregister` from the install folder (to its end); remove
// every file of the list that the installation owns (UninstallScope), then the list; remove our
// entry from the desktop folder; our menu entries; the hicolor icons and the "lumaret" link,
// then refresh the desktop database; last, the install folder's empty subfolders depth-first and
// the folder itself when it is empty, then what the installer noted it created outside
// (UninstallScope::kCreatedName, read before the list's files go): a desktop database that names
// no program any more, and each noted folder, deepest first, when it is empty (UninstallScope::
// createdLeftover decides which lines may be taken at all). A count below 1 ends at once
// (Finished) and removes nothing.
//
// Nothing but unlink() removes a file, so a link is removed as a link and a folder never through
// the list. A file that cannot be removed is named in the debug output and left. Files nobody
// listed stay, with the folders that hold them; the settings file is never touched.
//
// Threads: constructed on the window thread, run() on a KXThread; the callback is called on the
// thread that runs run().
#include "app/UninstallScope.h"
#include "kxlib/KXRunable.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace app {

enum class UninstallStage : int { NoList = 0, Range = 1, Step = 2, Finished = 3, ListUnreadable = 4 };

class UninstallProcedure : public KXLib::KXRunable {
public:
    using Progress = std::function<void(UninstallStage stage, long value)>;
    // Steps counted beside the list's lines in the Range report.
    static constexpr int kFixedSteps = 5;
    static constexpr const char* kHelperName = "lumaret-shellext";

    // `installFolder` is the folder of the uninstaller's own executable.
    UninstallProcedure(std::filesystem::path installFolder, Progress progress);
    ~UninstallProcedure() override;

    void run() override;

    // What the last run refused: the list lines that name no file of ours. For the debug output
    // and the tests; read it after the thread has been joined.
    const std::vector<std::string>& refusedLines() const { return refused_; }

private:
    void report(UninstallStage stage, long value = 0);
    void unregisterMenus();
    void removeListedFiles(const std::vector<std::string>& lines);
    void removeDesktopFolderEntry();
    void removeMenuEntries();
    void removeIconsAndLink();
    void refreshDesktopDatabase();
    void removeEmptyFolders();
    void removeCreatedLeftovers(const std::vector<std::string>& lines);
    bool entryIsOurs(const std::filesystem::path& entry) const;
    void removeFile(const std::filesystem::path& file);

    std::filesystem::path installFolder_;
    Progress progress_;
    std::vector<std::string> refused_;
    // Worked out afresh at the start of each run, from the environment of that moment.
    std::optional<UninstallScope> scope_;
};

}  // namespace app
