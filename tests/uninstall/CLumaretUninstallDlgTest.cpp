// The uninstaller's dialog on the offscreen platform: its controls and pictures, the asking,
// working and ended states, the feedback page, and the keys it ignores.
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXProgressbar.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/DeviceContext.h"
#include "tests/support/TestSupport.h"
#include "uninstall/CLumaretUninstallDlg.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using uninstall::CLumaretUninstallDlg;

class Dialog : public CLumaretUninstallDlg {
public:
    using CLumaretUninstallDlg::CLumaretUninstallDlg;
    platform::Window& window() { return window_; }
    KXLib::KXSmartPtr<KXLib::KXButtonEx> buttonNamed(const std::string& name)
    {
        return findControl(name).dynamicCast<KXLib::KXButtonEx>();
    }
    KXLib::KXSmartPtr<KXLib::KXProgressbar> bar()
    {
        return findControl("progress").dynamicCast<KXLib::KXProgressbar>();
    }
    void click(const std::string& name)
    {
        const RECT r = *findControl(name)->getRect();
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        onMessage(WM_MOUSEMOVE, 0, at);
        onMessage(WM_LBUTTONDOWN, 0, at);
        onMessage(WM_LBUTTONUP, 0, at);
    }
    // Lets the worker end, then hands the window every report it posted.
    void settle()
    {
        joinWorker();
        QApplication::processEvents();
    }
};

class UninstallDialogTest : public ::testing::Test {
protected:
    UninstallDialogTest()
        : environment_({{"HOME", (dir_ / "home").string()},
                        {"XDG_DATA_HOME", (dir_ / "home/.local/share").string()},
                        {"XDG_CONFIG_HOME", (dir_ / "home/.config").string()}})
    {
        fs::create_directories(install());
        platform::Desktop::setOpener([this](const std::string& target) {
            opened_.push_back(target);
            return true;
        });
    }
    ~UninstallDialogTest() override { platform::Desktop::setOpener({}); }

    fs::path install() const { return dir_ / "home/.local/opt/Lumaret"; }
    void writeList(const std::string& text)
    {
        testsupport::writeBytes(install() / "uninstall.txt", {text.begin(), text.end()});
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnvironment environment_;
    std::vector<std::string> opened_;
};

TEST_F(UninstallDialogTest, AsksFirstWithItsOwnBuiltInPictures)
{
    Dialog dialog(install());
    dialog.initDialog();
    EXPECT_EQ(dialog.getStatusText(), "确定卸载Lumaret,请点击开始按钮");
    const RECT client = dialog.window().clientRect();
    EXPECT_EQ(client.width(), CLumaretUninstallDlg::kWidth);
    EXPECT_EQ(client.height(), CLumaretUninstallDlg::kHeight);
    const int w = client.width();
    const int h = client.height();
    EXPECT_EQ(*dialog.buttonNamed("start")->getRect(), (RECT{w - 173, h - 34, w - 104, h - 13}));
    EXPECT_EQ(*dialog.buttonNamed("cancel")->getRect(), (RECT{w - 89, h - 34, w - 20, h - 13}));
    EXPECT_EQ(*dialog.buttonNamed("close")->getRect(), (RECT{w - 42, 1, w - 5, 19}));
    // The pictures are asked for under the built-in names only, so they load only when they were
    // built into the program file.
    for (const char* name : {"start", "cancel", "close"})
        EXPECT_TRUE(dialog.buttonNamed(name)->hasImage()) << name;
    EXPECT_EQ(dialog.buttonNamed("start")->caption(), "开始");
    EXPECT_EQ(dialog.buttonNamed("cancel")->caption(), "取消");
    EXPECT_EQ(dialog.bar()->maxPos, 20);
    EXPECT_EQ(dialog.bar()->pos, 0);
}

TEST_F(UninstallDialogTest, WorksWithEveryButtonDisabledThenShowsTheEnd)
{
    testsupport::writeBytes(install() / "lumaret", {'x'});
    writeList("1\n" + (install() / "lumaret").string() + "\n");
    Dialog dialog(install());
    dialog.initDialog();
    dialog.click("start");
    EXPECT_EQ(dialog.getStatusText(), "正在卸载,请稍候...");
    for (const char* name : {"start", "cancel", "close"})
        EXPECT_FALSE(dialog.buttonNamed(name)->isEnabled()) << name;
    // Escape, Enter and the window system's close request do not end the box under the worker.
    dialog.onMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    dialog.onMessage(WM_KEYDOWN, VK_RETURN, 0);
    dialog.onMessage(WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog.hasEnded());

    dialog.settle();
    EXPECT_FALSE(fs::exists(install()));
    EXPECT_EQ(dialog.getStatusText(), "卸载Lumaret成功...");
    EXPECT_TRUE(dialog.isFinished());
    EXPECT_FALSE(dialog.buttonNamed("start")->isVisible());
    EXPECT_TRUE(dialog.buttonNamed("cancel")->isEnabled());
    EXPECT_TRUE(dialog.buttonNamed("close")->isEnabled());
    EXPECT_EQ(dialog.buttonNamed("cancel")->caption(), "完成");
    EXPECT_EQ(dialog.bar()->maxPos, 1 + app::UninstallProcedure::kFixedSteps);
    EXPECT_EQ(dialog.bar()->pos, dialog.bar()->maxPos);

    dialog.click("close");
    EXPECT_TRUE(dialog.hasEnded());
    EXPECT_EQ(opened_, std::vector<std::string>{CLumaretUninstallDlg::kFeedbackPage});
}

TEST_F(UninstallDialogTest, WithoutAListItReportsSuccessAndCloseOpensNothing)
{
    Dialog dialog(install());
    dialog.initDialog();
    dialog.click("start");
    dialog.settle();
    EXPECT_EQ(dialog.getStatusText(), "卸载Lumaret成功...");
    EXPECT_FALSE(dialog.isFinished());
    EXPECT_EQ(dialog.buttonNamed("cancel")->caption(), "完成");
    dialog.click("close");
    EXPECT_TRUE(dialog.hasEnded());
    EXPECT_TRUE(opened_.empty());
}

// A list that is there but cannot be read removed nothing, and the dialog must not call that a
// success.
TEST_F(UninstallDialogTest, AnUnreadableListIsNamedAndNotCalledASuccess)
{
    ASSERT_EQ(::mkfifo((install() / "uninstall.txt").c_str(), 0644), 0);
    Dialog dialog(install());
    dialog.initDialog();
    dialog.click("start");
    dialog.settle();
    EXPECT_EQ(dialog.getStatusText().find("成功"), std::string::npos) << dialog.getStatusText();
    EXPECT_NE(dialog.getStatusText().find("无法读取卸载列表"), std::string::npos) << dialog.getStatusText();
    EXPECT_FALSE(dialog.isFinished());
    EXPECT_TRUE(fs::exists(fs::symlink_status(install() / "uninstall.txt")));
    dialog.click("close");
    EXPECT_TRUE(dialog.hasEnded());
    EXPECT_TRUE(opened_.empty());
}

TEST_F(UninstallDialogTest, DoneAndCancelOpenTheFeedbackPage)
{
    {
        writeList("0\n");
        Dialog dialog(install());
        dialog.initDialog();
        dialog.click("start");
        dialog.settle();
        EXPECT_TRUE(dialog.isFinished());
        EXPECT_TRUE(fs::exists(install() / "uninstall.txt")) << "a count of 0 removes nothing";
        dialog.click("cancel");
        EXPECT_TRUE(dialog.hasEnded());
    }
    Dialog asking(install());
    asking.initDialog();
    asking.click("cancel");
    EXPECT_TRUE(asking.hasEnded());
    EXPECT_EQ(opened_.size(), 2u);
}

TEST_F(UninstallDialogTest, PaintsTheCaptionBandThePanelAndTheFrame)
{
    Dialog dialog(install());
    dialog.initDialog();
    const RECT client = dialog.window().clientRect();
    platform::DeviceContext dc(client, 0x123456);
    dialog.onPaint(dc);
    // The frame, the white panel inside and the warm band below it.
    EXPECT_EQ(dc.pixel(0, 50) & 0xFFFFFF, 0x878787u);
    EXPECT_EQ(dc.pixel(client.width() / 2, 45) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(dc.pixel(2, client.height() - 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(dc.pixel(2, client.height() - 2) & 0xFFFFFF, 0x123456u);
}

}  // namespace
