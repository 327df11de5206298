#pragma once
// The 15 rows the profile editor and the profile chooser show for one profile: each row's label,
// the text of its value and, for the two icon rows, the image cell. Display-free: the pages draw
// what these functions return. Texts are UTF-8. Safe from any thread (only the constant tables
// and the record passed in are read).
#include "profile/ProfileRecord.h"

#include <string>

namespace profile {

class ProfileProperties {
public:
    static constexpr int kRowCount = 15;
    enum Row : int {
        Category = 0,
        CategoryIcon = 1,
        Name = 2,
        NameIcon = 3,
        Default = 4,
        ConversionType = 5,
        VideoCodec = 6,
        VideoSize = 7,
        VideoBitrate = 8,
        FrameRate = 9,
        AudioCodec = 10,
        SampleRate = 11,
        AudioBitrate = 12,
        AudioChannels = 13,
        ContextMenu = 14,
    };

    static constexpr const char* kYes = "是";
    static constexpr const char* kNo = "否";
    static constexpr const char* kContextMenuOff = "没有启用系统右键菜单支持";

    // The row's label; empty outside 0..14.
    static std::string label(int row);
    // The value text of the row for `record`. The icon rows have no text. `contextMenuEnabled` is
    // the setting that offers profiles in the file manager's menu (row 14).
    static std::string valueText(const ProfileRecord& record, int row, bool contextMenuEnabled);
    // The image cell of an icon row (0 for the category, conversionType + 1 for the profile, the
    // category cell for a type outside the table); -1 for the other rows.
    static int iconCell(const ProfileRecord& record, int row);

    // A number as the editor shows it: up to 6 significant digits, no trailing zeros (25, 29.97,
    // 12.2).
    static std::string formatNumber(double value);
};

}  // namespace profile
