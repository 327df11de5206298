#include "app/page/CLumaretDlg.h"

#include "app/BottomLineLayout.h"
#include "app/CommandFile.h"
#include "app/page/CAboutDialog.h"
#include "convert/QueueRecovery.h"
#include "convert/JobState.h"
#include "convert/QueueJournal.h"
#include "convert/TimeLeftText.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXButtonRow.h"
#include "kxlib/ui/KXColor.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "kxlib/ui/KXScrollbar.h"
#include "kxlib/ui/KXSkinColors.h"
#include "platform/core/DebugOutput.h"
#include "platform/gui/DeviceContext.h"
#include "platform/core/MessagePresenter.h"
#include "platform/core/Paths.h"
#include "platform/gui/PopupMenu.h"
#include "platform/gui/Screen.h"
#include "profile/ProfileRecord.h"
#include "profile/page/CProfile2Dialog.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace app {

CLumaretDlg* theMainWindow = nullptr;

namespace {

std::chrono::steady_clock::time_point& programStart()
{
    static std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    return start;
}

constexpr COLORREF kPanelPen = 0x1C9048;
constexpr COLORREF kGradientEnd = 0xEBEBEB;
constexpr COLORREF kToolbarTo = KXLib::palette::kHighlightEnd;
constexpr COLORREF kToolbarLine = KXLib::palette::kDivider;
constexpr COLORREF kTextColor = 0x000000;
constexpr int kStatusStrip = 30;
constexpr SIZE kToolbarButton{24, 24};
constexpr int kToolbarTop = 115;
constexpr SIZE kTabFrame{74, 68};
constexpr POINT kTabCaptionAt{23, 50};

struct ViewLayout {
    const char* status;
    bool add, del, accept, ret;
    int acceptRight, returnRight;  // offsets from the right edge to the left edge
};

ViewLayout layoutOf(CLumaretDlg::View view)
{
    switch (view) {
    case CLumaretDlg::View::Conversion: return {CLumaretDlg::kConvertStatus, true, true, false, false, 81, 57};
    case CLumaretDlg::View::AddMode: return {CLumaretDlg::kAddModeStatus, false, true, true, true, 81, 57};
    case CLumaretDlg::View::Profile: return {CLumaretDlg::kProfileStatus, true, true, true, true, 105, 81};
    case CLumaretDlg::View::Options: return {CLumaretDlg::kOptionStatus, false, false, true, true, 57, 33};
    }
    return {CLumaretDlg::kConvertStatus, true, true, false, false, 81, 57};
}

}  // namespace

CLumaretDlg::CLumaretDlg(convert::ConvertPageServices* services, const convert::EncoderBinding* binding)
    : window_(platform::Window::Kind::TopLevel, this), addFilePage(this), convertPage(*this, services, binding)
{
    // Files named on the command line are relative to the folder the program was started in,
    // which the initialisation leaves for the program's own folder.
    std::error_code ignored;
    startFolder_ = std::filesystem::current_path(ignored);
    setDisposed(true);
    theMainWindow = this;
}

CLumaretDlg::~CLumaretDlg()
{
    // The journal goes before the conversion page, whose queue must not keep a pointer to it.
    if (journal_)
        convertPage.queue().setJournal(nullptr);
    // The pages go before the window: their windows are its children.
    skinColorPopup.close();
    trayIcon_.reset();
    removeAllControls();
    if (theMainWindow == this)
        theMainWindow = nullptr;
}

bool CLumaretDlg::initDialog()
{
    if (initialised_)
        return runnable_;
    initialised_ = true;
    window_.setIcon((platform::Paths::imageDirectory() / "lumaret.ico").string());
    // Every relative path of the program (skin, encoders beside it) is taken from its folder.
    std::error_code ignored;
    std::filesystem::current_path(platform::Paths::programDirectory(), ignored);

    // The window starts in the colours the user chose, as the pop-up shows them.
    skinColorPopup.load();
    skinColorPopup.adjustedColors(skinLightColor, skinDarkColor);
    KXLib::KXSkinColors::publish(skinLightColor, skinDarkColor);

    KXLib::loadImage(backgroundImage_, "image/lumaret-back.png");
    KXLib::loadImage(addTipImage_, "image/lumaret-add-tip.png");
    KXLib::loadImage(iconImage_, "image/lumaret.ico");
    window_.resize(kClientWidth, kClientHeight);
    window_.setRoundedMask(kCornerEllipse, kCornerEllipse);
    statusText_ = kConvertStatus;
    window_.setTitle("Lumaret");

    createTooltip();
    createControls();
    createPages();
    runnable_ = profilePage.hasProfiles();
    if (!runnable_)
        platform::showMessage("", kNoProfiles, platform::MessageError);
    trayIcon_ = std::make_unique<platform::TrayIcon>(window_, kTrayIconId, WM_TRAY_NOTIFY);
    return runnable_;
}

int CLumaretDlg::doModal(const std::vector<std::string>& arguments)
{
    if (!initDialog())
        return 1;
    centreOnScreen();
    // The hand-over may show messages: it runs once the window is on screen.
    arguments_ = arguments;
    window_.post(WM_RUN_COMMAND_FILE);
    return window_.runModal();
}

void CLumaretDlg::processCommandLine(const std::vector<std::string>& arguments)
{
    if (commandLineDone_)
        return;
    commandLineDone_ = true;
    present(HandOver::runInto(convertPage.queue(), arguments, CommandFile::defaultFile(), profilePage.store(),
                              options(), startFolder_));
}

void CLumaretDlg::present(const HandOver::Result& handOver)
{
    if (handOver.showAddFiles)
        enterAddMode();
    // The add-files page checks the paths itself and tells its own refusals in one box too. The
    // queued files are in the conversion list already.
    std::vector<std::string> gathered;
    for (const HandOver::Step& step : handOver.steps) {
        switch (step.kind) {
        case HandOver::Step::Kind::Message:
            if (!step.refusal)
                platform::showMessage("", step.text, platform::MessageError);
            break;
        case HandOver::Step::Kind::QueueFile: break;
        case HandOver::Step::Kind::GatherFile: gathered.push_back(step.text); break;
        }
    }
    if (handOver.refusedWhileConverting)
        convertPage.tellAddWhileConverting();
    if (!gathered.empty())
        addFilePage.addFiles(gathered);
    if (!handOver.refusalBox.empty())
        platform::showMessage("", handOver.refusalBox, platform::MessageError);
    if (handOver.startConversion)
        convertPage.startOrStop();
    if (handOver.readCommandFile)
        window_.invalidate();
}

void CLumaretDlg::offerRecovery()
{
    if (journal_)
        return;
    journal_ = std::make_unique<convert::QueueJournal>(platform::Paths::dataDirectory());
    convert::QueueRecovery recovery(*journal_);
    const convert::QueueRecovery::Offer& offer = recovery.offer();
    // A second program leaves the first one's list alone and keeps none of its own.
    if (!offer.held)
        return;
    if (!offer.damageNotice.empty())
        platform::showMessage("", offer.damageNotice, platform::MessageError);
    if (!offer.question.empty() &&
        platform::showMessage("", offer.question, platform::MessageQuestion | platform::MessageYesNo) ==
            platform::kAnswerYes) {
        convertPage.restoreRows(recovery.acceptRestore());
        if (options().autoConvertOnAdd && !convertPage.isConverting() && convertPage.countWaiting() > 0)
            convertPage.startOrStop();
    } else {
        recovery.declineRestore();
    }
    convertPage.queue().setJournal(journal_.get());
    window_.invalidate();
}

void CLumaretDlg::centreOnScreen()
{
    const RECT area = platform::Screen::workArea();
    const int left = area.left + (area.width() - kClientWidth) / 2;
    const int top = area.top + (area.height() - kClientHeight) / 2;
    window_.setGeometry(RECT{left, top, left + kClientWidth, top + kClientHeight});
}

// ---- controls and pages ----

// Every button of the window in creation order, each with what its click does. The tabs carry a
// caption below their picture; "add" and "return" share a place, only one of them is ever shown.
const std::vector<CLumaretDlg::ButtonRow>& CLumaretDlg::buttonRows()
{
    constexpr int right = kClientWidth;
    constexpr auto tab = [](int left) { return RECT{left, 22, left + kTabFrame.cx, 90}; };
    static const std::vector<ButtonRow> rows = {
        {"close", "关闭", nullptr, {right - 52, 1, right - 15, 19}, "image/sysbutton_close.png", {37, 18},
         [](CLumaretDlg& w) { w.window_.post(WM_RUN_EXIT); }},
        {"min", "最小化", nullptr, {right - 79, 1, right - 52, 19}, "image/sysbutton_min.png", {27, 18},
         [](CLumaretDlg& w) { w.window_.minimize(); }},
        {"hide", "隐藏到状态栏", nullptr, {right - 106, 1, right - 79, 19}, "image/sysbutton_menu.png", {27, 18},
         [](CLumaretDlg& w) { w.hideToTray(); }},
        {"convert", "转换媒体文件", "转换", tab(11), "image/lumaret-movie.png", kTabFrame,
         [](CLumaretDlg& w) { w.selectTab("convert"); }},
        {"profile", "配置转换方案", "方案", tab(85), "image/lumaret-profile.png", kTabFrame,
         [](CLumaretDlg& w) { w.selectTab("profile"); }},
        {"option", "配置系统设置", "设置", tab(159), "image/lumaret-set.png", kTabFrame,
         [](CLumaretDlg& w) { w.selectTab("option"); }},
        {"about", nullptr, "关于", tab(233), "image/lumaret-about.png", kTabFrame,
         [](CLumaretDlg& w) { w.window_.post(WM_RUN_ABOUT); }},
        {"accept", "确定", nullptr, {right - 81, 115, right - 57, 139}, "image/lumaret-accept.png", kToolbarButton,
         [](CLumaretDlg& w) { w.acceptAction(); }},
        {"return", "返回", nullptr, {right - 57, 115, right - 33, 139}, "image/lumaret-return.png", kToolbarButton,
         [](CLumaretDlg& w) { w.returnAction(); }},
        {"add", "新增", nullptr, {right - 57, 115, right - 33, 139}, "image/lumaret-add.png", kToolbarButton,
         [](CLumaretDlg& w) { w.enterAddMode(); }},
        {"del", "删除", nullptr, {right - 33, 115, right - 9, 139}, "image/lumaret-del.png", kToolbarButton,
         [](CLumaretDlg& w) { w.deleteAction(); }},
        {"color", "皮肤颜色", nullptr, {right - 24, 76, right - 6, 94}, "image/lumaret-color.png", {18, 18},
         [](CLumaretDlg& w) { w.openSkinPopup(); }},
    };
    return rows;
}

void CLumaretDlg::createControls()
{
    KXLib::placeButtons(*this, buttonRows(), kTabCaptionAt, DT_SINGLELINE);
    currentTab_ = findControl("convert").dynamicCast<KXLib::KXButtonEx>();
    currentTab_->setChecked(true);
    findControl("accept")->setVisible(false);
    findControl("return")->setVisible(false);
    KXLib::KXScrollbar::loadScrollbarImage("image/scrollbar2.png", SIZE{15, 15});
}

void CLumaretDlg::createPages()
{
    const RECT pageRect{kPageOrigin.x, kPageOrigin.y, kClientWidth - kPageOrigin.x, kPageOrigin.y + kPageHeight};
    CPageDialog* pages[] = {&addFilePage, &convertPage, &profilePage, &optionPage};
    for (CPageDialog* page : pages) {
        page->createPage(&window_);
        page->place(pageRect);
    }
    convertPage.show();
}

// ---- views and tabs ----

void CLumaretDlg::placeToolbarButton(const char* name, bool shown, int rightOffset)
{
    KXLib::KXSmartPtr<KXLib::KXDirectUI> b = findControl(name);
    if (!b)
        return;
    if (rightOffset > 0) {
        const int left = kClientWidth - rightOffset;
        b->setRect(RECT{left, kToolbarTop, left + kToolbarButton.cx, kToolbarTop + kToolbarButton.cy});
    }
    b->setVisible(shown);
}

void CLumaretDlg::showView(View view)
{
    ++viewBuilds_;
    view_ = view;
    const ViewLayout layout = layoutOf(view);
    statusText_ = layout.status;
    placeToolbarButton("add", layout.add, 57);
    placeToolbarButton("del", layout.del, 33);
    placeToolbarButton("accept", layout.accept, layout.acceptRight);
    placeToolbarButton("return", layout.ret, layout.returnRight);
    CPageDialog* shown = &convertPage;
    switch (view) {
    case View::Conversion: shown = &convertPage; break;
    case View::AddMode: shown = &addFilePage; break;
    case View::Profile:
        profilePage.setContextMenuEnabled(optionPage.settings().contextMenuEnabled != 0);
        shown = &profilePage;
        break;
    case View::Options: shown = &optionPage; break;
    }
    CPageDialog* pages[] = {&addFilePage, &convertPage, &profilePage, &optionPage};
    for (CPageDialog* page : pages)
        if (page != shown)
            page->hide();
    shown->show();
    window_.invalidate();
}

std::string CLumaretDlg::currentTabName() const { return currentTab_ ? currentTab_->getName() : std::string(); }

void CLumaretDlg::selectTab(const std::string& name)
{
    if (name == currentTabName())
        return;
    auto next = findControl(name).dynamicCast<KXLib::KXButtonEx>();
    if (!next)
        return;
    currentTab_->setChecked(false);
    currentTab_ = next;
    currentTab_->setChecked(true);
    if (name == "convert")
        showView(addMode_ ? View::AddMode : View::Conversion);
    else if (name == "profile")
        showView(View::Profile);
    else
        showView(View::Options);
}

void CLumaretDlg::enterAddMode()
{
    const std::string tab = currentTabName();
    if (tab == "profile") {
        profilePage.addProfile();
        return;
    }
    if (tab == "option")
        return;
    if (convertPage.isConverting()) {
        platform::showMessage("", kAddWhileConverting, platform::MessageInfo);
        return;
    }
    addMode_ = true;
    showView(View::AddMode);
}

void CLumaretDlg::deleteAction()
{
    const std::string tab = currentTabName();
    if (tab == "convert") {
        if (addMode_)
            addFilePage.deleteSelected();
        else
            convertPage.deleteSelected();
    } else if (tab == "profile") {
        profilePage.deleteProfile();
    }
}

void CLumaretDlg::acceptAction()
{
    const std::string tab = currentTabName();
    if (tab == "convert" && addMode_) {
        if (!addFilePage.prepareForAccept())
            return;
        convertPage.addAcceptedFiles(addFilePage.preparedFiles());
        addMode_ = false;
        showView(View::Conversion);
        addFilePage.clearAll();
    } else if (tab == "profile") {
        profilePage.acceptProfile();
    } else if (tab == "option") {
        optionPage.saveSettings();
    }
}

void CLumaretDlg::returnAction()
{
    const std::string tab = currentTabName();
    if (tab == "convert" && addMode_) {
        if (!addFilePage.confirmReturn())
            return;
        addMode_ = false;
        showView(View::Conversion);
    } else if (tab == "profile") {
        profilePage.revertProfile();
    } else if (tab == "option") {
        optionPage.loadSettings();
    }
}

bool CLumaretDlg::exitProcedure()
{
    if (convertPage.isConverting()) {
        if (platform::showMessage("", kExitQuestion, platform::MessageQuestion | platform::MessageYesNo) ==
            platform::kAnswerNo)
            return false;
        convertPage.stopAll();
    }
    // A normal exit starts the next run with an empty list.
    if (journal_)
        convertPage.queue().endJournal();
    if (trayIcon_)
        trayIcon_->remove();
    window_.endDialog(0);
    return true;
}

void CLumaretDlg::terminate()
{
    convertPage.stopAll();
    window_.endDialog(0);
}

void CLumaretDlg::hideToTray()
{
    if (!trayIcon_ || !platform::TrayIcon::isAvailable() ||
        !trayIcon_->add((platform::Paths::imageDirectory() / "lumaret.ico").string(), kTrayTip)) {
        window_.minimize();
        return;
    }
    window_.hide();
}

void CLumaretDlg::showFromTray()
{
    if (trayIcon_)
        trayIcon_->remove();
    window_.show();
    window_.activate();
}

void CLumaretDlg::onTrayNotify(LPARAM mouseMessage)
{
    if (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_LBUTTONDBLCLK) {
        showFromTray();
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        platform::PopupMenu menu;
        menu.addItem(ID_TRAY_SHOW, "显示主界面");
        menu.addItem(ID_TRAY_ABOUT, "关于");
        menu.addSeparator();
        menu.addItem(ID_TRAY_EXIT, "退出");
        onTrayCommand(menu.track(window_.clientToScreen(window_.cursorPos()), &window_));
    }
}

void CLumaretDlg::onTrayCommand(int id)
{
    if (id == ID_TRAY_SHOW)
        showFromTray();
    else if (id == ID_TRAY_ABOUT)
        window_.post(WM_RUN_ABOUT);
    else if (id == ID_TRAY_EXIT)
        window_.post(WM_RUN_EXIT);
}

// ---- messages ----

void CLumaretDlg::onClick(const std::string& name)
{
    KXLib::clickButton(buttonRows(), name, *this);
}

void CLumaretDlg::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message == WM_LBUTTONUP && control)
        onClick(control->getName());
}

void CLumaretDlg::openSkinPopup()
{
    if (skinColorPopup.isOpen())
        return;
    const RECT r = window_.geometry();
    skinColorPopup.open(&window_, RECT{r.right - 206, r.top + 95, r.right - 6, r.top + 255});
}

void CLumaretDlg::onSkinChanged(WPARAM wParam)
{
    if (wParam != 1) {
        skinColorPopup.close();
        return;
    }
    skinColorPopup.adjustedColors(skinLightColor, skinDarkColor);
    KXLib::KXSkinColors::publish(skinLightColor, skinDarkColor);
    window_.invalidate();
}

void CLumaretDlg::onProfileSaved()
{
    std::string name;
    profile::ProfileRecord record{};
    if (!profilePage.currentProfile(name, record))
        return;
    convertPage.applyProfile(name, record);
    if (currentTabName() == "convert" && addMode_)
        addFilePage.profileSaved(name, record);
}

void CLumaretDlg::onEditProfile()
{
    selectTab("profile");
    profilePage.selectProfileByName(addFilePage.chosenProfileName());
}

bool CLumaretDlg::onMouseMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const MSG msg{&window_, message, wParam, lParam};
    if (message == WM_MOUSEWHEEL) {
        if (convertPage.isVisible())
            return convertPage.routeMessage(MSG{convertPage.getWindow(), message, wParam, lParam});
        if (addFilePage.isVisible())
            return addFilePage.routeMessage(MSG{addFilePage.getWindow(), message, wParam, lParam});
        return false;
    }
    const bool claimed = routeMessage(msg);
    if (message == WM_LBUTTONDOWN) {
        if (profilePage.isVisible())
            profilePage.commitEdit();
        // A press on the window's own surface moves the window, as a press on a caption would.
        if (!claimed)
            window_.startMove();
    }
    return true;
}

bool CLumaretDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isMouseMessage(message))
        return onMouseMessage(message, wParam, lParam);
    switch (message) {
    case WM_CLOSE:
        // The window system's close request takes the same way out as the close button.
        exitProcedure();
        return true;
    case WM_RUN_COMMAND_FILE:
        processCommandLine(arguments_);
        offerRecovery();
        return true;
    case WM_RUN_EXIT:
        exitProcedure();
        return true;
    case WM_RUN_ABOUT: {
        CAboutDialog about(&window_);
        about.skinLightColor = skinLightColor;
        about.skinDarkColor = skinDarkColor;
        about.doModal();
        return true;
    }
    case WM_SKIN_CHANGED:
        onSkinChanged(wParam);
        return true;
    case WM_TRAY_NOTIFY:
        onTrayNotify(lParam);
        return true;
    case WM_PROFILE_SAVED:
        onProfileSaved();
        return true;
    case WM_PROFILES_STORED:
        // The menus are rewritten from the files, so only once they are written.
        optionPage.profilesSaved();
        // The bottom line names the default profile, which the save may have changed.
        window_.invalidate();
        return true;
    case WM_EDIT_PROFILE:
        onEditProfile();
        return true;
    case WM_KEYDOWN:
        // Enter and Escape never close the main window.
        return wParam == VK_RETURN || wParam == VK_ESCAPE;
    default:
        return false;
    }
}

// ---- painting ----

std::string CLumaretDlg::statusLine() const
{
    if (convertPage.isVisible() && convertPage.isConverting())
        return convert::TimeLeftText::withTimeLeft(
            convert::QueueStatusText::converting(convertPage.countConverting(), options().shutdownWhenDone != 0),
            convertPage.queueSecondsLeft());
    return statusText_;
}

std::string CLumaretDlg::profileLine() const
{
    std::string name;
    if (convertPage.isConverting()) {
        if (const convert::convertFile* job = convertPage.findConvertingJob())
            name = profile::profileNameOf(job->getProfile());
    } else {
        name = profilePage.defaultProfileName();
    }
    return kProfileLabel + name;
}

std::string CLumaretDlg::countLine() const
{
    return "共有 " + std::to_string(convertPage.rowCount()) + " 个文件,已经完成 " +
           std::to_string(convertPage.countFinished()) + " 个文件";
}

void CLumaretDlg::paintBackground(platform::DeviceContext& dc, const RECT& c)
{
    KXLib::gradientFill(&dc, skinDarkColor, kGradientEnd, false, c.left, c.top, c.right, c.bottom - kStatusStrip);
    KXLib::gradientFill(&dc, skinLightColor, kGradientEnd, false, c.left, c.bottom - kStatusStrip, c.right,
                        c.bottom);
    KXLib::gradientFill(&dc, skinDarkColor, skinLightColor, true, c.left, 0, 20, c.bottom);
    dc.drawImage(backgroundImage_, 0, 0);
    KXLib::drawRoundRect(&dc, 0, true, c.left, c.top, c.right - 1, c.bottom - 1);
    KXLib::drawRect(&dc, kPanelPen, 0xFFFFFF, false, c.left + 5, c.top + 95, c.right - 6, c.bottom - kStatusStrip);
    KXLib::gradientFill(&dc, 0xFFFFFF, kToolbarTo, true, c.left + 6, c.top + 96, c.right - 7, c.top + 140);
    KXLib::drawLine(&dc, kToolbarLine, c.left + 6, c.top + 140, c.right - 7, c.top + 140);
    if (!addTipImage_.isNull())
        dc.drawImage(addTipImage_, c.left + 5, c.top + 96);
}

void CLumaretDlg::paintTexts(platform::DeviceContext& dc, const RECT& c)
{
    const platform::Font& font = KXLib::sharedFont();
    const auto line = [&](const std::string& text, int x, int y, int right, UINT ellipsis = DT_END_ELLIPSIS) {
        const SIZE size = platform::DeviceContext::measureText(text, font);
        dc.drawText(text, RECT{x, y, right, y + size.cy}, DT_SINGLELINE | ellipsis, kTextColor, font);
    };
    line(statusLine(), c.left + 50, c.top + 112, c.right - 110);
    if (!iconImage_.isNull())
        dc.drawImage(iconImage_, RECT{5, 2, 21, 18}, RECT{0, 0, iconImage_.width(), iconImage_.height()});
    line("Lumaret", 23, 2, 200);
    const std::string profile = profileLine();
    const std::string count = countLine();
    const int countWidth = platform::DeviceContext::measureText(count, font).cx;
    const BottomLineLayout::Placement bottom = BottomLineLayout::place(
        c.left, c.right, platform::DeviceContext::measureText(kProfileLabel, font).cx, countWidth);
    line(profile, bottom.profileLeft, c.bottom - 25, bottom.profileRight);
    // A count given its whole width is drawn whole: the ellipsis test measures the text a few
    // pixels wider on some screens than the width it was given, and would cut it needlessly.
    line(count, bottom.countLeft, c.bottom - 25, bottom.countRight,
         bottom.countRight - bottom.countLeft >= countWidth ? 0 : DT_END_ELLIPSIS);
    // Only a repaint that reaches the line puts it on the screen.
    const RECT& part = dc.area();
    if (part.left < bottom.profileRight && part.right > bottom.profileLeft && part.bottom > c.bottom - 25 &&
        part.top < c.bottom - 5)
        paintedProfileLine_ = profile;
    paintedCountLeft_ = bottom.countLeft;
}

void CLumaretDlg::markProgramStart() { programStart() = std::chrono::steady_clock::now(); }

void CLumaretDlg::onPaint(platform::DeviceContext& dc)
{
    if (!painted_) {
        painted_ = true;
        const auto elapsed = std::chrono::steady_clock::now() - programStart();
        platform::DebugOutput::line(
            "first paint " +
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()) +
            " ms after the start");
    }
    const RECT client = window_.clientRect();
    paintBackground(dc, client);
    paintTexts(dc, client);
    drawControls(&dc);
}

// ---- ConvertPageHost ----

void CLumaretDlg::applySettings(const OptionSettings& settings) { optionPage.applySettings(settings); }

bool CLumaretDlg::chooseProfile(HWND owner, const std::string& currentName, profile::ProfileRecord& chosen)
{
    profile::CProfile2Dialog chooser(owner, profilePage.store().files().dataDirectory());
    chooser.chosenName = currentName;
    chooser.contextMenuEnabled = optionPage.settings().contextMenuEnabled != 0;
    if (chooser.doModal() != profile::CProfile2Dialog::IDOK)
        return false;
    chosen = chooser.chosenProfile;
    return true;
}

}  // namespace app
