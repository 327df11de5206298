#include "profile/page/ProfileTreeView.h"

#include "kxlib/ui/KXDraw.h"

#include <vector>

namespace profile {

ProfileTreeView::ProfileTreeView(platform::TreeView& view)
    : view_(view)
{
}

void ProfileTreeView::dress()
{
    platform::Image icons;
    platform::Image sharpIcons;
    if (!KXLib::loadImage(sharpIcons, "image/lumaret-imagelist@2x.png", false))
        KXLib::loadImage(sharpIcons, "image/lumaret-imagelist@2x.bmp", false);
    if (KXLib::loadImage(icons, "image/lumaret-imagelist.bmp", false))
        view_.setImageStrip(icons, platform::TreeView::kIconSize, RGB(255, 255, 255), sharpIcons);
    platform::Image skin;
    if (KXLib::loadImage(skin, "image/lumaret-scrollskin.bmp", false))
        view_.attachSkinScrollbars(skin);
}

void ProfileTreeView::clear()
{
    view_.deleteAllItems();
    items_.clear();
}

void ProfileTreeView::show(const ProfileTree& tree)
{
    clear();
    // Parents come before their children in pre-order, so each parent's item already exists.
    std::vector<const ProfileNode*> expanded;
    tree.findInPreOrder([&](const ProfileNode& node) {
        const platform::HTREEITEM parent = node.parent() && node.parent()->parent() ? items_[node.parent()] : nullptr;
        items_[&node] = view_.insertItem(parent, node.textUtf8(), node.imageIndex(),
                                         const_cast<ProfileNode*>(&node));
        if (node.isExpanded())
            expanded.push_back(&node);
        return false;
    });
    for (const ProfileNode* node : expanded)
        view_.expand(items_[node]);
}

ProfileNode* ProfileTreeView::nodeOf(platform::HTREEITEM item) const
{
    return item ? static_cast<ProfileNode*>(view_.itemData(item)) : nullptr;
}

platform::HTREEITEM ProfileTreeView::itemOf(const ProfileNode* node) const
{
    const auto found = items_.find(node);
    return found == items_.end() ? nullptr : found->second;
}

ProfileNode* ProfileTreeView::nodeAtCursor() const { return nodeOf(view_.itemAtCursor()); }

void ProfileTreeView::select(const ProfileNode* node)
{
    for (const ProfileNode* p = node ? node->parent() : nullptr; p && p->parent(); p = p->parent())
        if (platform::HTREEITEM item = itemOf(p))
            view_.expand(item);
    view_.selectItem(itemOf(node));
}

void ProfileTreeView::noteAllExpanded()
{
    for (const auto& [node, item] : items_)
        const_cast<ProfileNode*>(node)->setExpanded(view_.isExpanded(item));
}

}  // namespace profile
