#include "app/GatheredFiles.h"

#include "platform/core/MessagePresenter.h"
#include "platform/core/RegularFile.h"
#include "profile/ProfileStore.h"
#include "profile/ProfileTree.h"

#include <filesystem>
#include <limits>
#include <system_error>

#include <unistd.h>

namespace app {

namespace {

namespace fs = std::filesystem;

// A regular file (after links) that this user may read; its size in `size`. Nothing is opened, so
// a FIFO never holds the caller and a folder of thousands of files costs one stat each.
bool isReadableFile(const std::string& path, uint64_t& size)
{
    const auto status = platform::RegularFile::check(path, std::numeric_limits<uint64_t>::max(), &size);
    return status == platform::RegularFileStatus::Ok && ::access(path.c_str(), R_OK) == 0;
}

// A name for a message: the bytes of a name that is not valid UTF-8 shown as replacement marks.
std::string shownName(const std::string& bytes) { return profile::toUtf8(profile::toUtf16(bytes)); }

}  // namespace

std::string GatheredFiles::addFailedText(const std::string& path) { return "添加文件 " + shownName(path) + " 失败!"; }

std::string GatheredFiles::refusedText(const std::vector<std::string>& names)
{
    std::string listed;
    for (std::size_t i = 0; i < names.size() && i < kNamesInMessage; ++i)
        listed += (i ? "、" : "") + shownName(names[i]);
    if (names.size() > kNamesInMessage)
        listed += " 等 " + std::to_string(names.size()) + " 个文件";
    return "添加文件 " + listed + " 失败!";
}

std::string GatheredFiles::refusedPathsText(const std::string& prefix, const std::vector<std::string>& paths)
{
    if (paths.empty())
        return {};
    std::string listed;
    for (std::size_t i = 0; i < paths.size() && i < kPathsInMessage; ++i)
        listed += (i ? "、" : "") + shownName(paths[i]);
    std::string text = prefix + listed + " 失败!";
    if (paths.size() > kPathsInMessage)
        text += "\n另有 " + std::to_string(paths.size() - kPathsInMessage) + " 个文件无法读取。";
    return text;
}

bool GatheredFiles::canAdd(const std::string& path)
{
    uint64_t size = 0;
    return isReadableFile(path, size);
}

std::size_t GatheredFiles::addFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> refused;
    std::size_t added = 0;
    for (const std::string& path : paths) {
        uint64_t size = 0;
        if (!isReadableFile(path, size)) {
            refused.push_back(path);
            continue;
        }
        entries_.push_back({path, size});
        ++added;
    }
    if (!refused.empty())
        platform::showMessage("", refusedPathsText("添加文件 ", refused), platform::MessageError);
    return added;
}

bool GatheredFiles::addFile(const std::string& path) { return addFiles({path}) == 1; }

GatheredFiles::FolderResult GatheredFiles::addFolder(const std::string& folder)
{
    FolderResult result;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec) {
        result.unreadableFolder = true;
        platform::showMessage("", addFailedText(folder), platform::MessageError);
        return result;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const fs::directory_entry& entry = *it;
        std::error_code typeError;
        // Folders, and links to folders, are not entered and not reported.
        if (entry.is_directory(typeError))
            continue;
        const std::string path = entry.path().string();
        uint64_t size = 0;
        if (!isReadableFile(path, size)) {
            result.refused.push_back(entry.path().filename().string());
            continue;
        }
        entries_.push_back({path, size});
        ++result.added;
    }
    // A listing cut short by an error keeps what was read; the rest cannot be named.
    if (!result.refused.empty())
        platform::showMessage("", refusedText(result.refused), platform::MessageError);
    return result;
}

bool GatheredFiles::removeAt(std::size_t row)
{
    if (row >= entries_.size())
        return false;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(row));
    return true;
}

void GatheredFiles::clear()
{
    entries_.clear();
    prepared_.clear();
}

void GatheredFiles::choose(const profile::ProfileRecord& record)
{
    chosenProfile_ = record;
    chosenName_ = profile::profileNameOf(record);
}

const profile::ProfileNode* GatheredFiles::chooseFromTree(const profile::ProfileTree& tree)
{
    const profile::ProfileNode* node = nullptr;
    if (!chosenName_.empty()) {
        node = tree.findNodeByText(profile::toUtf16(chosenName_));
        if (node && !node->isProfile())
            node = nullptr;
    }
    if (!node)
        node = tree.findDefaultNode();
    if (!node)
        node = tree.findFirstProfileNode();
    if (node)
        choose(*node->record());
    return node;
}

bool GatheredFiles::profileSaved(const std::string& name, const profile::ProfileRecord& record)
{
    if (chosenName_.empty() || chosenName_ != name)
        return false;
    choose(record);
    return true;
}

bool GatheredFiles::prepareAccept(bool appendProfileName, const profile::ProfileRecord* fallback,
                                  profile::ProfileStore* store)
{
    prepared_.clear();
    if (entries_.empty()) {
        platform::showMessage("", kEmptyListText, platform::MessageError);
        return false;
    }
    // A batch gathered while no profile could be read converts with the program's default rather
    // than with an empty record that no encoder accepts.
    const convert::NewFileProfile rule{false, nullptr, fallback};
    const profile::ProfileRecord* chosen = chosenName_.empty() ? nullptr : &chosenProfile_;
    const convert::QueuedFile::Placement placement{outputFolder_, appendProfileName};
    prepared_.reserve(entries_.size());
    std::vector<std::string> vanished;
    for (const Entry& entry : entries_) {
        if (auto file = convert::QueuedFile::build(entry.path, chosen, rule, placement))
            prepared_.push_back(std::move(*file));
        else
            vanished.push_back(entry.path);
    }
    if (!vanished.empty())
        platform::showMessage("", refusedPathsText("添加文件 ", vanished), platform::MessageError);
    const profile::ProfileRecord& record = chosen ? *chosen : (fallback ? *fallback : chosenProfile_);
    if (store) {
        store->setLastProfileName(profile::toUtf16(profile::profileNameOf(record)));
        store->save();
    }
    return true;
}

bool GatheredFiles::confirmReturn()
{
    if (!entries_.empty() &&
        platform::showMessage("", kReturnQuestion, platform::MessageQuestion | platform::MessageYesNo) ==
            platform::kAnswerNo)
        return false;
    clear();
    return true;
}

}  // namespace app
