#pragma once
// Shows a ProfileTree in a native tree view: one item per node, in the tree's order, with the
// node's icon cell of image/lumaret-imagelist.bmp (the sharper @2x strip where the screen wants one)
// and its expanded state. Used by the profile page (which shows its tree afresh after every
// change), the profile chooser and the add-files page.
//
// Ownership: the tree view and the profile tree belong to the caller; items point at nodes, so
// show() must run again before a node that was deleted could be reached through an item.
// Threads: window thread only.
#include "platform/gui/TreeView.h"
#include "profile/ProfileTree.h"

#include <unordered_map>

namespace profile {

class ProfileTreeView {
public:
    explicit ProfileTreeView(platform::TreeView& view);

    // Gives the view the profile icon strip and the skinned scroll bars.
    void dress();
    // Replaces the view's items with the tree's nodes.
    void show(const ProfileTree& tree);
    // Removes every item, so that no item points at a node any more.
    void clear();
    // The node of an item (null for none); the item of a node (null when not shown).
    ProfileNode* nodeOf(platform::HTREEITEM item) const;
    platform::HTREEITEM itemOf(const ProfileNode* node) const;
    // The node under the mouse; null over no item.
    ProfileNode* nodeAtCursor() const;
    // Selects the node's item and opens the levels above it.
    void select(const ProfileNode* node);
    // Keeps the nodes' expanded flags in step with their items, after the user opened or closed one.
    void noteAllExpanded();

private:
    platform::TreeView& view_;
    std::unordered_map<const ProfileNode*, platform::HTREEITEM> items_;
};

}  // namespace profile
