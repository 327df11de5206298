#include "profile/page/CProfileDialog.h"

namespace profile {

CProfileDialog::CProfileDialog() = default;

CProfileDialog::~CProfileDialog()
{
    if (loaded_)
        store_.save();
}

void CProfileDialog::onInitPage() { loadProfiles(); }

bool CProfileDialog::loadProfiles()
{
    if (!loadTried_) {
        loadTried_ = true;
        loaded_ = store_.loadAtStartup();
    }
    return loaded_;
}

const ProfileRecord* CProfileDialog::findProfileByName(const std::string& utf8Name) const
{
    return store_.findProfileByName(std::string_view(utf8Name));
}

const ProfileRecord* CProfileDialog::defaultProfile() const { return store_.defaultProfile(); }

const ProfileRecord* CProfileDialog::lastUsedProfile() const { return store_.lastUsedProfile(); }

std::string CProfileDialog::defaultProfileName() const
{
    const ProfileRecord* record = defaultProfile();
    return record ? profileNameOf(*record) : std::string();
}

bool CProfileDialog::currentProfile(std::string&, ProfileRecord&) const { return false; }

}  // namespace profile
