#include "platform/core/MessagePresenter.h"

#include "kxlib/KXMutex.h"
#include "kxlib/KXMutexLock.h"
#include "kxlib/KXThreadSafety.h"

#include <cstdio>

namespace platform {

namespace {

// Prints the message to standard error; used until a program installs its own presenter.
class StandardErrorPresenter final : public MessagePresenter {
public:
    std::string present(const std::string& title, const std::string& text, uint8_t flags) override
    {
        const char* kind = (flags & MessageInfo) ? "info" : (flags & MessageError) ? "error"
                         : (flags & MessageQuestion) ? "question" : "message";
        std::fprintf(stderr, "[%s] %s: %s\n", kind, title.empty() ? "Lumaret" : title.c_str(), text.c_str());
        return (flags & MessageYesNo) ? kAnswerYes : kAnswerOk;
    }
};

KXLib::KXMutex presenterMutex;
std::shared_ptr<MessagePresenter> currentPresenter KX_GUARDED_BY(presenterMutex);

std::shared_ptr<MessagePresenter> presenterInUse()
{
    KXLib::KXMutexLock lock(presenterMutex);
    if (!currentPresenter)
        currentPresenter = std::make_shared<StandardErrorPresenter>();
    return currentPresenter;
}

}  // namespace

std::shared_ptr<MessagePresenter> setMessagePresenter(std::shared_ptr<MessagePresenter> presenter)
{
    KXLib::KXMutexLock lock(presenterMutex);
    auto previous = std::move(currentPresenter);
    currentPresenter = std::move(presenter);
    return previous;
}

std::string showMessage(const std::string& title, const std::string& text, uint8_t flags)
{
    // The presenter is called without the lock held: a box runs a modal loop.
    return presenterInUse()->present(title, text, flags);
}

}  // namespace platform
