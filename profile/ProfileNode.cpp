#include "profile/ProfileNode.h"

#include <algorithm>

namespace profile {

namespace {

constexpr int32_t kConversionTypeCount = 52;

}  // namespace

int profileImageIndex(int32_t conversionType)
{
    return (conversionType >= 0 && conversionType < kConversionTypeCount) ? conversionType + 1 : 0;
}

ProfileNode::ProfileNode(std::u16string text, int imageIndex)
    : text_(std::move(text))
    , imageIndex_(imageIndex)
{
}

ProfileNode::~ProfileNode()
{
    // Flatten the subtree into a work list so each node is destroyed with no children left, which
    // keeps the destruction depth at one whatever the shape of the tree.
    std::vector<std::unique_ptr<ProfileNode>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<ProfileNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children_)
            pending.push_back(std::move(child));
        node->children_.clear();
    }
}

ProfileNode* ProfileNode::appendChild(std::u16string text, int imageIndex)
{
    return adoptChild(std::make_unique<ProfileNode>(std::move(text), imageIndex));
}

ProfileNode* ProfileNode::adoptChild(std::unique_ptr<ProfileNode> node)
{
    node->parent_ = this;
    children_.push_back(std::move(node));
    return children_.back().get();
}

std::unique_ptr<ProfileNode> ProfileNode::detachChild(const ProfileNode* node)
{
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [node](const auto& child) { return child.get() == node; });
    if (found == children_.end())
        return nullptr;
    std::unique_ptr<ProfileNode> detached = std::move(*found);
    children_.erase(found);
    detached->parent_ = nullptr;
    return detached;
}

bool ProfileNode::contains(const ProfileNode* node) const
{
    for (; node; node = node->parent_) {
        if (node == this)
            return true;
    }
    return false;
}

}  // namespace profile
