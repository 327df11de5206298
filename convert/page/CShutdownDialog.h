#pragma once
// CShutdownDialog: the countdown shown when the queue is done and the user asked to power off
// afterwards. The skinned message box with one button, relabelled "取消", counting 30 seconds down
// once a second; at zero it asks the login manager to power the machine off and closes. "取消"
// closes it and nothing else happens.
//
// Power-off is MachinePower's (its header says which answers of the login manager power off).
//
// Threads: window thread only.
#include "kxlib/ui/CMessageDialog.h"

#include <functional>
#include <string>

namespace convert {

class CShutdownDialog : public app::CMessageDialog {
public:
    static constexpr int kSeconds = 30;
    static constexpr int kTimerId = 1;
    static constexpr const char* kTitle = "转换任务完成";
    static constexpr const char* kCancelText = "取消";

    // powerOff: what happens at zero; empty means MachinePower's power-off on the system bus.
    explicit CShutdownDialog(HWND owner = nullptr, std::function<void()> powerOff = {});
    ~CShutdownDialog() override;

    // Starts at 30 and runs the box until it closes.
    void runCountdown();
    // The message for a number of seconds left.
    static std::string countdownText(int seconds);

    // One tick of the countdown (the timer's work), for the box's timer and tests.
    void tick();
    int secondsLeft = 0;

    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void onInitDialog() override;

private:
    std::function<void()> powerOff_;
};

}  // namespace convert
