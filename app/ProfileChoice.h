#pragma once
// ProfileChoice: the options' answer to "which profile does a file get when it comes without
// one", in the terms QueuedFile::build() takes: the last used profile when profileChoice is
// nonzero, else the default profile, both from the given store.
//
// Threads: any; the store must not change during the call, and the returned pointers live as long
// as the store's profiles do.
#include "app/OptionSettings.h"
#include "convert/QueuedFile.h"

namespace profile {
class ProfileStore;
}

namespace app {

class ProfileChoice {
public:
    static convert::NewFileProfile of(const profile::ProfileStore& store, const OptionSettings& options);
};

}  // namespace app
