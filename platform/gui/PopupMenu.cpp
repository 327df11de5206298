#include "platform/gui/PopupMenu.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"

#include <QAction>
#include <QMenu>

namespace platform {

void PopupMenu::addItem(int id, const std::string& text, bool checked, bool enabled)
{
    items_.push_back(Item{id, text, checked, enabled});
}

void PopupMenu::addSeparator() { items_.push_back(Item{}); }

bool PopupMenu::checkItem(int id, bool checked)
{
    for (Item& item : items_) {
        if (item.id == id && id != 0) {
            item.checked = checked;
            return true;
        }
    }
    return false;
}

bool PopupMenu::isChecked(int id) const
{
    for (const Item& item : items_)
        if (item.id == id && id != 0)
            return item.checked;
    return false;
}

int PopupMenu::track(POINT screen, Window* owner) const
{
    QMenu menu(owner ? widgetOf(*owner) : nullptr);
    for (const Item& item : items_) {
        if (item.id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(toQString(item.text));
        action->setData(item.id);
        action->setEnabled(item.enabled);
        // Only checked items show the box: the classic menu shows nothing beside the others.
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
    }
    const QAction* chosen = menu.exec(QPoint(screen.x, screen.y));
    return chosen ? chosen->data().toInt() : 0;
}

}  // namespace platform
