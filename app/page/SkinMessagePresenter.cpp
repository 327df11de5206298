#include "app/page/SkinMessagePresenter.h"

#include "kxlib/ui/CMessageDialog.h"
#include "platform/gui/WindowThread.h"

namespace app {

std::string SkinMessagePresenter::present(const std::string& title, const std::string& text, uint8_t flags)
{
    std::string answer = platform::kAnswerClose;
    platform::WindowThread::run([&] {
        if (ended_)
            return;
        CMessageDialog box(title, text, flags, owner_);
        answer = box.run();
    });
    return answer;
}

}  // namespace app
