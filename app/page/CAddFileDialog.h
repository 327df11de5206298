#pragma once
// CAddFileDialog: the add-files page, shown under the "convert" tab in add mode. The user gathers
// files in a list (by the file chooser, a whole folder, drops, or the command file's custom mode),
// picks one profile for all of them in the profile tree and may change the output folder; the
// main window's "accept" then moves every file into the conversion list with that profile and
// folder. The page is a thin view: what is gathered, the choice, the checks and the accept
// preparation are GatheredFiles'; the profiles shown are a ProfileSnapshot read again each time
// the page is shown.
//
// The file and folder choosers are AddFileChoosers, replaceable so tests choose without a desktop.
// The options and profiles come from its host (the main window); without a host the page uses no
// options and remembers no profile.
//
// Ownership: a member of the main window (disposed); it owns its list, native controls and
// snapshot; the host must outlive it. Threads: window thread only.
#include "app/GatheredFiles.h"
#include "app/page/AddFilePageHost.h"
#include "app/ProfileSnapshot.h"
#include "kxlib/ui/CPageDialog.h"
#include "kxlib/ui/KXButtonRow.h"
#include "app/page/addFileList.h"
#include "platform/gui/TreeView.h"
#include "profile/page/ProfileTreeView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class EditBox;
class Label;
}  // namespace platform

namespace app {

// The desktop's file and folder choosers as the page asks for them; empty answers mean cancelled.
class AddFileChoosers {
public:
    virtual ~AddFileChoosers() = default;
    // Both open in `startFolder`; empty results mean the user cancelled.
    virtual std::vector<std::string> chooseFiles(HWND owner, const std::string& startFolder);
    virtual std::string chooseFolder(HWND owner, const std::string& startFolder);
};

class CAddFileDialog : public CPageDialog {
public:
    static constexpr int kTreeId = 1012;
    static constexpr int kOutputFolderId = 1006;
    static constexpr int kChosenProfileId = 1016;
    static constexpr int kTreeWidth = 200;
    static constexpr const char* kFileFilter = "媒体文件 (*)";

    explicit CAddFileDialog(AddFilePageHost* host = nullptr);
    ~CAddFileDialog() override;

    // Null restores the desktop's choosers. The choosers must outlive their use.
    void setChoosers(AddFileChoosers* choosers);

    // Adds one file (a failure is told with the error icon) and repaints the main window.
    void addFile(const std::string& path);
    // Adds chosen or dropped files in order, repainting once at the end.
    void addFiles(const std::vector<std::string>& paths);
    // Adds the files of one folder, not its subfolders; see GatheredFiles::addFolder.
    GatheredFiles::FolderResult addFolder(const std::string& folder);
    // Deletes the selected row; nothing when no row is selected.
    void deleteSelected();
    // Validates the gathered files and prepares one job per file with the chosen profile, the
    // output folder of the edit and the settings' naming choice; false refuses the accept (empty
    // list, told). Saves the chosen profile as the last used one.
    bool prepareForAccept();
    // The files prepareForAccept() built, in row order; the conversion list copies them.
    const std::vector<convert::QueuedFile>& preparedFiles() const { return files_.preparedFiles(); }
    // Empties the list (and the prepared jobs).
    void clearAll();
    // Asks whether to drop the gathered files; false keeps the page.
    bool confirmReturn();
    // A profile was saved in the editor: the chosen profile takes its new record.
    void profileSaved(const std::string& name, const profile::ProfileRecord& record);

    // The "add-file", "add-folder", "add-browse" and "add-config" buttons.
    void clickButton(const std::string& name);
    // A click on the tree item of `name` (as the user would), for the page's callers and tests;
    // false when the tree shows no such item.
    bool clickProfile(const std::string& name);

    const GatheredFiles& files() const { return files_; }
    const std::string& chosenProfileName() const { return files_.chosenName(); }
    const profile::ProfileRecord& chosenProfile() const { return files_.chosenProfile(); }
    std::string outputFolderText() const;
    void setOutputFolderText(const std::string& folder);
    // The texts of the tree's items in pre-order (empty while the page is hidden), and the
    // selected one's.
    std::vector<std::string> treeTexts() const;
    std::string selectedTreeText() const;
    addFileList& list() { return *list_; }

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void onInitPage() override;
    void paintPage(platform::DeviceContext& dc, const RECT& client) override;

private:
    using ButtonRow = KXLib::KXButtonRow<CAddFileDialog>;
    static const std::vector<ButtonRow>& buttonRows();
    void createButtons();
    void createNativeControls();
    // Page shown: the tree from the files, the choice, the output folder of the settings.
    void onShown();
    // Page hidden: the tree's items go (the list stays).
    void onHidden();
    void rebuildTree();
    void onTreeNotify(int code);
    void chooseItem(platform::HTREEITEM item);
    void refreshEdits();
    void rowsChanged();
    void onAddFile();
    void onAddFolder();
    void onBrowse();
    void onConfig();

    AddFilePageHost* host_;
    GatheredFiles files_;
    std::unique_ptr<ProfileSnapshot> profiles_;
    KXLib::KXSmartPtr<addFileList> list_;
    std::unique_ptr<platform::TreeView> tree_;
    std::unique_ptr<profile::ProfileTreeView> treeView_;  // shows the snapshot in tree_
    std::unique_ptr<platform::EditBox> outputEdit_;
    std::unique_ptr<platform::EditBox> chosenEdit_;
    std::vector<std::unique_ptr<platform::Label>> labels_;
    AddFileChoosers desktopChoosers_;
    AddFileChoosers* choosers_ = &desktopChoosers_;
    // Set while the tree is refilled, when selection reports are the page's own doing.
    bool rebuilding_ = false;
};

}  // namespace app
