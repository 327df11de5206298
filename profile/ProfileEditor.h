#pragma once
// The rules of the profile editor, without a window: the current profile and its working copy,
// the browsing and composing states, the in-place values stored into the working copy, and add,
// delete, accept and revert with their questions and messages (through platform::showMessage,
// whose answer is tested only for "no"). The profile page is a thin view over this class: it
// shows the store's tree and the working copy and forwards the user's actions here.
//
// Beyond the plain rules the editor keeps the tree sound:
//  - a profile moved to another category takes its whole subtree along, at every depth; a move
//    into its own subtree is refused;
//  - a profile whose subtree holds the default profile is not deleted;
//  - every save first marks the first profile in pre-order as the default when the tree has none,
//    so a tree never stays without a default past the next save;
//  - a name longer than 99 characters is refused, never cut;
//  - a renamed profile's child profiles follow it (their categoryName takes the new name), so the
//    next start rebuilds the same tree.
//
// Ownership: the store belongs to the caller and must outlive the editor. Node pointers handed out
// stay valid until the node is deleted (deleteProfile), and nodes are moved, never re-created.
// Threads: the window thread only.
#include "profile/ProfileRowEditors.h"
#include "profile/ProfileStore.h"

#include <string>

namespace profile {

// What a view of the editor must follow. Called synchronously from the editor's operations.
class ProfileEditorListener {
public:
    virtual ~ProfileEditorListener() = default;
    // The tree's nodes changed (added, moved, renamed, deleted, another icon): show it afresh.
    virtual void profileTreeChanged() {}
    // An edit of an existing profile was accepted (the main window's WM_PROFILE_SAVED).
    virtual void profileSaved() {}
    // Both profile files were written (after an add, a delete or an accepted edit): whatever is
    // made from the files, such as the file manager's menus, is brought up to date now.
    virtual void profilesStored() {}
    // The tree holds no profile any more; the program cannot go on.
    virtual void profileTreeEmpty() {}
};

class ProfileEditor {
public:
    static constexpr const char* kReservedName = "自定义转换";
    static constexpr const char* kAskSaveOnSwitch = "当前配置已经被修改,是否保存对当前方案的配置修改?";
    static constexpr const char* kAskSave = "是否保存对当前方案的配置修改?";
    static constexpr const char* kAskDropNew = "您是否确定放弃本次新增的方案?";
    static constexpr const char* kAskDropChanges = "当前方案已经被改变,您是否确定放弃保存本次修改?";
    static constexpr const char* kReservedNameRefused = "对不起, 使用的方案名为系统保留名!";
    static constexpr const char* kNameTaken = "对不起, 使用的方案名已经存在!";
    static constexpr const char* kNameTooLong = "对不起, 方案名不能超过99个字符!";
    static constexpr const char* kEmptyCategory = "类别名不能为空!";
    static constexpr const char* kEmptyName = "方案名不能为空!";
    static constexpr const char* kNameIsCategory = "方案名与类别名不能相同!";
    static constexpr const char* kNewNameTaken = "使用的方案名已经存在,请重新选择!";
    static constexpr const char* kKeepDefault = "您取消了当前方案做为默认的转换方案,系统必须存在一个默认的转换方案!";
    static constexpr const char* kMoveIntoItself = "对不起, 方案不能移到它自己或它的子方案之下!";
    // printf-style, %s the profile's name; the second has the default profile's name as well.
    static constexpr const char* kDefaultNotDeleted = "对不起,方案 %s 为系统默认的转换方案,不允许删除!";
    static constexpr const char* kHoldsDefault = "对不起,方案 %s 之下有系统默认的转换方案 %s,不允许删除!";
    static constexpr const char* kAskDelete = "您是否确定删除方案 %s ?";

    ProfileEditor(ProfileStore& store, ProfileEditorListener* listener = nullptr);

    // Starts on the default profile (the first profile when none is marked); false when the tree
    // holds no profile.
    bool start();

    // The setting that offers profiles in the file manager's menu (row 14).
    void setContextMenuEnabled(bool enabled) { contextMenuEnabled_ = enabled; }
    bool contextMenuEnabled() const { return contextMenuEnabled_; }

    ProfileNode* currentNode() const { return current_; }
    const ProfileRecord& workingCopy() const { return working_; }
    bool isComposing() const { return addingNew_; }
    // Whether any of the working copy's 516 bytes differs from the current profile's record.
    bool isModified() const;

    // A click on a tree node (null: no node). Ignored while composing and for category nodes.
    void clickNode(ProfileNode* node);
    void selectProfileByName(std::u16string_view name);

    // In-place editing of the working copy. Each returns whether the working copy changed.
    RowEditor editorFor(int row) const;
    bool commitValue(int row, const std::string& text);
    bool commitChoice(int row, int index);
    bool commitName(const std::string& text);

    // The main window's four operations. acceptProfile returns whether the working copy was stored.
    void addProfile();
    void deleteProfile();
    bool acceptProfile();
    void revertProfile();

    // The default node, or the first profile in pre-order when none is marked; null for no profile.
    ProfileNode* defaultOrFirst() const;

private:
    void show(ProfileNode* node);
    // Places the current node (or a new one) under the working copy's category; null when refused.
    ProfileNode* placeNode(bool isNew);
    void renameCurrent(const std::u16string& name);
    bool validate();
    void applyDefaultRule();
    void save();
    bool yes(const std::string& question) const;
    void treeChanged();

    ProfileStore& store_;
    ProfileEditorListener* listener_;
    ProfileNode* current_ = nullptr;
    ProfileRecord working_;
    bool addingNew_ = false;
    bool contextMenuEnabled_ = false;
};

}  // namespace profile
