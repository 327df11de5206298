#pragma once
// CProfileDialog: the profile page and the owner of the program's profile tree. At start-up it
// loads both profile files (building the built-in catalogue when needed, repairing a missing
// default and saving them back); it saves them once more when it goes. The other pages look
// profiles up through it. The editor itself comes later: until then the page is empty and the
// editing operations the main window calls do nothing.
//
// Threads: window thread only.
#include "app/page/CPageDialog.h"
#include "profile/ProfileStore.h"

#include <string>

namespace profile {

class CProfileDialog : public app::CPageDialog {
public:
    CProfileDialog();
    // Saves both profile files.
    ~CProfileDialog() override;

    // Loads the profiles as the page does at start-up; false when no profile exists at all (the
    // program cannot convert anything then). Runs once; createPage() calls it.
    bool loadProfiles();
    bool hasProfiles() const { return loaded_; }

    // The lookups of the other pages; null when there is no such profile. Copy the record whole.
    const ProfileRecord* findProfileByName(const std::string& utf8Name) const;
    const ProfileRecord* defaultProfile() const;
    const ProfileRecord* lastUsedProfile() const;
    // The default profile's name, or empty when there is none.
    std::string defaultProfileName() const;

    // The editor's operations (the page toolbar). They act once the editor exists.
    void addProfile() {}
    void deleteProfile() {}
    void acceptProfile() {}
    void revertProfile() {}
    void commitEdit() {}
    // Shows the named profile in the editor.
    void selectProfileByName(const std::string& utf8Name) { selectedName_ = utf8Name; }
    const std::string& selectedProfileName() const { return selectedName_; }
    // The current profile's name and working copy; false while the editor shows none.
    bool currentProfile(std::string& name, ProfileRecord& record) const;

    ProfileStore& store() { return store_; }

protected:
    void onInitPage() override;

private:
    ProfileStore store_;
    bool loaded_ = false;
    bool loadTried_ = false;
    std::string selectedName_;
};

}  // namespace profile
