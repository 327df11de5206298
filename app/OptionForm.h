#pragma once
// OptionForm: the options page without its window. It owns the program's OptionSettings, the
// state of every control of the page (checked, enabled, text), and the page's rules:
//
//  - showing a record: the output-folder edit holds the folder; an empty folder ticks
//    "输出到源文件目录" and greys the edit and "add-browse"; each check box shows its flag (any
//    nonzero byte is ticked); the radio group shows profileChoice (nonzero: the last-used profile);
//  - taking the controls into a record: the ticked "输出到源文件目录" gives the empty folder,
//    otherwise the edit's text, where an empty edit is first filled with the default folder
//    (~/Lumaret_output, expanded) and then shows it;
//  - saving: the record is written; when the store refuses it (a folder it cannot hold or a
//    relative one, a settings file it cannot read or write) the user is told why, and the record
//    and controls go back to what the file really holds, so nothing on screen pretends to be
//    saved. Every save then brings the file-manager menus in line with contextMenuEnabled;
//  - the menus are in line when "our entries exist" equals the setting; only a difference starts
//    lumaret-shellext, which is not waited for;
//  - "同时转换的文件数" is a drop-down list of 1 to the processors' count; its state's text is the
//    chosen number.
//
// Which flag each check box (and the "last used" radio button) shows, and which number each
// drop-down list shows, is the settings table's control column.
//
// The page builds its controls from controls() and passes each user action on by name: the new
// state with setChecked()/setText(), then onEvent(name), which runs the name's handler, if any.
// After any call the page shows state() of every control again.
//
// Threads: the window thread (or a test's thread); one form per page.
#include "app/OptionSettings.h"
#include "app/SettingsStore.h"
#include "app/ShellRegistration.h"
#include "platform/core/WinTypes.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace app {

class OptionForm {
public:
    enum class Kind { Label, GroupBox, Edit, CheckBox, Radio, SkinButton, Choice };

    // One control of the page, in page coordinates. Native controls carry their dialog id; the
    // skinned button, the label and the group boxes carry 0.
    struct Control {
        int id;
        const char* name;
        Kind kind;
        const char* text;
        RECT rect;
        bool startsGroup;                // the first radio button of its group
        const char* tooltip;             // null: none
        void (OptionForm::*onClick)() = nullptr;  // what a click does at once; null: nothing
    };

    struct ControlState {
        bool checked = false;
        bool enabled = true;
        std::string text;  // the edit's text, a drop-down list's chosen entry; captions stay the table's
    };

    // Names of the controls that take part in the rules.
    static constexpr const char* kOutputFolder = "output-folder";    // edit 1006
    static constexpr const char* kBesideSource = "beside-source";    // check box 1022
    static constexpr const char* kContextMenu = "context-menu";      // check box 1028
    static constexpr const char* kDefaultProfile = "default-profile";  // radio 1030
    static constexpr const char* kLastProfile = "last-profile";        // radio 1031
    static constexpr const char* kFilesAtOnce = "files-at-once";      // drop-down list 1032
    static constexpr const char* kBrowse = "add-browse";
    static constexpr const char* kBrowseTooltip = "设置转换输出路径";
    static constexpr const char* kBrowseCaption = "浏览";
    static constexpr const char* kBrowseImage = "image/lumaret-btn.png";
    static constexpr SIZE kBrowseFrame{69, 21};
    static constexpr const char* kFolderTitle = "选择路径";

    // What the form needs from outside. Both have working defaults except the folder browser,
    // which a form without one simply does not offer (the click does nothing).
    struct Services {
        // The folder browser titled kFolderTitle, starting at `current`; empty when cancelled.
        std::function<std::string(const std::string& current)> chooseFolder;
        ShellRegistration::Starter startShellHelper = ShellRegistration::startHelper;
    };

    // The page's controls, in creation order (which is also the keyboard order).
    static const std::vector<Control>& controls();
    // The entries of a drop-down list, in order; empty for any other control.
    static std::vector<std::string> choices(const std::string& name);
    // Null when no control has that name or id (0 is never found).
    static const Control* controlNamed(const std::string& name);
    static const Control* controlWithId(int id);

    explicit OptionForm(SettingsStore store = SettingsStore());
    OptionForm(SettingsStore store, Services services);

    // The record as it is in effect (last loaded, applied or saved).
    const OptionSettings& settings() const { return settings_; }
    const SettingsStore& store() const { return store_; }
    void setServices(Services services) { services_ = std::move(services); }

    // Reads the record from the settings file and shows it; unsaved edits are dropped.
    void loadSettings();
    // Takes the controls into the record, writes it, and syncs the menus. False when the store
    // refused it: the user has been told, and the record and controls show the stored settings.
    bool saveSettings();
    // Replaces the whole record by `settings`, shows it, then saves as saveSettings() does.
    bool applySettings(const OptionSettings& settings);
    // Starts lumaret-shellext only when the menus' registered state differs from `wanted`.
    // Returns whether it was started.
    bool syncShellRegistration(bool wanted);
    // After the profiles were saved: rewrites the menus when they are enabled and ours exist.
    // Returns whether the helper was started.
    bool profilesSaved();

    // The state of a control by name; a default state for an unknown name.
    const ControlState& state(const std::string& name) const;
    // The user's changes. A radio button that becomes checked unchecks the others of its group; a
    // drop-down list takes only one of its entries as its text. Unknown names and disabled
    // controls change nothing.
    void setChecked(const std::string& name, bool checked);
    void setText(const std::string& name, const std::string& text);
    // Runs the handler of the control the user clicked; false when it has none (most check boxes
    // act only at the next save) or is disabled.
    bool onEvent(const std::string& name);

private:
    void showSettings(const OptionSettings& settings);
    OptionSettings takeControls();
    void showBesideSource(bool besideSource);
    void onBesideSourceClicked();
    void onBrowseClicked();
    void tellRefusedSave(const OptionSettings& refused) const;

    SettingsStore store_;
    Services services_;
    OptionSettings settings_;
    std::map<std::string, ControlState> states_;
};

}  // namespace app
