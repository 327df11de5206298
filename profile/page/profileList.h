#pragma once
// profileList: the two-column property list of the profile page and the profile chooser. It holds
// the working copy it shows and draws the 15 rows (labels on the left, values on the right, the
// two icon rows as image cells of image/lumaret-imagelist.bmp). What each row says comes from
// ProfileProperties; this class only draws.
//
// Ownership: lives in KXSmartPtr like every control. Threads: window thread only.
#include "kxlib/ui/KXListCtrl.h"
#include "platform/gui/Image.h"
#include "profile/ProfileRecord.h"

namespace profile {

class profileList : public KXLib::KXListCtrl {
public:
    // `valueWidth` is the width of the value column (the label column is 150 pixels).
    explicit profileList(int valueWidth);

    ProfileRecord workingCopy;
    // The file manager's menu setting, for row 14.
    bool contextMenuEnabled = false;

protected:
    void drawHeaderCell(HDC dc, int column, const RECT& cell) override;
    void drawRow(HDC dc, int row, KXLib::ListRow* entry, const RECT& rowRect) override;

private:
    platform::Image icons_;
};

}  // namespace profile
