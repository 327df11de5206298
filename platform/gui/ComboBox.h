#pragma once
// A native combo box on a Window: either editable (a text field with a drop-down of suggestions)
// or a drop-down list (a fixed choice).
//
// Reports to the window's listener (WM_COMMAND, MAKEWPARAM(id, code)):
//   CBN_SELCHANGE   the user chose another entry of the list
//   CBN_EDITCHANGE  the user changed the text of an editable combo box
//   CBN_KILLFOCUS   the combo box lost the keyboard focus (not to its own open list)
// Enter and Escape arrive as WM_COMMAND IDOK / IDCANCEL with the id in lParam.
//
// Threads: window thread only.
#include "platform/gui/NativeControl.h"

#include <string>

namespace platform {

class ComboBox : public NativeControl {
public:
    enum class Kind { Editable, DropList };

    ComboBox(Window& window, int id, Kind kind);

    Kind kind() const { return kind_; }
    // Longest text the user can type into an editable combo box, in characters (0: no limit).
    // A longer text already there is cut.
    void setTextLimit(int characters);
    int textLimit() const;

    // Appends an entry; returns its index.
    int addString(const std::string& text);
    void resetContent();
    int count() const;
    std::string itemText(int index) const;

    // The selected entry, -1 for none (an editable box whose text matches no entry picked).
    int curSel() const;
    // Selects entry `index` (-1 clears the selection and, for an editable box, the text).
    void setCurSel(int index);
    // Selects the first entry that begins with `prefix`, ignoring letter case; returns its index,
    // or -1 (and the selection is unchanged) when none does.
    int selectString(const std::string& prefix);
    // The index of the entry equal to `text`, ignoring letter case; -1 when none is.
    int findStringExact(const std::string& text) const;

    // The text shown: the typed text of an editable box, the selected entry of a list.
    std::string text() const;
    // Sets an editable box's text (cut to the limit); a list selects the entry equal to it.
    void setText(const std::string& text);
    void selectAllText();
    void showDropDown(bool shown);

private:
    Kind kind_;
};

}  // namespace platform
