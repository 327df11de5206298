// The program's own messages: a window that answers two of them must see two numbers.
#include "platform/core/WindowMessages.h"

#include <gtest/gtest.h>

#include <set>

TEST(WindowMessagesTest, EachWindowAnswersDistinctNumbersAboveTheSystemRange)
{
    const std::set<UINT> mainWindow{WM_SKIN_CHANGED, WM_PROFILE_SAVED, WM_EDIT_PROFILE, WM_TRAY_NOTIFY,
                                    WM_PROFILES_STORED, WM_RUN_EXIT, WM_RUN_ABOUT, WM_RUN_COMMAND_FILE};
    EXPECT_EQ(mainWindow.size(), 8u);
    EXPECT_NE(WM_SKIN_CHANGED, WM_GALLERY_ACTION);
    for (UINT message : mainWindow)
        EXPECT_GE(message, WM_USER);
    EXPECT_GE(WM_REPAINT_PAGE, WM_USER);
    EXPECT_GE(WM_UNINSTALL_PROGRESS, WM_USER);
}
