#pragma once
// What the profile editor's in-place editor offers for each property row, and how the value the
// user leaves in it is stored into the working copy. Display-free: a page fills its native combo
// box from RowEditor and hands the text or the chosen index back to commitValue / commitChoice.
// The name row is the editor's (it needs the tree to refuse a taken name), not this class's.
// Safe from any thread; the category suggestions are passed in by the caller.
#include "profile/ProfileRecord.h"

#include <string>
#include <vector>

namespace profile {

struct RowEditor {
    enum class Kind {
        None,    // the row cannot be edited (icon rows, or a condition of the row failed)
        Value,   // an editable combo box: free text with suggestions
        Choice,  // a drop-down list of fixed choices
        Name,    // the name edit box
    };
    Kind kind = Kind::None;
    std::vector<std::string> entries;
    // Value: the text to select in the list (the first entry beginning with it), empty for none.
    // Name: the text to edit.
    std::string text;
    // Choice: the entry to select; -1 for none.
    int selected = -1;
};

class ProfileRowEditors {
public:
    // Text limit of the editable combo box, in characters.
    static constexpr int kValueTextLimit = 20;

    // The editor of `row` for the working copy `w`. `categories` are the suggestions of row 0 (the
    // category names of the profile files); `contextMenuEnabled` opens row 14.
    static RowEditor editorFor(const ProfileRecord& w, int row, const std::vector<std::string>& categories,
                               bool contextMenuEnabled);

    // Stores the text of the editable combo box of `row` into `w`. An empty text, or one that does
    // not parse within the row's field (ProfileValueParser), changes nothing. Returns whether `w`
    // changed.
    static bool commitValue(ProfileRecord& w, int row, const std::string& text);
    // Stores the chosen index of the drop-down list of `row` into `w`; an index equal to the
    // field's value, or outside the row's choices, changes nothing. Returns whether `w` changed.
    static bool commitChoice(ProfileRecord& w, int row, int index);
};

}  // namespace profile
