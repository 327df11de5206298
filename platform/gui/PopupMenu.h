#pragma once
// A pop-up menu of commands shown at a point of the screen: items with a command id, a text, an
// optional check mark, and separators. track() shows it, waits (running the event loop) until the
// user chooses an item or dismisses the menu, and returns the chosen command id, 0 when none.
//
// Threads: window thread only.
#include "platform/core/WinTypes.h"

#include <string>
#include <vector>

namespace platform {

class Window;

class PopupMenu {
public:
    // Appends an item. Ids are the owner's command numbers and must not be 0.
    void addItem(int id, const std::string& text, bool checked = false, bool enabled = true);
    void addSeparator();
    // Sets or clears the check mark of the item with that id; false when there is none.
    bool checkItem(int id, bool checked);
    bool isChecked(int id) const;
    int itemCount() const { return static_cast<int>(items_.size()); }

    // Shows the menu with its top-left corner at `screen` (moved to stay on the screen) over
    // `owner` (may be null). Returns the id chosen, 0 when the menu was dismissed.
    int track(POINT screen, Window* owner = nullptr) const;

private:
    struct Item {
        int id = 0;  // 0 for a separator
        std::string text;
        bool checked = false;
        bool enabled = true;
    };
    std::vector<Item> items_;
};

}  // namespace platform
