#pragma once
// CProfileChooser: a small skinned box listing every profile by name, for changing the profile of
// one row of the conversion list. The profile it starts on is selected; "确定" (or Enter, or a
// double click) takes the selected profile, "取消", Escape and the close button keep the row's.
// It only reads the profiles; editing them is the profile page's work.
//
// Threads: window thread only.
#include "app/page/CSkinDialog.h"
#include "kxlib/ui/KXListCtrl.h"
#include "profile/ProfileRecord.h"
#include "profile/ProfileTree.h"

#include <string>
#include <vector>

namespace profile {

class CProfileChooser : public app::CSkinDialog {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 380;
    static constexpr const char* kTitle = "选择转换方案";

    // Copies every profile of `tree` (in the tree's order); `currentName` is selected at the start.
    CProfileChooser(const ProfileTree& tree, const std::string& currentName, HWND owner = nullptr);
    ~CProfileChooser() override;

    // Runs the box; true, with the chosen profile's record, when the user took one.
    bool choose(ProfileRecord& chosen);

    const std::vector<std::string>& names() const { return names_; }
    int selectedRow() const;
    void selectRow(int row);
    // The record of the selected row after "确定"; false when the box was cancelled.
    bool chosenRecord(ProfileRecord& out) const;

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;

protected:
    void onInitDialog() override;
    void paintBackground(platform::DeviceContext& dc, const RECT& client) override;
    void onOK() override;

private:
    std::vector<ProfileRecord> records_;
    std::vector<std::string> names_;
    int initialRow_ = -1;
    int chosenRow_ = -1;
    KXLib::KXSmartPtr<KXLib::KXListCtrl> list_;
};

}  // namespace profile
