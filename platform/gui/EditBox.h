#pragma once
// A native single-line edit box on a Window, editable or read-only.
//
// Reports to the window's listener (WM_COMMAND, MAKEWPARAM(id, code)):
//   EN_CHANGE     the user changed the text (not setText())
//   EN_KILLFOCUS  the edit box lost the keyboard focus
// Enter and Escape arrive as WM_COMMAND IDOK / IDCANCEL with the id in lParam.
//
// Threads: window thread only.
#include "platform/gui/NativeControl.h"

#include <string>

namespace platform {

class EditBox : public NativeControl {
public:
    EditBox(Window& window, int id, bool readOnly = false);

    std::string text() const;
    void setText(const std::string& text);
    void setReadOnly(bool readOnly);
    bool isReadOnly() const;
    // Longest text the user can type, in characters (0: no limit).
    void setTextLimit(int characters);
    // Selects the whole text and scrolls the caret into view.
    void selectAll();
};

}  // namespace platform
