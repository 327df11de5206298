#include "app/ProfileSnapshot.h"

#include <span>

namespace app {

ProfileSnapshot::ProfileSnapshot(std::filesystem::path dataDirectory)
    : files_(std::move(dataDirectory)), tree_(std::make_unique<profile::ProfileTree>())
{
}

ProfileSnapshot::Reload ProfileSnapshot::reload()
{
    auto fresh = std::make_unique<profile::ProfileTree>();
    const auto problems = files_.load(*fresh, std::span<unsigned char>(), false);
    if (problems.empty()) {
        tree_ = std::move(fresh);
        good_ = true;
        return Reload::Replaced;
    }
    if (good_)
        return Reload::KeptPrevious;
    tree_ = std::move(fresh);
    return Reload::Partial;
}

}  // namespace app
