#pragma once
// One node of the profile tree: a category (no record) or a profile (owns its record).
// Nodes own their children; the tree is a plain owning structure with no window behind it, so the
// engine, the command-line front end and the pages can all build and walk it. Not thread-safe:
// a tree is used by one thread at a time (the window thread in the program).
#include "profile/ProfileRecord.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// The image cell shown for a profile of the given conversion type: type + 1 for the 52 known
// types, else the category cell 0 (a damaged record must not index past the image strip).
int profileImageIndex(int32_t conversionType);

class ProfileNode {
public:
    ProfileNode() = default;
    ProfileNode(std::u16string text, int imageIndex);
    // Destroys the subtree without recursion, so a degenerate (very deep) tree read from a
    // damaged file cannot exhaust the stack.
    ~ProfileNode();
    ProfileNode(const ProfileNode&) = delete;
    ProfileNode& operator=(const ProfileNode&) = delete;

    // The node text: the profileName of a profile node, the category text of a category node.
    const std::u16string& text() const { return text_; }
    std::string textUtf8() const { return toUtf8(text_); }
    void setText(std::u16string text) { text_ = std::move(text); }

    // 0 for a category node, profileImageIndex(conversionType) for a profile node.
    int imageIndex() const { return imageIndex_; }
    void setImageIndex(int index) { imageIndex_ = index; }

    // The owned record; null for a category node.
    ProfileRecord* record() { return record_.get(); }
    const ProfileRecord* record() const { return record_.get(); }
    bool isProfile() const { return record_ != nullptr; }
    // Gives the node a record (replacing and freeing any previous one).
    void setRecord(std::unique_ptr<ProfileRecord> record) { record_ = std::move(record); }
    std::unique_ptr<ProfileRecord> takeRecord() { return std::move(record_); }

    // Whether a tree view shows the node's children; only a hint for the view.
    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded) { expanded_ = expanded; }

    // Null for the root.
    ProfileNode* parent() const { return parent_; }
    const std::vector<std::unique_ptr<ProfileNode>>& children() const { return children_; }
    std::size_t childCount() const { return children_.size(); }
    ProfileNode* child(std::size_t index) const { return children_[index].get(); }

    // Appends a new last child and returns it (owned by this node).
    ProfileNode* appendChild(std::u16string text, int imageIndex);
    // Appends a node detached from elsewhere (with its subtree) as the last child.
    ProfileNode* adoptChild(std::unique_ptr<ProfileNode> node);
    // Detaches a direct child and hands it (with its subtree) to the caller; null if `node` is not
    // a child of this node.
    std::unique_ptr<ProfileNode> detachChild(const ProfileNode* node);
    // True when `node` is this node or lies in its subtree.
    bool contains(const ProfileNode* node) const;

private:
    std::u16string text_;
    int imageIndex_ = 0;
    bool expanded_ = false;
    std::unique_ptr<ProfileRecord> record_;
    ProfileNode* parent_ = nullptr;
    std::vector<std::unique_ptr<ProfileNode>> children_;
};

}  // namespace profile
