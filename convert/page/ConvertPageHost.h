#pragma once
// What the conversion page needs from the window it lives in: the options (read, and changed as a
// whole by the shutdown toggle), the profiles (for the one a file gets when it arrives without
// one) and the profile chooser. The main window implements it; tests give the page a host of their
// own.
//
// Threads: window thread only.
#include "app/OptionSettings.h"
#include "platform/core/WinTypes.h"
#include "profile/ProfileRecord.h"
#include "profile/ProfileStore.h"

#include <string>

namespace convert {

class ConvertPageHost {
public:
    virtual ~ConvertPageHost() = default;
    virtual const app::OptionSettings& options() const = 0;
    // Replaces the options with `settings` and saves them, as the options page does.
    virtual void applySettings(const app::OptionSettings& settings) = 0;
    // The program's profiles, for lookups only.
    virtual const profile::ProfileStore& profileStore() const = 0;
    // Lets the user pick a profile, `currentName` preselected; false when the user cancelled.
    virtual bool chooseProfile(HWND owner, const std::string& currentName, profile::ProfileRecord& chosen) = 0;
};

}  // namespace convert
