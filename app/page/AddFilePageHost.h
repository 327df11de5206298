#pragma once
// What the add-files page needs from the window it lives in: the options (the output folder it
// starts with, the naming choice) and the program's profiles (the default for a batch without a
// choice, and the store that remembers the last used profile). The main window implements it.
//
// Threads: window thread only.
#include "app/OptionSettings.h"

namespace profile {
class ProfileStore;
}

namespace app {

class AddFilePageHost {
public:
    virtual ~AddFilePageHost() = default;
    virtual const OptionSettings& options() const = 0;
    virtual const profile::ProfileStore& profileStore() const = 0;
    // The same store, for remembering the profile of an accepted batch.
    virtual profile::ProfileStore& profileStoreForUpdate() = 0;
};

}  // namespace app
