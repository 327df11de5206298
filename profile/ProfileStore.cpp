#include "profile/ProfileStore.h"

#include "platform/Paths.h"

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

bool ProfileStore::loadAtStartup()
{
    readFiles();
    save();
    if (tree_.findDefaultNode())
        return true;
    if (!markFirstProfileDefault())
        return false;
    save();
    return true;
}

bool ProfileStore::load()
{
    readFiles();
    return tree_.findDefaultNode() || markFirstProfileDefault();
}

void ProfileStore::readFiles()
{
    tree_.clear();
    lastProfileName_.fill(u'\0');
    files_.load(tree_, std::span<unsigned char>(headerBytes(), ProfileFiles::kHeaderSize), true);
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
    return files_.save(tree_, std::span<const unsigned char, ProfileFiles::kHeaderSize>(headerBytes(),
                                                                                         ProfileFiles::kHeaderSize));
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
