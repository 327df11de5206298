#include "profile/ProfileEditor.h"

#include "platform/core/MessagePresenter.h"
#include "profile/ProfileProperties.h"

#include <cstring>

namespace profile {

namespace {

// Replaces each "%s" of `pattern` in turn with the next of `values`.
std::string format(std::string pattern, std::initializer_list<std::string> values)
{
    std::size_t from = 0;
    for (const std::string& value : values) {
        const std::size_t at = pattern.find("%s", from);
        if (at == std::string::npos)
            break;
        pattern.replace(at, 2, value);
        from = at + value.size();
    }
    return pattern;
}

void tell(const std::string& text, uint8_t icon) { platform::showMessage("", text, icon); }

void expandAncestors(ProfileNode* node)
{
    for (ProfileNode* p = node ? node->parent() : nullptr; p && p->parent(); p = p->parent())
        p->setExpanded(true);
}

}  // namespace

ProfileEditor::ProfileEditor(ProfileStore& store, ProfileEditorListener* listener)
    : store_(store)
    , listener_(listener)
    , working_(makeEmptyProfileRecord())
{
}

bool ProfileEditor::start()
{
    ProfileNode* node = defaultOrFirst();
    if (!node)
        return false;
    if (!store_.tree().findDefaultNode())
        save();
    show(node);
    return true;
}

ProfileNode* ProfileEditor::defaultOrFirst() const
{
    ProfileTree& tree = store_.tree();
    if (ProfileNode* node = tree.findDefaultNode())
        return node;
    return tree.findFirstProfileNode();
}

bool ProfileEditor::isModified() const
{
    return !current_ || !current_->record() || !sameRecordBytes(working_, *current_->record());
}

void ProfileEditor::show(ProfileNode* node)
{
    current_ = node;
    working_ = node && node->record() ? *node->record() : makeEmptyProfileRecord();
    expandAncestors(node);
}

bool ProfileEditor::yes(const std::string& question) const
{
    return platform::showMessage("", question, platform::MessageQuestion | platform::MessageYesNo) !=
           platform::kAnswerNo;
}

void ProfileEditor::treeChanged()
{
    if (listener_)
        listener_->profileTreeChanged();
}

void ProfileEditor::clickNode(ProfileNode* node)
{
    if (addingNew_ || !node || !node->isProfile() || node == current_)
        return;
    // A refused accept keeps the user on the profile so the edits can be put right.
    if (isModified() && yes(kAskSaveOnSwitch) && !acceptProfile())
        return;
    show(node);
}

void ProfileEditor::selectProfileByName(std::u16string_view name)
{
    ProfileNode* node = store_.tree().findNodeByText(name);
    if (!node || !node->isProfile())
        return;
    addingNew_ = false;
    show(node);
}

RowEditor ProfileEditor::editorFor(int row) const
{
    const std::vector<std::string> categories =
        row == ProfileProperties::Category ? store_.files().readCategoryNames() : std::vector<std::string>{};
    return ProfileRowEditors::editorFor(working_, row, categories, contextMenuEnabled_);
}

bool ProfileEditor::commitValue(int row, const std::string& text)
{
    return ProfileRowEditors::commitValue(working_, row, text);
}

bool ProfileEditor::commitChoice(int row, int index)
{
    return ProfileRowEditors::commitChoice(working_, row, index);
}

bool ProfileEditor::commitName(const std::string& text)
{
    const std::u16string name = toUtf16(text);
    if (name.empty() || name == fieldText(working_.profileName, kProfileTextChars))
        return false;
    if (text == kReservedName) {
        tell(kReservedNameRefused, platform::MessageInfo);
        return false;
    }
    // Cutting a long name could make it collide with another, so it is refused whole.
    if (name.size() >= kProfileTextChars) {
        tell(kNameTooLong, platform::MessageInfo);
        return false;
    }
    if (store_.tree().findNodeByText(name)) {
        tell(kNameTaken, platform::MessageInfo);
        return false;
    }
    setFieldText(working_.profileName, kProfileTextChars, name);
    return true;
}

bool ProfileEditor::validate()
{
    const std::u16string category = fieldText(working_.categoryName, kProfileTextChars);
    const std::u16string name = fieldText(working_.profileName, kProfileTextChars);
    if (category.empty()) {
        tell(kEmptyCategory, platform::MessageError);
        return false;
    }
    if (name.empty()) {
        tell(kEmptyName, platform::MessageError);
        return false;
    }
    if (category == name) {
        tell(kNameIsCategory, platform::MessageError);
        return false;
    }
    if (addingNew_) {
        if (store_.tree().findNodeByText(name)) {
            tell(kNewNameTaken, platform::MessageError);
            return false;
        }
        return true;
    }
    // A profile cannot become its own descendant: the move would cut its subtree off the tree.
    const ProfileRecord& target = *current_->record();
    if (category != fieldText(target.categoryName, kProfileTextChars)) {
        const ProfileNode* parent = store_.tree().findNodeByText(category);
        if (parent && current_->contains(parent)) {
            tell(kMoveIntoItself, platform::MessageError);
            return false;
        }
    }
    return true;
}

void ProfileEditor::applyDefaultRule()
{
    ProfileNode* d = store_.tree().findDefaultNode();
    if (!d)
        return;
    const std::u16string name = fieldText(working_.profileName, kProfileTextChars);
    if (d->text() != name && working_.isDefault != 0) {
        d->record()->isDefault = 0;
    } else if (d->text() == name && working_.isDefault == 0) {
        tell(kKeepDefault, platform::MessageInfo);
        working_.isDefault = 1;
    }
}

ProfileNode* ProfileEditor::placeNode(bool isNew)
{
    ProfileTree& tree = store_.tree();
    const std::u16string category = fieldText(working_.categoryName, kProfileTextChars);
    ProfileNode* parent = tree.findNodeByText(category);
    if (!parent)
        parent = tree.root().appendChild(category, 0);
    ProfileNode* node = nullptr;
    if (isNew) {
        node = parent->appendChild(fieldText(working_.profileName, kProfileTextChars),
                                   profileImageIndex(working_.conversionType));
        node->setRecord(std::make_unique<ProfileRecord>(makeEmptyProfileRecord()));
    } else {
        // The node moves with its whole subtree, so children at every depth come along and every
        // pointer to them stays valid.
        node = parent->adoptChild(current_->parent()->detachChild(current_));
    }
    parent->setExpanded(true);
    node->setExpanded(true);
    expandAncestors(node);
    current_ = node;
    return node;
}

void ProfileEditor::renameCurrent(const std::u16string& name)
{
    current_->setText(name);
    // The children name their parent in categoryName; without this the next start would put them
    // under a new category node of the old name.
    for (const auto& child : current_->children())
        if (ProfileRecord* record = child->record())
            setFieldText(record->categoryName, kProfileTextChars, name);
}

bool ProfileEditor::acceptProfile()
{
    if (!addingNew_ && !current_)
        return false;
    if (!validate())
        return false;
    applyDefaultRule();
    const bool isNew = addingNew_;
    bool structure = false;
    if (isNew) {
        placeNode(true);
        structure = true;
    } else {
        const ProfileRecord& target = *current_->record();
        if (target.conversionType != working_.conversionType) {
            current_->setImageIndex(profileImageIndex(working_.conversionType));
            structure = true;
        }
        if (fieldText(target.categoryName, kProfileTextChars) != fieldText(working_.categoryName, kProfileTextChars)) {
            placeNode(false);
            structure = true;
        }
        const std::u16string name = fieldText(working_.profileName, kProfileTextChars);
        if (current_->text() != name) {
            // The saved notice goes out while the record still has its old name, so the
            // conversion list can find the rows queued with it.
            renameCurrent(name);
            structure = true;
        }
        if (listener_)
            listener_->profileSaved();
    }
    working_.isUserProfile = 1;
    *current_->record() = working_;
    addingNew_ = false;
    save();
    if (structure)
        treeChanged();
    return true;
}

void ProfileEditor::revertProfile()
{
    if (addingNew_) {
        if (!yes(kAskDropNew))
            return;
        addingNew_ = false;
        show(current_);
        return;
    }
    if (isModified() && yes(kAskDropChanges))
        show(current_);
}

void ProfileEditor::addProfile()
{
    if (addingNew_) {
        if (yes(kAskSave))
            acceptProfile();
        else
            addingNew_ = false;
    } else if (isModified() && yes(kAskSave) && !acceptProfile()) {
        // The edits were not stored; starting a blank record now would lose them.
        return;
    }
    if (addingNew_)
        return;
    addingNew_ = true;
    working_ = makeEmptyProfileRecord();
}

void ProfileEditor::deleteProfile()
{
    if (addingNew_ || !current_)
        return;
    const std::string name = current_->textUtf8();
    if (current_->record()->isDefault != 0) {
        tell(format(kDefaultNotDeleted, {name}), platform::MessageError);
        return;
    }
    if (const ProfileNode* d = store_.tree().findDefaultNode(); d && current_->contains(d)) {
        tell(format(kHoldsDefault, {name, d->textUtf8()}), platform::MessageError);
        return;
    }
    if (!yes(format(kAskDelete, {name})))
        return;
    ProfileNode* parent = current_->parent();
    parent->detachChild(current_);
    current_ = nullptr;
    if (!parent->isProfile() && parent->parent() && parent->childCount() == 0)
        parent->parent()->detachChild(parent);
    ProfileNode* next = defaultOrFirst();
    show(next);
    if (next)
        next->setExpanded(true);
    save();
    treeChanged();
    if (!next && listener_)
        listener_->profileTreeEmpty();
}

void ProfileEditor::save()
{
    if (!store_.tree().findDefaultNode()) {
        if (ProfileNode* first = store_.tree().findFirstProfileNode()) {
            const bool showing = first == current_ && !addingNew_ && !isModified();
            first->record()->isDefault = 1;
            if (showing)
                working_.isDefault = 1;
        }
    }
    if (store_.save() && listener_)
        listener_->profilesStored();
}

}  // namespace profile
