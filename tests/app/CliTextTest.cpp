#include "app/CliText.h"

#include <gtest/gtest.h>

using app::printable;

TEST(CliTextTest, ControlCharactersBecomeEscapesAndTheRestStays)
{
    EXPECT_EQ(printable("/v/a\nb\r\t.mp4"), "/v/a\\nb\\r\\t.mp4");
    EXPECT_EQ(printable(std::string("nul\0end", 7)), "nul\\x00end");
    EXPECT_EQ(printable("\x1b[2J\x7f"), "\\x1B[2J\\x7F");
    // A backslash is doubled, so an escape in the output always means a control character.
    EXPECT_EQ(printable("a\\nb"), "a\\\\nb");
    // C1 controls (CSI here) are escaped; other UTF-8 and stray bytes pass through.
    EXPECT_EQ(printable("x\xc2\x9b" "31m"), "x\\u009B31m");
    EXPECT_EQ(printable("移动设备 é \xc2\xa0 \xff\xc2"), "移动设备 é \xc2\xa0 \xff\xc2");
    EXPECT_EQ(printable(""), "");
}
