// The tray icon reports clicks to its window as WM_TRAY_NOTIFY with the mouse message in lParam.
#include "platform/gui/TrayIcon.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"
#include "tests/support/TestSupport.h"

#include <QSystemTrayIcon>
#include <gtest/gtest.h>

#include <vector>

namespace {

class Owner : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TRAY_NOTIFY) {
            EXPECT_EQ(wParam, 9394u);
            mouse.push_back(static_cast<UINT>(lParam));
        }
        return true;
    }
    std::vector<UINT> mouse;
};

TEST(TrayIconTest, ClicksArriveAsTrayNotifications)
{
    Owner owner;
    platform::Window window(platform::Window::Kind::TopLevel, &owner);
    platform::TrayIcon tray(window, 9394);
    EXPECT_EQ(WM_TRAY_NOTIFY, WM_USER + 5);

    QSystemTrayIcon* native = tray.nativeIcon();
    emit native->activated(QSystemTrayIcon::Trigger);
    emit native->activated(QSystemTrayIcon::DoubleClick);
    emit native->activated(QSystemTrayIcon::Context);
    emit native->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(owner.mouse, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}));
}

TEST(TrayIconTest, AnIconThatCannotBeReadIsNotShown)
{
    Owner owner;
    platform::Window window(platform::Window::Kind::TopLevel, &owner);
    platform::TrayIcon tray(window, 9394);
    testsupport::TempDir dir;
    EXPECT_FALSE(tray.add((dir / "missing.ico").string(), "Lumaret 视频格式转换"));
    EXPECT_FALSE(tray.isShown());

    platform::Image picture(16, 16, 0xFF2060C0);
    ASSERT_TRUE(picture.save((dir / "tray.png").string()));
    EXPECT_TRUE(tray.add((dir / "tray.png").string(), "Lumaret 视频格式转换"));
    // The offscreen platform has no notification area; the answer must say so rather than crash.
    EXPECT_EQ(platform::TrayIcon::isAvailable(), QSystemTrayIcon::isSystemTrayAvailable());
    tray.remove();
    EXPECT_FALSE(tray.isShown());
}

}  // namespace
