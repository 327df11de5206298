#include "app/GatheredFiles.h"

#include "platform/core/MessagePresenter.h"
#include "platform/core/RegularFile.h"
#include "profile/ProfileStore.h"
#include "profile/ProfileTree.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>
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

// Whether name `a` comes before `b` as a file manager lists them: letters without regard to case,
// and runs of digits by their value, so "clip2" comes before "clip10". Names equal that way keep
// their byte order, which makes the order total.
bool listsBefore(const std::string& a, const std::string& b)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            const std::size_t runA = a.find_first_not_of("0123456789", i);
            const std::size_t runB = b.find_first_not_of("0123456789", j);
            std::string numberA = a.substr(i, runA - i);
            std::string numberB = b.substr(j, runB - j);
            numberA.erase(0, std::min(numberA.find_first_not_of('0'), numberA.size()));
            numberB.erase(0, std::min(numberB.find_first_not_of('0'), numberB.size()));
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            i = std::min(runA, a.size());
            j = std::min(runB, b.size());
            continue;
        }
        const auto charA = static_cast<unsigned char>(lower(a[i]));
        const auto charB = static_cast<unsigned char>(lower(b[j]));
        if (charA != charB)
            return charA < charB;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    return a < b;
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
    // The listing comes in the file system's order; the user expects the file manager's.
    std::vector<fs::directory_entry> listed;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        listed.push_back(*it);
    }
    std::sort(listed.begin(), listed.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
        return listsBefore(a.path().filename().string(), b.path().filename().string());
    });
    for (const fs::directory_entry& entry : listed) {
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
    const std::optional<std::string> folder = convert::QueuedFile::resolveFolder(outputFolder_);
    if (!folder) {
        platform::showMessage("", convert::QueuedFile::relativeFolderText(outputFolder_), platform::MessageError);
        return false;
    }
    // A batch gathered while no profile could be read converts with the program's default rather
    // than with an empty record that no encoder accepts.
    const convert::NewFileProfile rule{false, nullptr, fallback};
    const profile::ProfileRecord* chosen = chosenName_.empty() ? nullptr : &chosenProfile_;
    const convert::QueuedFile::Placement placement{*folder, appendProfileName};
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
