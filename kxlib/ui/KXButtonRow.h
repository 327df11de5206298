#pragma once
// KXButtonRow: one row of a window's button table, which names each skinned button, says how it
// looks and what its click does. A window keeps its rows in one table, creates its buttons from it
// with placeButtons() and passes a click on with clickButton(), so the names are written once and
// no second list of names has to follow the table.
//
// Threads: window thread only, like the controls.
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDirectUIHandler.h"

#include <string>
#include <vector>

namespace KXLib {

template <class Owner>
struct KXButtonRow {
    const char* name;
    const char* tooltip;  // null: none
    const char* caption;  // null: a picture only
    RECT rect;
    const char* image;
    SIZE frame;
    void (*click)(Owner& owner);
};

// Creates every row's button on `handler`, in table order; captions are placed at `captionOffset`
// with the DT_* flags `captionFormat`.
template <class Owner>
void placeButtons(KXDirectUIHandler& handler, const std::vector<KXButtonRow<Owner>>& rows, POINT captionOffset,
                  UINT captionFormat)
{
    for (const KXButtonRow<Owner>& row : rows) {
        auto button = handler.placeControl<KXButtonEx>("KXButtonEx", row.name, row.rect);
        button->loadImage(row.image, row.frame);
        if (row.tooltip)
            button->setTooltip(row.tooltip);
        if (row.caption)
            button->setText(row.caption, captionOffset, captionFormat);
    }
}

// Runs the click of the row called `name`; false when no row has that name.
template <class Owner>
bool clickButton(const std::vector<KXButtonRow<Owner>>& rows, const std::string& name, Owner& owner)
{
    for (const KXButtonRow<Owner>& row : rows) {
        if (name == row.name) {
            row.click(owner);
            return true;
        }
    }
    return false;
}

}  // namespace KXLib
