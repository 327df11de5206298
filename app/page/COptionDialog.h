#pragma once
// COptionDialog: the options page and the owner of the program's OptionSettings. It loads them at
// start-up and saves them whenever they change; every other page reads them through the main
// window. Its controls come later: until then the page is empty, and loadSettings, saveSettings
// and applySettings act on the record alone.
//
// Threads: window thread only.
#include "app/OptionSettings.h"
#include "app/SettingsStore.h"
#include "app/page/CPageDialog.h"

namespace app {

class COptionDialog : public CPageDialog {
public:
    COptionDialog();
    ~COptionDialog() override;

    // Reads the option keys into the record (defaults for what is missing) and passes the output
    // naming rule on to the conversion jobs.
    void loadSettings();
    // Writes the record; false when the file could not be written (harmless, nothing is shown).
    bool saveSettings();
    // Replaces the whole record with `settings`, then saves it, as loadSettings and saveSettings
    // would with the page's controls.
    bool applySettings(const OptionSettings& settings);

    const OptionSettings& settings() const { return settings_; }

protected:
    void onInitPage() override;

private:
    SettingsStore store_;
    OptionSettings settings_;
};

}  // namespace app
