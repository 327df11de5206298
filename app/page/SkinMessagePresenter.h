#pragma once
// SkinMessagePresenter: shows every message of the windowed program in the skinned message box
// (CMessageDialog). The windowed program installs it with setMessagePresenter() once its
// application object exists. A call from another thread is carried over to the window thread and
// waits there for the answer, since only the window thread may open a box.
#include "platform/core/MessagePresenter.h"
#include "platform/core/WinTypes.h"

#include <atomic>

namespace app {

class SkinMessagePresenter : public platform::MessagePresenter {
public:
    // `owner` (may be null) is the window the boxes are centred on; it must outlive the presenter
    // or be cleared with setOwner(nullptr) first.
    explicit SkinMessagePresenter(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }

    std::string present(const std::string& title, const std::string& text, uint8_t flags) override;
    // The program is ending (a termination signal): from now on no box opens and every call answers
    // "close" at once, so a run of messages still to come cannot hold the end up. A box open at that
    // moment is ended by quitting the application. Any thread.
    void endAll() { ended_ = true; }

private:
    HWND owner_;
    std::atomic<bool> ended_{false};
};

}  // namespace app
