#include "profile/ProfileStore.h"

#include "platform/core/MessagePresenter.h"
#include "platform/core/Paths.h"

namespace profile {

ProfileStore::ProfileStore(std::filesystem::path dataDirectory)
    : files_(std::move(dataDirectory))
{
}

ProfileStore::ProfileStore()
    : ProfileStore(platform::Paths::dataDirectory())
{
}

static_assert(sizeof(std::array<char16_t, kProfileTextChars>) == ProfileFiles::kHeaderSize);

unsigned char* ProfileStore::headerBytes()
{
    return reinterpret_cast<unsigned char*>(lastProfileName_.data());
}

const unsigned char* ProfileStore::headerBytes() const
{
    return reinterpret_cast<const unsigned char*>(lastProfileName_.data());
}

namespace {

// What is wrong with a file, in the words the user reads.
std::string describeProblem(const ProfileFileProblem& problem)
{
    using Kind = ProfileFileProblem::Kind;
    using Status = platform::RegularFileStatus;
    if (problem.kind == Kind::Damaged)
        return "方案文件已损坏或无法识别: " + problem.file.string();
    const Status status = problem.kind == Kind::Unreadable ? Status::Unreadable
                        : problem.kind == Kind::TooLarge   ? Status::TooLarge
                                                           : Status::NotRegular;
    return platform::RegularFile::describe(status, problem.file);
}

void tellUser(const std::string& text)
{
    platform::showMessage("", text, platform::MessageError);
}

}  // namespace

bool ProfileStore::loadAtStartup()
{
    const platform::FolderLock lock(files_.dataDirectory());
    keepUnusableFiles(readFiles());
    saveHoldingLock(lock);
    if (tree_.findDefaultNode())
        return true;
    if (!markFirstProfileDefault())
        return false;
    saveHoldingLock(lock);
    return true;
}

bool ProfileStore::load()
{
    // Nothing is written here, so an unusable file stays as it is; the user still learns why
    // its profiles are missing.
    for (const ProfileFileProblem& problem : readFiles())
        tellUser(describeProblem(problem));
    return tree_.findDefaultNode() || markFirstProfileDefault();
}

std::vector<ProfileFileProblem> ProfileStore::readFiles()
{
    tree_.clear();
    lastProfileName_.fill(u'\0');
    std::vector<ProfileFileProblem> problems =
        files_.load(tree_, std::span<unsigned char>(headerBytes(), ProfileFiles::kHeaderSize), true);
    foundUnusableFiles_ = !problems.empty();
    return problems;
}

void ProfileStore::keepUnusableFiles(const std::vector<ProfileFileProblem>& problems)
{
    for (const ProfileFileProblem& problem : problems) {
        if (!problem.holdsUserBytes()) {
            saveRefused_ = true;
            tellUser(describeProblem(problem) + "\n本次运行不会保存方案。");
            continue;
        }
        const std::filesystem::path kept = files_.setAside(problem.file);
        if (kept.empty()) {
            saveRefused_ = true;
            tellUser(describeProblem(problem) + "\n无法将原文件改名保存,本次运行不会保存方案。");
        } else {
            tellUser(describeProblem(problem) + "\n原文件已改名保存为 " + kept.string() + ",方案将重新保存。");
        }
    }
}

bool ProfileStore::markFirstProfileDefault()
{
    ProfileNode* first = tree_.findFirstProfileNode();
    if (!first)
        return false;
    first->record()->isDefault = 1;
    return true;
}

bool ProfileStore::save() const
{
    if (saveRefused_)
        return false;
    const platform::FolderLock lock(files_.dataDirectory());
    return saveHoldingLock(lock);
}

bool ProfileStore::saveHoldingLock(const platform::FolderLock& lock) const
{
    if (saveRefused_)
        return false;
    return files_.save(tree_, std::span<const unsigned char, ProfileFiles::kHeaderSize>(headerBytes(),
                                                                                         ProfileFiles::kHeaderSize),
                       lock);
}

const ProfileRecord* ProfileStore::findProfileByName(std::u16string_view name) const
{
    const ProfileNode* node = tree_.findNodeByText(name);
    return node ? node->record() : nullptr;
}

const ProfileRecord* ProfileStore::findProfileByName(std::string_view utf8Name) const
{
    return findProfileByName(toUtf16(utf8Name));
}

const ProfileRecord* ProfileStore::defaultProfile() const
{
    const ProfileNode* node = tree_.findDefaultNode();
    return node ? node->record() : nullptr;
}

const ProfileRecord* ProfileStore::lastUsedProfile() const
{
    // An empty name means no files were added yet; it must not match a node with an empty text.
    const std::u16string name = lastProfileName();
    if (const ProfileRecord* record = name.empty() ? nullptr : findProfileByName(name))
        return record;
    return defaultProfile();
}

std::u16string ProfileStore::lastProfileName() const
{
    return fieldText(lastProfileName_.data(), lastProfileName_.size());
}

void ProfileStore::setLastProfileName(std::u16string_view name)
{
    setFieldText(lastProfileName_.data(), lastProfileName_.size(), name);
}

}  // namespace profile
