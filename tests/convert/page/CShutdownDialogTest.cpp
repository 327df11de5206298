// The shutdown countdown box: 30 ticks to the power-off request, the texts on the way, and the
// cancel button that ends it with nothing requested.
#include "convert/page/CShutdownDialog.h"
#include "kxlib/ui/KXButtonEx.h"

#include <gtest/gtest.h>

using convert::CShutdownDialog;

namespace {

class Countdown : public CShutdownDialog {
public:
    using CShutdownDialog::CShutdownDialog;
    const std::string& text() const { return messageText; }
    void start()
    {
        secondsLeft = kSeconds;
        messageText = countdownText(secondsLeft);
        initDialog();
    }
};

}  // namespace

TEST(CShutdownDialogTest, CountsThirtySecondsThenRequestsThePowerOffOnce)
{
    int requests = 0;
    Countdown box(nullptr, [&] { ++requests; });
    box.start();
    EXPECT_EQ(box.getTitle(), CShutdownDialog::kTitle);
    EXPECT_EQ(box.findControl("ok").dynamicCast<KXLib::KXButtonEx>()->caption(), CShutdownDialog::kCancelText);
    EXPECT_EQ(box.text(), "您设置了完成任务后自动关机,系统将在 30 秒后自动关机!");
    for (int i = 0; i < 29; ++i)
        box.onMessage(WM_TIMER, CShutdownDialog::kTimerId, 0);
    EXPECT_EQ(box.text(), "您设置了完成任务后自动关机,系统将在 1 秒后自动关机!");
    EXPECT_EQ(requests, 0);
    EXPECT_FALSE(box.hasEnded());
    box.onMessage(WM_TIMER, 7, 0);  // another timer counts nothing
    EXPECT_EQ(requests, 0);
    box.onMessage(WM_TIMER, CShutdownDialog::kTimerId, 0);
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(box.hasEnded());
    EXPECT_EQ(box.text(), "您设置了完成任务后自动关机,系统将在 0 秒后自动关机!");
    box.onMessage(WM_TIMER, CShutdownDialog::kTimerId, 0);
    EXPECT_EQ(requests, 1);
}

TEST(CShutdownDialogTest, CancelEndsTheBoxWithNothingRequested)
{
    int requests = 0;
    Countdown box(nullptr, [&] { ++requests; });
    box.start();
    box.onMessage(WM_TIMER, CShutdownDialog::kTimerId, 0);
    box.onControlEvent(box.findControl("ok"), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(box.hasEnded());
    EXPECT_EQ(box.getClickedButton(), "ok");
    box.onMessage(WM_TIMER, CShutdownDialog::kTimerId, 0);
    EXPECT_EQ(requests, 0);
}
