#include "app/ProfileChoice.h"

#include "profile/ProfileStore.h"

namespace app {

convert::NewFileProfile ProfileChoice::of(const profile::ProfileStore& store, const OptionSettings& options)
{
    return convert::NewFileProfile{options.profileChoice != kUseDefaultProfile, store.lastUsedProfile(),
                                   store.defaultProfile()};
}

}  // namespace app
