#pragma once
// GatheredFiles: the rules of the add-files page without its window. It holds the files gathered
// for one batch (source path and size, in the order they were added), the one profile every file
// of the batch will get, and the output folder; it checks what is added, prepares the batch for
// the conversion list and decides whether the batch may be dropped.
//
// Paths are the file system's bytes; a name that is not valid UTF-8 is kept as it is (the file
// opens by those bytes), only its display is approximate.
//
// Messages go through platform::showMessage. Prepared files belong to this object until clear() or
// the next prepareAccept(); the conversion list takes copies of them.
// Threads: one thread (the window thread in the program).
#include "convert/QueuedFile.h"
#include "profile/ProfileRecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace profile {
class ProfileStore;
class ProfileTree;
class ProfileNode;
}  // namespace profile

namespace app {

class GatheredFiles {
public:
    static constexpr const char* kEmptyListText = "请添加您要转换的文件到列表中...";
    static constexpr const char* kReturnQuestion = "您是否确定不对当前所添加的文件进行格式转换?";
    // How many of the names a folder refused the one message lists before it only counts them.
    static constexpr std::size_t kNamesInMessage = 10;
    // How many paths the one message for a batch of refused paths lists before it counts the rest.
    static constexpr std::size_t kPathsInMessage = 5;

    struct Entry {
        std::string path;
        uint64_t size = 0;
    };

    // What "add folder" did with one folder.
    struct FolderResult {
        std::size_t added = 0;
        // Entries that are neither a folder nor a regular file that can be read (no permission, a
        // FIFO or device, a dangling link, a vanished entry), by name in the order of the listing.
        std::vector<std::string> refused;
        // The folder itself could not be listed; nothing was added.
        bool unreadableFolder = false;
    };

    // "添加文件 " + path + " 失败!", the message for a file that cannot be opened.
    static std::string addFailedText(const std::string& path);
    // The one message that names the entries of a folder that were not added.
    static std::string refusedText(const std::vector<std::string>& names);
    // The one message for the paths of one batch (a hand-over, a drop) that could not be taken:
    // `prefix` + the path + " 失败!" for one; for more, the first kPathsInMessage listed and the
    // rest counted ("另有 N 个文件无法读取。"). Empty for no path.
    static std::string refusedPathsText(const std::string& prefix, const std::vector<std::string>& paths);
    // True for a regular file that opens for reading, which addFile() takes.
    static bool canAdd(const std::string& path);

    // Appends a regular file that opens for reading, with its size; otherwise shows
    // addFailedText (error icon) and returns false. The same file may be added twice.
    bool addFile(const std::string& path);
    // addFile() for each path in order, the ones refused told in one refusedPathsText message.
    // Returns how many were added.
    std::size_t addFiles(const std::vector<std::string>& paths);
    // Appends every regular, readable file directly in `folder` (no subfolders), sorted by name as a
    // file manager lists them (case aside, digit runs by value: "clip2" before "clip10"), with the
    // size the enumeration reports, without opening them. Folders (and links to folders) are
    // passed over silently; every other entry that cannot be taken is named in one
    // error message after the whole folder was read. A folder that cannot be listed is told with
    // addFailedText(folder).
    FolderResult addFolder(const std::string& folder);

    // Removes the entry at `row`; false for a row out of range.
    bool removeAt(std::size_t row);
    // Forgets the entries and any prepared jobs.
    void clear();
    const std::vector<Entry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // The chosen profile: its name (empty until one is chosen) and a copy of its record (an
    // empty record until then).
    const std::string& chosenName() const { return chosenName_; }
    const profile::ProfileRecord& chosenProfile() const { return chosenProfile_; }
    void choose(const profile::ProfileRecord& record);
    // The choice after the profiles were read again: the profile of the chosen name, else the
    // default, else the first profile in the tree's order. Returns its node, null when the tree
    // holds no profile (the previous choice then stays).
    const profile::ProfileNode* chooseFromTree(const profile::ProfileTree& tree);
    // A profile was saved in the editor: when it is the chosen one its new record is taken.
    // True when the choice changed.
    bool profileSaved(const std::string& name, const profile::ProfileRecord& record);

    // Empty: each output goes beside its source.
    const std::string& outputFolder() const { return outputFolder_; }
    void setOutputFolder(const std::string& folder) { outputFolder_ = folder; }

    // Prepares the accept: with no entries, shows kEmptyListText (error icon) and returns false; with
    // a relative output folder, shows QueuedFile::relativeFolderText and returns false ("~" is the
    // home folder and is expanded in the files built).
    // Otherwise builds one QueuedFile per entry, in order, each with the same output folder, the
    // same copy of the chosen profile (`fallback` when none was ever chosen) and the output naming
    // choice; then stores the chosen name as the last used profile in `store` and saves the
    // profile files (when a store is given). An entry that can no longer be read (removed or
    // replaced since it was gathered) is told with addFailedText and left out. The conversion list
    // copies the files.
    bool prepareAccept(bool appendProfileName, const profile::ProfileRecord* fallback,
                       profile::ProfileStore* store);
    const std::vector<convert::QueuedFile>& preparedFiles() const { return prepared_; }

    // Whether the batch may be dropped: with entries, asks kReturnQuestion (question, yes/no) and
    // keeps everything on "no"; otherwise, or on any other answer, clears and returns true.
    bool confirmReturn();

private:
    std::vector<Entry> entries_;
    std::string chosenName_;
    profile::ProfileRecord chosenProfile_ = profile::makeEmptyProfileRecord();
    std::string outputFolder_;
    std::vector<convert::QueuedFile> prepared_;
};

}  // namespace app
