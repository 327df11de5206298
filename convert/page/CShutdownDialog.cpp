#include "convert/page/CShutdownDialog.h"

#include "convert/page/MachinePower.h"
#include "kxlib/ui/KXButtonEx.h"
#include "platform/core/MessagePresenter.h"

namespace convert {

namespace {
constexpr uint8_t kCountdownFlags = platform::MessageInfo | 16;
}  // namespace

CShutdownDialog::CShutdownDialog(HWND owner, std::function<void()> powerOff)
    : app::CMessageDialog(kTitle, countdownText(kSeconds), kCountdownFlags, owner), powerOff_(std::move(powerOff))
{
}

CShutdownDialog::~CShutdownDialog() = default;

std::string CShutdownDialog::countdownText(int seconds)
{
    return "您设置了完成任务后自动关机,系统将在 " + std::to_string(seconds) + " 秒后自动关机!";
}

void CShutdownDialog::runCountdown()
{
    secondsLeft = kSeconds;
    messageText = countdownText(secondsLeft);
    run();
}

void CShutdownDialog::onInitDialog()
{
    app::CMessageDialog::onInitDialog();
    if (auto ok = findControl(platform::kAnswerOk).dynamicCast<KXLib::KXButtonEx>())
        ok->setText(kCancelText, POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    messageTitle = kTitle;
    window_.setTitle(kTitle);
    window_.setTimer(kTimerId, 1000);
}

void CShutdownDialog::tick()
{
    --secondsLeft;
    if (secondsLeft <= 0) {
        window_.killTimer(kTimerId);
        if (powerOff_)
            powerOff_();
        else
            MachinePower().powerOff();
        clickedButton = platform::kAnswerOk;
        endDialog(IDOK);
    }
    messageText = countdownText(secondsLeft);
    window_.invalidate();
}

bool CShutdownDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kTimerId && !hasEnded()) {
        tick();
        return true;
    }
    return app::CMessageDialog::onMessage(message, wParam, lParam);
}

}  // namespace convert
