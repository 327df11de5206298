// Native controls under a real X server with input sent through XTest (xdotool): a click on a row
// of the native tree selects it and reaches the owner as NM_CLICK, and a click on an item of the
// pop-up menu returns that item's command id.
#include "platform/gui/PopupMenu.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/TreeView.h"
#include "platform/gui/Window.h"
#include "tests/support/X11TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using x11test::at;
using x11test::waitUntil;
using x11test::xdotool;

namespace {

class Owner : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext&) override { ++paints; }
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY && wParam == 1012)
            notes.push_back(static_cast<int>(lParam));
        return true;
    }
    bool heard(int code) const { return std::find(notes.begin(), notes.end(), code) != notes.end(); }
    std::vector<int> notes;
    int paints = 0;
};

TEST(NativeControlsX11Test, ClickingATreeRowSelectsItAndNotifiesTheOwner)
{
    Owner owner;
    platform::Window window(platform::Window::Kind::TopLevel, &owner);
    window.setGeometry(RECT{100, 100, 500, 400});
    platform::TreeView tree(window, 1012);
    tree.setRect(RECT{0, 0, 235, 300});
    platform::Image strip(16 * 53, 16, 0xFFFFFFFF);
    tree.setImageStrip(strip);
    int record = 1;
    const platform::HTREEITEM category = tree.insertItem(nullptr, "常用视频格式", 0);
    tree.insertItem(category, "AVI 640x480", 9, &record);
    const platform::HTREEITEM target = tree.insertItem(category, "PSP 320x240", 27, &record);
    tree.expand(category);
    tree.show();
    window.show();
    window.activate();
    ASSERT_TRUE(waitUntil([&] { return window.isVisible() && owner.paints > 0; }));

    const RECT row = tree.itemRect(target);
    ASSERT_FALSE(row.isEmpty());
    const POINT screen =
        window.clientToScreen(POINT{tree.rect().left + row.left + 60, tree.rect().top + row.top + row.height() / 2});
    owner.notes.clear();
    ASSERT_TRUE(xdotool("mousemove " + at(screen.x, screen.y) + " click 1"));
    ASSERT_TRUE(waitUntil([&] { return owner.heard(NM_CLICK); }));
    EXPECT_EQ(tree.selectedItem(), target);
    EXPECT_TRUE(owner.heard(TVN_SELCHANGED));
    EXPECT_EQ(tree.itemAtCursor(), target) << "the owner finds the clicked item under the cursor";
    EXPECT_EQ(tree.itemData(tree.itemAtCursor()), &record);
}

TEST(NativeControlsX11Test, ClickingAMenuItemReturnsItsCommand)
{
    platform::PopupMenu menu;
    menu.addItem(32771, "实时");
    menu.addItem(32772, "高");
    menu.addItem(32773, "普通", true);
    menu.addSeparator();
    menu.addItem(32775, "转换结束后关闭计算机");

    bool clicked = false;
    QTimer::singleShot(0, [&] {
        QMenu* open = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return open && open->isVisible();
        }));
        QAction* high = open->actions().at(1);
        const QRect item = open->actionGeometry(high);
        const QPoint screen = open->mapToGlobal(item.center());
        // Move first so the menu sees the pointer arrive, then click.
        clicked = xdotool("mousemove " + at(screen.x(), screen.y())) &&
                  xdotool("mousemove " + at(screen.x() + 1, screen.y())) && xdotool("click 1");
    });
    EXPECT_EQ(menu.track(POINT{300, 300}), 32772);
    EXPECT_TRUE(clicked);
}

}  // namespace
