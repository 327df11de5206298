#pragma once
// GalleryList: a list of made-up conversion rows for the control gallery, long enough to scroll.
// It draws a header text per column and each row's file name, format and status.
#include "kxlib/ui/KXListCtrl.h"

namespace gallery {

class GalleryList : public KXLib::KXListCtrl {
public:
    // Fills the list with `rows` rows and three columns fitted to `width`.
    void fill(int rows, int width);

protected:
    void drawHeaderCell(HDC dc, int column, const RECT& cell) override;
    void drawRow(HDC dc, int row, KXLib::ListRow* entry, const RECT& rowRect) override;
};

}  // namespace gallery
