#include "profile/ProfileTree.h"

#include "platform/core/MessagePresenter.h"

#include <utility>

namespace profile {

namespace {

// A view shows a profile's children under it; a child inserted under a profile opens the level
// that holds that profile, so nested profiles are visible. Top-level categories stay as they are.
void expandForNewChild(ProfileNode& parent)
{
    if (ProfileNode* grandparent = parent.parent(); grandparent && grandparent->parent())
        grandparent->setExpanded(true);
}

void reportDuplicate(const ProfileRecord& record)
{
    platform::showMessage("", "新增方案失败,方案 " + categoryNameOf(record) + " : " + profileNameOf(record) + "已经存在!",
                     platform::MessageError);
}

}  // namespace

void ProfileTree::clear()
{
    // Detach the top level first so the root is usable again at once; the nodes free their own
    // records and subtrees.
    std::vector<std::unique_ptr<ProfileNode>> topLevel;
    while (root_.childCount() != 0)
        topLevel.push_back(root_.detachChild(root_.child(root_.childCount() - 1)));
}

ProfileNode* ProfileTree::insertProfile(std::unique_ptr<ProfileRecord> record)
{
    const std::u16string name = fieldText(record->profileName, kProfileTextChars);
    const std::u16string category = fieldText(record->categoryName, kProfileTextChars);

    if (ProfileNode* existing = findNodeByText(name)) {
        if (record->isUserProfile != 1) {
            reportDuplicate(*record);
            return nullptr;
        }
        if (existing->isProfile() && existing->record()->isUserProfile == 0) {
            // A user's edit of a built-in profile overrides it where it stands.
            existing->setImageIndex(profileImageIndex(record->conversionType));
            existing->setRecord(std::move(record));
            return existing;
        }
        if (!existing->isProfile()) {
            // An edited profile whose built-in children were read first: they recreated its name
            // as a category node. Dropping the record would lose the edit at the next save, so the
            // record takes the node over and, unless that would put the node inside itself, the
            // node moves under the record's category where the edit left it.
            existing->setImageIndex(profileImageIndex(record->conversionType));
            existing->setRecord(std::move(record));
            ProfileNode* parent = findNodeByText(category);
            if (parent == existing->parent() || (parent && existing->contains(parent)))
                return existing;
            if (!parent)
                parent = root_.appendChild(category, 0);
            ProfileNode* moved = parent->adoptChild(existing->parent()->detachChild(existing));
            expandForNewChild(*parent);
            return moved;
        }
        reportDuplicate(*record);
        return nullptr;
    }

    if (category == name)
        return nullptr;
    ProfileNode* parent = findNodeByText(category);
    if (!parent)
        parent = root_.appendChild(category, 0);
    ProfileNode* node = parent->appendChild(name, profileImageIndex(record->conversionType));
    node->setRecord(std::move(record));
    expandForNewChild(*parent);
    return node;
}

const ProfileNode* ProfileTree::findNodeByText(std::u16string_view text, const ProfileNode* start) const
{
    return findInPreOrder([text](const ProfileNode& node) { return node.text() == text; }, start);
}

ProfileNode* ProfileTree::findNodeByText(std::u16string_view text, const ProfileNode* start)
{
    return const_cast<ProfileNode*>(std::as_const(*this).findNodeByText(text, start));
}

const ProfileNode* ProfileTree::findDefaultNode() const
{
    return findInPreOrder([](const ProfileNode& node) { return node.isProfile() && node.record()->isDefault != 0; });
}

ProfileNode* ProfileTree::findDefaultNode()
{
    return const_cast<ProfileNode*>(std::as_const(*this).findDefaultNode());
}

const ProfileNode* ProfileTree::findFirstProfileNode() const
{
    return findInPreOrder([](const ProfileNode& node) { return node.isProfile(); });
}

ProfileNode* ProfileTree::findFirstProfileNode()
{
    return const_cast<ProfileNode*>(std::as_const(*this).findFirstProfileNode());
}

std::size_t ProfileTree::profileCount() const
{
    std::size_t count = 0;
    findInPreOrder([&count](const ProfileNode& node) {
        count += node.isProfile() ? 1 : 0;
        return false;
    });
    return count;
}

}  // namespace profile
