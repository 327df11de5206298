#pragma once
// The profile tree: categories and profiles in the order they were inserted, with the rule that
// builds it from records (insertProfile) and the searches the rest of the program relies on.
// Every search walks in depth-first pre-order (a node before its children, children in order),
// iteratively, so a deep tree read from a damaged file cannot exhaust the stack.
// Not thread-safe: one thread at a time (the window thread in the program).
#include "profile/ProfileNode.h"

#include <memory>
#include <string_view>

namespace profile {

class ProfileTree {
public:
    ProfileTree() = default;
    ProfileTree(const ProfileTree&) = delete;
    ProfileTree& operator=(const ProfileTree&) = delete;

    // The invisible root; its children are the top-level nodes.
    ProfileNode& root() { return root_; }
    const ProfileNode& root() const { return root_; }
    bool empty() const { return root_.childCount() == 0; }

    // Removes every node and frees every record.
    void clear();

    // Inserts a record by the tree-building rule and returns its node, or null when the record is
    // refused (it is then freed here). The tree owns an accepted record.
    //  - A record named like an existing node is refused with an error message, except that a user
    //    record (isUserProfile 1) replaces the record of a built-in profile node (isUserProfile 0)
    //    in place, and takes over a category node of its name (the node keeps its children and
    //    moves under the record's category, where it belongs).
    //  - Otherwise it becomes the last child of the node named by its categoryName; a missing
    //    category becomes a new top-level category node. A record naming itself as its category
    //    is refused silently: it could only sit under a node of its own name.
    ProfileNode* insertProfile(std::unique_ptr<ProfileRecord> record);

    // First node in pre-order below `start` (the whole tree when start is the root or null) whose
    // text equals `text` exactly (UTF-16 code units, case-sensitive); null if none.
    ProfileNode* findNodeByText(std::u16string_view text, const ProfileNode* start = nullptr);
    const ProfileNode* findNodeByText(std::u16string_view text, const ProfileNode* start = nullptr) const;
    // First node in pre-order whose record has isDefault != 0; null if none.
    ProfileNode* findDefaultNode();
    const ProfileNode* findDefaultNode() const;
    // First node in pre-order that has a record; null if none.
    ProfileNode* findFirstProfileNode();
    const ProfileNode* findFirstProfileNode() const;

    // Calls visit(node) for every node below `start` (the whole tree when null) in pre-order and
    // stops at the first call that returns true; returns that node or null.
    template <typename Visit>
    const ProfileNode* findInPreOrder(Visit&& visit, const ProfileNode* start = nullptr) const;

    // Number of profile nodes in the tree.
    std::size_t profileCount() const;

private:
    ProfileNode root_;
};

template <typename Visit>
const ProfileNode* ProfileTree::findInPreOrder(Visit&& visit, const ProfileNode* start) const
{
    struct Position {
        const ProfileNode* node;
        std::size_t nextChild;
    };
    std::vector<Position> stack{{start ? start : &root_, 0}};
    while (!stack.empty()) {
        Position& top = stack.back();
        if (top.nextChild == top.node->childCount()) {
            stack.pop_back();
            continue;
        }
        const ProfileNode* node = top.node->child(top.nextChild++);
        if (visit(*node))
            return node;
        if (node->childCount() != 0)
            stack.push_back({node, 0});
    }
    return nullptr;
}

}  // namespace profile
