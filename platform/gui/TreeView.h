#pragma once
// A native tree view on a Window: one column of items, each with a text, a 16 x 16 icon from an
// image strip and a pointer of the owner's (the tree never looks at it or frees it). Items are
// named by handles that stay valid until the item is deleted.
//
// Reports to the window's listener (WM_NOTIFY, wParam the tree's id, lParam the code):
//   NM_CLICK          the left button was released over the tree (hit-test with itemAtCursor())
//   NM_DBLCLK         a left double click
//   TVN_SELCHANGED    the selected item changed, by the user or by selectItem()
//   TVN_ITEMEXPANDED  an item was expanded or collapsed, by the user or by expand()
//   NM_KILLFOCUS      the tree lost the keyboard focus
//
// Threads: window thread only.
#include "platform/gui/Image.h"
#include "platform/gui/NativeControl.h"

#include <string>

namespace platform {

struct TreeItemTag;
using HTREEITEM = TreeItemTag*;

class TreeView : public NativeControl {
public:
    static constexpr int kIconSize = 16;

    TreeView(Window& window, int id);

    // Cuts `strip` into square cells of `cell` pixels side by side (cell n at x = n * cell); pixels
    // of the `mask` colour are transparent. Icon n of an item is cell n. Returns the number of
    // cells, 0 for a null strip (items then show no icons). `strip2x`, when given, is the same
    // strip drawn at twice the size, for screens with a device-pixel ratio of 2 (its cells that
    // the first strip lacks are ignored).
    int setImageStrip(const Image& strip, int cell = kIconSize, COLORREF mask = RGB(255, 255, 255),
                      const Image& strip2x = Image());
    int imageCount() const;

    // Appends an item as the last child of `parent` (null: the last top-level item). `image` is a
    // cell of the strip; an index outside it shows no icon. Returns the new item.
    HTREEITEM insertItem(HTREEITEM parent, const std::string& text, int image, void* data = nullptr);
    // Deletes the item and everything below it; the owner frees what its data points to.
    void deleteItem(HTREEITEM item);
    void deleteAllItems();
    // Number of items in the whole tree.
    int count() const;

    std::string itemText(HTREEITEM item) const;
    void setItemText(HTREEITEM item, const std::string& text);
    int itemImage(HTREEITEM item) const;
    void setItemImage(HTREEITEM item, int image);
    void* itemData(HTREEITEM item) const;
    void setItemData(HTREEITEM item, void* data);

    // Walking the tree: null ends a walk. childItem(null) is the first top-level item.
    HTREEITEM parentItem(HTREEITEM item) const;
    HTREEITEM childItem(HTREEITEM item) const;
    HTREEITEM nextSibling(HTREEITEM item) const;

    // Selects the item (null clears the selection) and scrolls it into view.
    void selectItem(HTREEITEM item);
    HTREEITEM selectedItem() const;
    void expand(HTREEITEM item, bool expanded = true);
    bool isExpanded(HTREEITEM item) const;

    // The item at a point of the tree's own client area, or under the mouse; null over no item.
    HTREEITEM hitTest(POINT p) const;
    HTREEITEM itemAtCursor() const;
    // The item's row in the tree's own client area; empty when it is not shown (collapsed away).
    RECT itemRect(HTREEITEM item) const;

    // How far the tree scrolls sideways, in pixels: 0 when every shown item fits its width.
    int horizontalScrollRange() const;

    // Gives the tree the skinned scroll bars (SkinScrollbars.h); false as attachSkinScrollbar().
    bool attachSkinScrollbars(const Image& skin);

private:
    int imageCount_ = 0;
};

}  // namespace platform
