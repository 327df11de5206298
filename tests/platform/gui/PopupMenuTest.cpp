// The pop-up menu: items, check marks and separators as the toolkit shows them, and the command id
// of the chosen item (0 when the menu is dismissed).
#include "platform/gui/PopupMenu.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Acts on the menu once it is open.
void whenOpen(const std::function<void(QMenu*)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        act(menu);
    });
}

platform::PopupMenu cpuMenu()
{
    platform::PopupMenu menu;
    menu.addItem(32771, "实时");
    menu.addItem(32772, "高");
    menu.addItem(32773, "普通", true);
    menu.addItem(32774, "低");
    menu.addSeparator();
    menu.addItem(32775, "转换结束后关闭计算机");
    return menu;
}

TEST(PopupMenuTest, ReturnsTheChosenCommandAndShowsChecksAndSeparators)
{
    platform::PopupMenu menu = cpuMenu();
    EXPECT_TRUE(menu.checkItem(32775, true));
    EXPECT_FALSE(menu.checkItem(99, true));
    EXPECT_EQ(menu.itemCount(), 6);

    int separators = 0;
    std::vector<QString> checked;
    whenOpen([&](QMenu* open) {
        for (QAction* action : open->actions()) {
            if (action->isSeparator())
                ++separators;
            else if (action->isChecked())
                checked.push_back(action->text());
        }
        // Choose the way a user does from the keyboard: make the item active, press Enter.
        open->setActiveAction(open->actions().at(1));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(open, &enter);
    });
    EXPECT_EQ(menu.track(POINT{100, 100}), 32772);
    EXPECT_EQ(separators, 1);
    EXPECT_EQ(checked, (std::vector<QString>{QStringLiteral("普通"), QStringLiteral("转换结束后关闭计算机")}));
}

TEST(PopupMenuTest, DismissingChoosesNothing)
{
    platform::PopupMenu menu = cpuMenu();
    whenOpen([](QMenu* open) { open->close(); });
    EXPECT_EQ(menu.track(POINT{10, 10}), 0);
}

}  // namespace
