// The message box in a real X server, answered with a real click: the pointer moved over "是" and
// the left button pressed and released through XTest while the box runs its own modal loop.
#include "kxlib/ui/CMessageDialog.h"
#include "platform/core/MessagePresenter.h"
#include "platform/gui/Timer.h"
#include "tests/support/X11TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The box with a count of its paints, so the test clicks only once it is on the screen.
class WatchedBox : public app::CMessageDialog {
public:
    using CMessageDialog::CMessageDialog;
    void onPaint(platform::DeviceContext& dc) override
    {
        ++paints;
        CMessageDialog::onPaint(dc);
    }
    platform::Window& window() { return window_; }
    int paints = 0;
};

TEST(CMessageDialogX11Test, AQuestionAnsweredByARealClickOnYesSaysYes)
{
    WatchedBox box("", "要删除列表中选中的文件吗?", platform::MessageQuestion | platform::MessageYesNo);
    bool clicked = false;
    int ticks = 0;
    // The box's loop runs the timer: once the box has painted, click its "yes" button. A box that
    // never shows is closed after 20 seconds so the test fails instead of hanging.
    platform::Timer driver([&] {
        ++ticks;
        if (!clicked && box.paints > 0 && box.window().isVisible()) {
            clicked = true;
            const RECT yes = *box.findControl("yes")->getRect();
            const POINT target =
                box.window().clientToScreen(POINT{(yes.left + yes.right) / 2, (yes.top + yes.bottom) / 2});
            EXPECT_TRUE(x11test::xdotool("mousemove " + x11test::at(target.x, target.y) + " click 1"));
        }
        if (ticks > 1000)
            box.endDialog(app::CSkinDialog::IDCANCEL);
    });
    driver.start(20, true);
    const std::string answer = box.run();
    EXPECT_TRUE(clicked) << "the box never painted";
    EXPECT_EQ(answer, "yes");
}

}  // namespace
