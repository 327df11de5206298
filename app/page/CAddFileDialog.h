#pragma once
// CAddFileDialog: the add-files page, where files are gathered with a profile before they join the
// conversion list. Its list and its controls come later; until then it is an empty page that the
// main window shows in add mode. The operations the main window calls exist with the answers of an
// empty page: nothing to delete, nothing prepared, leaving is always agreed.
//
// Threads: window thread only.
#include "app/page/CPageDialog.h"

#include <string>
#include <vector>

namespace app {

class CAddFileDialog : public CPageDialog {
public:
    CAddFileDialog();
    ~CAddFileDialog() override;

    // Deletes the selected row of the page's list.
    void deleteSelected() {}
    // Validates the gathered files and prepares them for the conversion list; false refuses the
    // accept. An empty page has nothing to accept.
    bool prepareForAccept() { return false; }
    // Asks whether to leave add mode; false keeps the page.
    bool confirmReturn() { return true; }
    // Takes a file handed over by the command file in custom mode.
    void takeFile(const std::string& path) { handedOver_.push_back(path); }
    const std::vector<std::string>& handedOverFiles() const { return handedOver_; }

private:
    std::vector<std::string> handedOver_;
};

}  // namespace app
