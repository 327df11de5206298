#pragma once
// CProfile2Dialog: the modal profile chooser behind the conversion list's "修改方案". It shows its
// own read-only copy of the profile tree, read afresh from both profile files (nothing is written,
// no catalogue is built), the chosen profile's name and its 15 properties. "确定" (and Enter)
// returns the record shown; "取消", the close button and Escape return nothing.
//
// Use: construct, set chosenName to the row's profileName, doModal(); on IDOK copy chosenProfile.
// A chosenName that names no profile preselects the default profile (the first profile when none
// is marked), so OK never hands back an empty record while profiles exist.
//
// Threads: window thread only. Ownership: on the caller's stack for one modal run.
#include "kxlib/ui/CSkinDialog.h"
#include "platform/gui/EditBox.h"
#include "platform/gui/Label.h"
#include "platform/gui/TreeView.h"
#include "profile/ProfileTree.h"
#include "profile/page/ProfileTreeView.h"
#include "profile/page/profileList.h"

#include <filesystem>
#include <memory>
#include <string>

namespace profile {

class CProfile2Dialog : public app::CSkinDialog {
public:
    static constexpr int kWidth = 596;
    static constexpr int kHeight = 392;
    static constexpr int kTreeId = 1012;
    static constexpr int kNameBoxId = 1016;
    static constexpr const char* kTitle = "修改转换方案";

    // Reads the profile files of `dataDirectory` (the program's data folder when empty).
    explicit CProfile2Dialog(HWND owner = nullptr, std::filesystem::path dataDirectory = {});
    ~CProfile2Dialog() override;

    // In: the profileName to preselect. Afterwards: the name of the profile shown.
    std::string chosenName;
    // Out: the record shown when the dialog ended with OK (a fresh record until then).
    ProfileRecord chosenProfile;

    // The file manager's menu setting, for row 14 of the list, as the profile page shows it.
    bool contextMenuEnabled = false;

    // Shows a node as a click on it does; category nodes change nothing.
    void clickNode(const ProfileNode* node);
    const ProfileNode* chosenNode() const { return chosenNode_; }
    const ProfileTree& tree() const { return tree_; }
    platform::TreeView* treeView() const { return treeControl_.get(); }
    platform::EditBox* nameBox() const { return nameBox_.get(); }

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void onInitDialog() override;
    void paintBackground(platform::DeviceContext& dc, const RECT& client) override;
    // Hands back the record shown, as the "确定" button does.
    void onOK() override;

private:
    void createControls();
    void readTree();
    void show(const ProfileNode* node);

    std::filesystem::path dataDirectory_;
    ProfileTree tree_;
    const ProfileNode* chosenNode_ = nullptr;
    std::unique_ptr<platform::TreeView> treeControl_;
    std::unique_ptr<ProfileTreeView> treeView_;
    std::unique_ptr<platform::Label> nameLabel_;
    std::unique_ptr<platform::EditBox> nameBox_;
    KXLib::KXSmartPtr<profileList> list_;
    platform::Image icon_;
};

}  // namespace profile
