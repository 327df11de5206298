#pragma once
// CLumaretUninstallDlg: the uninstaller's one skinned dialog. It asks before it starts ("开始" or
// "取消"), runs UninstallProcedure on a KXThread when asked, follows the worker's reports (posted as
// WM_UNINSTALL_PROGRESS) on its progress bar, and shows the end: "卸载Lumaret成功...", the start button
// gone, "取消" turned into "完成" (when the list is there but cannot be read, the end says so
// instead: nothing was removed). "完成" (and "取消" before the start) opens the feedback page, as
// does the title-bar "close" once the removal has ended normally; then the dialog ends. While the
// removal runs every button is disabled, so the dialog cannot end under the worker; Enter, Escape
// and the window system's close request do nothing.
//
// Its button strips and icon are built into the program file (EmbeddedResource): the removal
// deletes the image folder while the dialog still has to draw itself.
//
// Ownership: constructed on the caller's stack for one modal run; the worker thread is joined
// before the window goes. Threads: window thread only; the worker touches the dialog only by
// posting to its window.
#include "app/UninstallProcedure.h"
#include "kxlib/ui/CSkinDialog.h"
#include "kxlib/KXThread.h"
#include "kxlib/ui/KXProgressbar.h"
#include "platform/gui/Image.h"

#include <filesystem>
#include <string>

namespace uninstall {

class CLumaretUninstallDlg : public app::CSkinDialog {
public:
    // 275 x 91 dialog units of the classic dialog font.
    static constexpr int kWidth = 412;
    static constexpr int kHeight = 148;
    static constexpr int kInitialRange = 20;
    static constexpr const char* kFeedbackPage = "https://lumaret.example.org/feedback";

    // `installFolder` is the folder of the uninstaller's own executable.
    explicit CLumaretUninstallDlg(std::filesystem::path installFolder);
    ~CLumaretUninstallDlg() override;

    const std::string& getStatusText() const { return statusText; }
    bool isFinished() const { return finished; }
    // Waits for the worker to end (tests; the destructor does it too).
    void joinWorker();

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void onInitDialog() override;
    void paintBackground(platform::DeviceContext& dc, const RECT& client) override;
    void onOK() override {}
    void onCancel() override {}

private:
    void startRemoval();
    void onProgress(WPARAM stage, LPARAM value);
    void showCompletion(bool normalEnd);
    void openFeedbackPage();
    KXLib::KXSmartPtr<KXLib::KXButtonEx> button(const std::string& name);
    KXLib::KXSmartPtr<KXLib::KXProgressbar> progressBar();

    platform::Image icon;
    std::string statusText;
    std::filesystem::path installFolder;
    bool finished = false;
    KXLib::KXSmartPtr<KXLib::KXThread> worker;
};

}  // namespace uninstall
