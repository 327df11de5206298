#pragma once
// COptionDialog: the options page, a thin view over OptionForm, which owns the program's
// OptionSettings and the page's rules. The page creates the controls the form lists (native check
// boxes, radio buttons, edit, drop-down list, labels and group boxes, and the skinned "add-browse"
// button), hands every user action to the form by the control's name, and then shows the form's
// state again.
// The main window's "accept" saves the page and "return" reloads it; the conversion page's
// shutdown toggle comes through applySettings(). Every other page reads settings().
//
// Threads: window thread only.
#include "app/OptionForm.h"
#include "app/OptionSettings.h"
#include "kxlib/ui/CPageDialog.h"
#include "kxlib/ui/KXButtonEx.h"
#include "platform/gui/NativeControl.h"

#include <map>
#include <memory>
#include <string>

namespace app {

class COptionDialog : public CPageDialog {
public:
    COptionDialog();
    ~COptionDialog() override;

    // Reads the settings file and shows it; unsaved edits of the page are dropped.
    void loadSettings();
    // Takes the controls into the record, writes it and brings the file-manager menus in line.
    // False when the settings could not be stored: the user has been told, and the page shows
    // what the file holds.
    bool saveSettings();
    // Replaces the whole record with `settings`, shows it, then saves it as saveSettings() does.
    bool applySettings(const OptionSettings& settings);
    // Starts lumaret-shellext only when our menu entries' presence differs from `wanted`.
    bool syncShellRegistration(bool wanted);
    // To be called after the profiles were saved: rewrites the menus when they are enabled.
    bool profilesSaved();

    const OptionSettings& settings() const { return form_.settings(); }
    // The rules and control states; tests replace its services (folder browser, helper starter).
    OptionForm& form() { return form_; }
    // The native control of that name (null before createPage() or for the skinned button).
    platform::NativeControl* nativeControl(const std::string& name) const;

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void onInitPage() override;

private:
    // The desktop's folder browser over this page, and the real helper starter.
    OptionForm::Services pageServices();
    void createControls();
    void createNative(const OptionForm::Control& control);
    void onCommand(int id, int code);
    // Shows the form's state in every control.
    void showForm();

    OptionForm form_;
    std::map<std::string, std::unique_ptr<platform::NativeControl>> natives_;
    KXLib::KXSmartPtr<KXLib::KXButtonEx> browse_;
};

}  // namespace app
