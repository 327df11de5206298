// The bottom lines of the main window: the count keeps its place while it fits, moves left to show
// whole when it does not, and the profile line gives way to it but keeps its label.
#include "app/BottomLineLayout.h"

#include <gtest/gtest.h>

using app::BottomLineLayout;

namespace {
constexpr int kRight = 628;
constexpr int kLabel = 90;
}  // namespace

TEST(BottomLineLayoutTest, ACountThatFitsStaysTwoHundredPixelsFromTheRight)
{
    for (const int width : {0, 120, 196}) {
        const BottomLineLayout::Placement p = BottomLineLayout::place(0, kRight, kLabel, width);
        EXPECT_EQ(p.countLeft, kRight - 200) << width;
        EXPECT_EQ(p.countRight, kRight - 4);
        EXPECT_EQ(p.profileLeft, 8);
        EXPECT_EQ(p.profileRight, kRight - 204);
    }
}

TEST(BottomLineLayoutTest, AWiderCountMovesLeftWholeAndTheProfileLineEndsBeforeIt)
{
    for (const int width : {197, 260, 400}) {
        const BottomLineLayout::Placement p = BottomLineLayout::place(0, kRight, kLabel, width);
        EXPECT_EQ(p.countRight - p.countLeft, width) << width;
        EXPECT_EQ(p.countRight, kRight - 4);
        EXPECT_EQ(p.profileRight, p.countLeft - 4) << width;
    }
}

TEST(BottomLineLayoutTest, TheProfileLabelIsNeverCoveredEvenByACountWiderThanTheWindow)
{
    const BottomLineLayout::Placement p = BottomLineLayout::place(0, kRight, kLabel, 5000);
    EXPECT_EQ(p.profileRight - p.profileLeft, kLabel);
    EXPECT_EQ(p.countLeft, p.profileRight + 4);

    // A window too narrow for the usual place never gives the profile line a negative width.
    for (const int right : {0, 50, 150})
        EXPECT_LE(BottomLineLayout::place(0, right, kLabel, 300).profileLeft,
                  BottomLineLayout::place(0, right, kLabel, 300).profileRight)
            << right;
}
