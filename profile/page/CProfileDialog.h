#pragma once
// CProfileDialog: the profile page and the owner of the program's profile tree. On the left the
// native tree of categories and profiles, on the right the property list of the current profile;
// a click on a value opens an in-place editor (an editable combo box, a drop-down list or the name
// edit box) over the cell. The editor commits on another click (on the page, the tree, the list
// or the main window's surface), on Enter and when it loses the keyboard focus; Escape closes it
// unchanged. Every editor takes the keyboard focus when it opens, so the user can type and press
// Enter or Escape at once. The main window's toolbar calls add, delete, accept and revert.
//
// The page is a thin view: every rule lives in ProfileEditor (the engine), the page only shows its
// state and forwards events. At start-up it loads both profile files through the store (catalogue,
// default repair, save); it saves them once more when it goes. The other pages look profiles up
// through it.
//
// Threads: window thread only.
#include "kxlib/ui/CPageDialog.h"
#include "platform/gui/ComboBox.h"
#include "platform/gui/EditBox.h"
#include "platform/gui/TreeView.h"
#include "profile/ProfileEditor.h"
#include "profile/ProfileStore.h"
#include "profile/page/ProfileTreeView.h"
#include "profile/page/profileList.h"

#include <memory>
#include <string>

namespace profile {

class CProfileDialog : public app::CPageDialog, private ProfileEditorListener {
public:
    static constexpr int kTreeId = 1012;
    static constexpr int kValueComboId = 1014;
    static constexpr int kChoiceListId = 1020;
    static constexpr int kNameEditId = 1006;
    static constexpr int kTreeWidth = 235;
    static constexpr RECT kListRect{236, 0, 613, 355};
    static constexpr const char* kListName = "profile-list";
    static constexpr const char* kNoProfiles = "读取配置文件失败,请重新安装程序或联系我们!";

    CProfileDialog();
    // Saves both profile files.
    ~CProfileDialog() override;

    // Loads the profiles as the page does at start-up; false when no profile exists at all (the
    // program cannot convert anything then). Runs once; createPage() calls it.
    bool loadProfiles();
    bool hasProfiles() const { return loaded_; }

    // The lookups of the other pages; null when there is no such profile. Copy the record whole.
    const ProfileRecord* findProfileByName(const std::string& utf8Name) const;
    const ProfileRecord* defaultProfile() const;
    const ProfileRecord* lastUsedProfile() const;
    // The default profile's name, or empty when there is none.
    std::string defaultProfileName() const;

    // The main window's operations; each first commits an open in-place editor.
    void addProfile();
    void deleteProfile();
    void acceptProfile();
    void revertProfile();
    // Commits and closes an open in-place editor; nothing when none is open.
    void commitEdit();
    // Closes an open in-place editor without storing its value.
    void cancelEdit();
    // Shows the named profile (without asking about unsaved changes).
    void selectProfileByName(const std::string& utf8Name);
    // The name of the current profile's stored record and a copy of the working copy; false while
    // no profile is shown.
    bool currentProfile(std::string& name, ProfileRecord& record) const;
    // The file manager's menu setting (row 14 of the list).
    void setContextMenuEnabled(bool enabled);

    // Opens the in-place editor of a row, as a click on its value cell does.
    void openEditor(int row);
    // The row of the open editor, -1 when none is open.
    int openRow() const { return open_ == RowEditor::Kind::None ? -1 : editRow_; }

    ProfileStore& store() { return store_; }
    const ProfileStore& store() const { return store_; }
    ProfileEditor& editor() { return editor_; }
    platform::TreeView* treeView() const { return tree_.get(); }
    platform::ComboBox* valueCombo() const { return valueCombo_.get(); }
    platform::ComboBox* choiceList() const { return choiceList_.get(); }
    platform::EditBox* nameEdit() const { return nameEdit_.get(); }
    KXLib::KXSmartPtr<profileList> propertyList() const { return list_; }

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void onInitPage() override;
    void paintPage(platform::DeviceContext& dc, const RECT& client) override;

private:
    void createControls();
    void layout();
    void showCurrent();
    void onTreeClick();
    void onListClick(LPARAM lParam);
    bool onCommand(WPARAM wParam, LPARAM lParam);
    bool onNotify(WPARAM wParam, LPARAM lParam);
    void placeEditor(platform::NativeControl& control, int row, bool focus);

    // ProfileEditorListener
    void profileTreeChanged() override;
    void profileSaved() override;
    void profilesStored() override;
    void profileTreeEmpty() override;

    ProfileStore store_;
    ProfileEditor editor_;
    bool loaded_ = false;
    bool loadTried_ = false;
    bool contextMenuEnabled_ = false;

    std::unique_ptr<platform::TreeView> tree_;
    std::unique_ptr<ProfileTreeView> treeView_;
    std::unique_ptr<platform::ComboBox> valueCombo_;
    std::unique_ptr<platform::ComboBox> choiceList_;
    std::unique_ptr<platform::EditBox> nameEdit_;
    KXLib::KXSmartPtr<profileList> list_;
    RowEditor::Kind open_ = RowEditor::Kind::None;
    int editRow_ = -1;
};

}  // namespace profile
