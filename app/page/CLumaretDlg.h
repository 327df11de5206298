#pragma once
// CLumaretDlg: the program's one top-level window. A caption-less rounded window that paints its
// own title band, tab buttons, page toolbar and status lines, and hosts four pages below the tabs,
// one visible at a time: conversion, add files, profiles, options. It routes the page toolbar
// ("add", "del", "accept", "return") to the page on show, keeps the skin colours every dialog
// paints with, and asks before it lets the program end during a conversion.
//
// The conversion tab shows either the conversion page or, in add mode, the add-files page; add
// mode survives visits to the other tabs.
//
// The decisions are the engine's: what the command-file hand-over shows and adds is HandOver's,
// what to do with a journal left behind is QueueRecovery's; the window presents their results.
// The pages call back into it only through their host interfaces (ConvertPageHost,
// AddFilePageHost).
//
// Ownership: constructed once by the application object (or a test) and run modally; it owns its
// pages. `theMainWindow` points to it while it exists, for lookups.
// Threads: window thread only.
#include "app/HandOver.h"
#include "app/page/AddFilePageHost.h"
#include "app/page/CAddFileDialog.h"
#include "app/page/COptionDialog.h"
#include "convert/QueueStatusText.h"
#include "convert/page/CConvertDialog.h"
#include "convert/page/ConvertPageHost.h"
#include "kxlib/ui/CSkinColor.h"
#include "kxlib/ui/KXButtonRow.h"
#include "kxlib/ui/KXDirectUIHandler.h"
#include "platform/core/WindowMessages.h"
#include "platform/gui/Image.h"
#include "platform/gui/TrayIcon.h"
#include "platform/gui/Window.h"
#include "profile/page/CProfileDialog.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace convert {
class QueueJournal;
}

namespace app {

class CLumaretDlg;
// The one main window while it exists (set by its constructor, cleared by its destructor).
extern CLumaretDlg* theMainWindow;

class CLumaretDlg : public virtual KXLib::KXDirectUIHandler,
                    public platform::WindowListener,
                    public convert::ConvertPageHost,
                    public AddFilePageHost {
    // Declared first so that it is built before the pages and destroyed after them: the pages'
    // windows are its children.
    platform::Window window_;

public:
    // The tray menu's commands.
    static constexpr int ID_TRAY_SHOW = 32778;
    static constexpr int ID_TRAY_ABOUT = 32779;
    static constexpr int ID_TRAY_EXIT = 32780;
    static constexpr int kTrayIconId = 9394;
    static constexpr const char* kTrayTip = "Lumaret 视频格式转换";

    // The client area: the background picture's width, and room for the pages (141 to 496) and
    // the status strip below them.
    static constexpr int kClientWidth = 628;
    static constexpr int kClientHeight = 526;
    static constexpr POINT kPageOrigin{7, 141};
    static constexpr int kPageHeight = 355;
    static constexpr int kCornerEllipse = 11;

    static constexpr const char* kConvertStatus = "请添加需要转换格式的文件到下面的列表中,点击开始进行转换...";
    static constexpr const char* kAddModeStatus = "请在列表中选择您的转换方案,添加文件到转换列表中...";
    static constexpr const char* kProfileStatus = "请在下方列表中配置转换的详细参数...";
    static constexpr const char* kOptionStatus = "在这里可以对本程序的选项做配置...";
    static constexpr const char* kConvertingStatus = convert::QueueStatusText::kOneFile;
    static constexpr const char* kConvertingShutdownStatus = convert::QueueStatusText::kOneFilePowerOff;
    static constexpr const char* kExitQuestion = "当前正在转换文件,您是否确定要退出本程序?";
    static constexpr const char* kAddWhileConverting = "对不起,当前正在转换文件,请稍候添加!";
    static constexpr const char* kProfileLabel = "当前转换方案: ";
    static constexpr const char* kNoProfiles = "读取配置文件失败,请重新安装程序或联系我们!";

    enum class View { Conversion, AddMode, Profile, Options };

    // services and binding go to the conversion page (null: the desktop's and the process-wide).
    explicit CLumaretDlg(convert::ConvertPageServices* services = nullptr,
                         const convert::EncoderBinding* binding = nullptr);
    ~CLumaretDlg() override;
    CLumaretDlg(const CLumaretDlg&) = delete;
    CLumaretDlg& operator=(const CLumaretDlg&) = delete;

    // Builds the window, its controls and pages (once); false when the program cannot run (no
    // profile at all), after telling the user.
    bool initDialog();
    // The moment the program started, for the debug output's time to the first paint.
    static void markProgramStart();

    // initDialog(), then shows the window and runs it until the exit procedure ends it. The
    // command-file hand-over runs first thing in the modal run, with `arguments` (the program's
    // whole command line, program path first).
    int doModal(const std::vector<std::string>& arguments = {});
    // The command-file hand-over: with two or more arguments, one of them holding "contextmenu",
    // the data folder's cmdline.txt names a profile and files for the conversion list (or, for
    // "自定义转换", for the add-files page). `--open FILE...` (the applications menu, "Open
    // with") puts those files on the add-files page instead, without reading cmdline.txt. Runs
    // once; later calls do nothing.
    void processCommandLine(const std::vector<std::string>& arguments);
    // Runs once, right after the hand-over: takes the data folder's conversion journal and shows
    // what QueueRecovery decides (a damaged journal told, the question asked, the rows restored
    // on "是"). From then on the conversion list keeps its journal.
    void offerRecovery();
    // The exit procedure of the close button and the tray: asks while converting, stops the
    // encoder, removes the conversion journal, ends the modal run. False when the user chose to
    // stay.
    bool exitProcedure();
    // The end the system asks for (a termination signal): stops the encoder without asking and
    // ends the modal run, so nothing the program started outlives it.
    void terminate();

    // The toolbar's actions and the tabs, as the buttons trigger them.
    void enterAddMode();
    void deleteAction();
    void acceptAction();
    void returnAction();
    void selectTab(const std::string& name);
    // Hides the window to the notification area; where the desktop has none, minimises it
    // instead, so the window can never be lost.
    void hideToTray();
    // Takes the icon away and shows the window again.
    void showFromTray();
    bool isInTray() const { return trayIcon_ && trayIcon_->isShown(); }

    View currentView() const { return view_; }
    bool isAddMode() const { return addMode_; }
    const std::string& getStatusText() const { return statusText_; }
    // The texts of the status line and the two bottom lines as they are painted now.
    std::string statusLine() const;
    std::string profileLine() const;
    std::string countLine() const;
    std::string currentTabName() const;
    // The profile line as the last repaint that reached it drew it (empty before the first).
    const std::string& paintedProfileLine() const { return paintedProfileLine_; }
    // Where the last paint started the file count.
    int paintedCountLeft() const { return paintedCountLeft_; }
    // How many times a view was built (a tab click that changes nothing builds none).
    int viewBuildCount() const { return viewBuilds_; }

    profile::CProfileDialog profilePage;
    COptionDialog optionPage;
    CAddFileDialog addFilePage;
    convert::CConvertDialog convertPage;
    KXLib::CSkinColor skinColorPopup;
    COLORREF skinLightColor = 0;
    COLORREF skinDarkColor = 0;

    HWND getWindow() override { return &window_; }
    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    void onPaint(platform::DeviceContext& dc) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ConvertPageHost and AddFilePageHost.
    const OptionSettings& options() const override { return optionPage.settings(); }
    const profile::ProfileStore& profileStore() const override { return profilePage.store(); }
    profile::ProfileStore& profileStoreForUpdate() override { return profilePage.store(); }
    void applySettings(const OptionSettings& settings) override;
    bool chooseProfile(HWND owner, const std::string& currentName, profile::ProfileRecord& chosen) override;

private:
    using ButtonRow = KXLib::KXButtonRow<CLumaretDlg>;
    static const std::vector<ButtonRow>& buttonRows();
    void createControls();
    void createPages();
    void showView(View view);
    void placeToolbarButton(const char* name, bool shown, int rightOffset);
    void onClick(const std::string& name);
    void openSkinPopup();
    void onSkinChanged(WPARAM wParam);
    void onProfileSaved();
    void onEditProfile();
    void onTrayNotify(LPARAM mouseMessage);
    void onTrayCommand(int id);
    bool onMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paintBackground(platform::DeviceContext& dc, const RECT& client);
    void paintTexts(platform::DeviceContext& dc, const RECT& client);
    void centreOnScreen();
    void present(const HandOver::Result& handOver);

    platform::Image backgroundImage_;
    platform::Image addTipImage_;
    platform::Image iconImage_;
    std::unique_ptr<platform::TrayIcon> trayIcon_;
    KXLib::KXSmartPtr<KXLib::KXButtonEx> currentTab_;
    std::string statusText_;
    bool addMode_ = false;
    View view_ = View::Conversion;
    bool initialised_ = false;
    bool runnable_ = false;
    bool commandLineDone_ = false;
    bool painted_ = false;
    std::string paintedProfileLine_;
    int paintedCountLeft_ = 0;
    std::vector<std::string> arguments_;
    std::filesystem::path startFolder_;
    int viewBuilds_ = 0;
    std::unique_ptr<convert::QueueJournal> journal_;  // from offerRecovery() on
};

}  // namespace app
