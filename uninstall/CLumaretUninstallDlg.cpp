#include "uninstall/CLumaretUninstallDlg.h"

#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/core/DebugOutput.h"
#include "platform/core/WindowMessages.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/DeviceContext.h"
#include "platform/core/EmbeddedResource.h"

#include <utility>

namespace uninstall {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kCaptionColor = 0xF2D486;
constexpr COLORREF kBottomColor = 0xEEDCAA;
constexpr COLORREF kFrameColor = KXLib::palette::kFrame;
constexpr COLORREF kTextColor = 0x000000;
constexpr int kCaptionHeight = 25;

const char* const kAskText = "确定卸载Lumaret,请点击开始按钮";
const char* const kWorkingText = "正在卸载,请稍候...";
const char* const kDoneText = "卸载Lumaret成功...";
const char* const kListUnreadableText = "无法读取卸载列表 uninstall.txt,没有删除任何文件";

}  // namespace

CLumaretUninstallDlg::CLumaretUninstallDlg(std::filesystem::path folder) : installFolder(std::move(folder)) {}

CLumaretUninstallDlg::~CLumaretUninstallDlg() { joinWorker(); }

void CLumaretUninstallDlg::joinWorker()
{
    if (worker)
        worker->join();
}

void CLumaretUninstallDlg::onInitDialog()
{
    statusText = kAskText;
    window_.setTitle("Lumaret 卸载");
    window_.setIcon(platform::EmbeddedResource::path("lumaret.ico"));
    KXLib::loadImage(icon, platform::EmbeddedResource::path("lumaret.ico"));
    window_.resize(kWidth, kHeight);

    const RECT client = window_.clientRect();
    const int w = client.width();
    const int h = client.height();
    auto close = placeControl<KXLib::KXButtonEx>("KXButtonEx", "close", RECT{w - 42, 1, w - 5, 19});
    close->loadImage(platform::EmbeddedResource::path("sysbutton_close_s.png"), SIZE{37, 18});
    const std::string strip = platform::EmbeddedResource::path("lumaret-btn.png");
    addTextButton("start", "开始", POINT{w - 173, h - 34}, strip);
    addTextButton("cancel", "取消", POINT{w - 89, h - 34}, strip);
    auto progress = placeControl<KXLib::KXProgressbar>("KXProgressbar", "progress", RECT{20, h - 75, w - 20, h - 54});
    progress->setRange(kInitialRange);
}

KXLib::KXSmartPtr<KXLib::KXButtonEx> CLumaretUninstallDlg::button(const std::string& name)
{
    return findControl(name).dynamicCast<KXLib::KXButtonEx>();
}

KXLib::KXSmartPtr<KXLib::KXProgressbar> CLumaretUninstallDlg::progressBar()
{
    return findControl("progress").dynamicCast<KXLib::KXProgressbar>();
}

void CLumaretUninstallDlg::paintBackground(platform::DeviceContext& dc, const RECT& client)
{
    KXLib::gradientFill(&dc, kWhite, kCaptionColor, true, client.left, client.top, client.right, kCaptionHeight);
    KXLib::gradientFill(&dc, kCaptionColor, kBottomColor, true, client.left, kCaptionHeight, client.right,
                        client.bottom);
    KXLib::drawRoundRect(&dc, kWhite, false, client.left + 5, client.top + kCaptionHeight, client.right - 5,
                         client.bottom - 5);
    KXLib::drawRect(&dc, kFrameColor, 0, true, client.left, client.top, client.right, client.bottom);
    if (!icon.isNull())
        dc.drawImage(icon, RECT{5, 5, 21, 21}, RECT{0, 0, icon.width(), icon.height()});
    const platform::Font& font = KXLib::sharedFont();
    dc.drawText("卸载 Lumaret", RECT{24, client.top, client.right - 50, kCaptionHeight},
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, kTextColor, font);
    dc.drawText(statusText, RECT{20, 60, client.right - 20, 80}, DT_SINGLELINE, kTextColor, font);
}

void CLumaretUninstallDlg::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP || control->getClassName() != "KXButtonEx")
        return;
    const std::string name = control->getName();
    if (name == "start") {
        startRemoval();
    } else if (name == "cancel") {
        openFeedbackPage();
        endDialog(IDCANCEL);
    } else if (name == "close") {
        if (finished)
            openFeedbackPage();
        endDialog(IDCANCEL);
    }
}

void CLumaretUninstallDlg::startRemoval()
{
    if (worker)
        return;
    statusText = kWorkingText;
    for (const char* name : {"close", "start", "cancel"})
        button(name)->setEnabled(false);
    // The worker reports only by posting to the window, which it may do from its own thread.
    platform::Window* target = &window_;
    KXLib::KXSmartPtr<app::UninstallProcedure> procedure(new app::UninstallProcedure(
        installFolder, [target](app::UninstallStage stage, long value) {
            target->post(WM_UNINSTALL_PROGRESS, static_cast<WPARAM>(stage), static_cast<LPARAM>(value));
        }));
    worker = KXLib::KXSmartPtr<KXLib::KXThread>(
        new KXLib::KXThread(KXLib::KXSmartPtr<KXLib::KXRunable>(procedure.get())));
    if (worker->start() == std::thread::id()) {
        // Without a thread nothing was removed: the user may try again or leave.
        platform::DebugOutput::line("uninstall: the system refused a new thread");
        worker = nullptr;
        statusText = kAskText;
        for (const char* name : {"close", "start", "cancel"})
            button(name)->setEnabled(true);
    }
    window_.invalidate();
}

bool CLumaretUninstallDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_UNINSTALL_PROGRESS) {
        onProgress(wParam, lParam);
        return true;
    }
    return CSkinDialog::onMessage(message, wParam, lParam);
}

void CLumaretUninstallDlg::onProgress(WPARAM stage, LPARAM value)
{
    auto progress = progressBar();
    switch (static_cast<app::UninstallStage>(stage)) {
    case app::UninstallStage::NoList:
        showCompletion(false);
        break;
    case app::UninstallStage::Range:
        progress->setRange(static_cast<int>(value));
        break;
    case app::UninstallStage::Step:
        progress->setPos(progress->pos + 1);
        break;
    case app::UninstallStage::Finished:
        showCompletion(true);
        break;
    case app::UninstallStage::ListUnreadable:
        showCompletion(false);
        statusText = kListUnreadableText;
        break;
    }
}

void CLumaretUninstallDlg::showCompletion(bool normalEnd)
{
    statusText = kDoneText;
    button("close")->setEnabled(true);
    button("start")->setVisible(false);
    auto cancel = button("cancel");
    cancel->setEnabled(true);
    cancel->setCaption("完成");
    if (normalEnd)
        finished = true;
    window_.invalidate();
}

void CLumaretUninstallDlg::openFeedbackPage()
{
    if (!platform::Desktop::openUrl(kFeedbackPage))
        platform::DebugOutput::line(std::string("uninstall: no browser took ") + kFeedbackPage);
}

}  // namespace uninstall
