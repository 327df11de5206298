#pragma once
// addFileList: the two-column list of the add-files page, "来源" (the source path) and "大小(mb)".
// Its rows mirror the entries of the page's GatheredFiles in order; a row's value is unused and
// the entry is found by the row's index, so a batch of ten thousand files costs one vector.
// Hovering over a source shows the whole path as the tooltip.
//
// Ownership: the GatheredFiles must outlive the list's rows; the page keeps both.
// Threads: window thread only.
#include "app/GatheredFiles.h"
#include "kxlib/ui/KXListCtrl.h"

#include <array>
#include <string>

namespace app {

class addFileList : public KXLib::KXListCtrl {
public:
    enum Column { SourceColumn, SizeColumn, ColumnCount };
    static constexpr std::array<int, ColumnCount> kColumnWidths{320, 60};
    static constexpr std::array<const char*, ColumnCount> kColumnTitles{"来源", "大小(mb)"};

    explicit addFileList(const GatheredFiles& files);

    // Adds or removes rows at the end until there is one per entry.
    void syncRows();

    // The tooltip at a point of the page (the whole source path over column 0); false elsewhere.
    bool tooltipAt(POINT point, std::string& out) const;

    std::string getClassName() const override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool getTooltip(std::string& out) const override;

protected:
    void drawHeaderCell(HDC dc, int column, const RECT& cell) override;
    void drawRow(HDC dc, int row, KXLib::ListRow* entry, const RECT& rowRect) override;

private:
    const GatheredFiles& files_;
    POINT lastMouse_{-1, -1};
};

}  // namespace app
