// Windows: input turned into message numbers, posting from other threads, timers, modal runs.
#include "platform/gui/DeviceContext.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};

class Recorder : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext& dc) override
    {
        ++paints;
        dc.fillSolid(RECT{0, 0, 10, 10}, RGB(255, 0, 0));
    }
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, wParam, lParam});
        if (onReceive)
            onReceive(message);
        return true;
    }
    std::vector<Received> received;
    std::function<void(UINT)> onReceive;
    int paints = 0;
};

TEST(WindowTest, PackedCoordinatesAreSigned)
{
    const LPARAM packed = MAKELPARAM(-5, 300);
    EXPECT_EQ(GET_X_LPARAM(packed), -5);
    EXPECT_EQ(GET_Y_LPARAM(packed), 300);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, -120)), -120);
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
}

TEST(WindowTest, MouseInputArrivesAsMessageNumbers)
{
    Recorder recorder;
    platform::Window window(platform::Window::Kind::TopLevel, &recorder);
    window.resize(100, 100);
    QWidget* widget = platform::widgetOf(window);
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, QPointF(10, 20), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPointF(-5, 30), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPointF(-5, 30), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, QPointF(3, 4), Qt::LeftButton, Qt::LeftButton);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);

    ASSERT_EQ(recorder.received.size(), 5u);
    EXPECT_EQ(recorder.received[0], (Received{WM_LBUTTONDOWN, 0, MAKELPARAM(10, 20)}));
    EXPECT_EQ(recorder.received[1], (Received{WM_MOUSEMOVE, 0, MAKELPARAM(-5, 30)}));
    EXPECT_EQ(recorder.received[2], (Received{WM_LBUTTONUP, 0, MAKELPARAM(-5, 30)}));
    EXPECT_EQ(recorder.received[3].message, WM_LBUTTONDBLCLK);
    EXPECT_EQ(recorder.received[4].message, WM_MOUSEWHEEL);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(recorder.received[4].wParam), 120);

    // A leave is reported once per request.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
    EXPECT_EQ(recorder.received.size(), 5u);
    window.trackMouseLeave();
    QCoreApplication::sendEvent(widget, &leave);
    QCoreApplication::sendEvent(widget, &leave);
    ASSERT_EQ(recorder.received.size(), 6u);
    EXPECT_EQ(recorder.received[5].message, WM_MOUSELEAVE);
}

TEST(WindowTest, PostsFromAnotherThreadArriveInOrderOnTheWindowThread)
{
    Recorder recorder;
    platform::Window window(platform::Window::Kind::TopLevel, &recorder);
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            window.post(WM_USER + 1, static_cast<WPARAM>(i), 7);
    });
    worker.join();
    EXPECT_TRUE(recorder.received.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.received,
              (std::vector<Received>{{WM_USER + 1, 0, 7}, {WM_USER + 1, 1, 7}, {WM_USER + 1, 2, 7}}));
}

TEST(WindowTest, ModalRunEndsWithTheResultGivenToEndDialog)
{
    Recorder recorder;
    platform::Window window(platform::Window::Kind::TopLevel, &recorder);
    window.resize(50, 50);
    recorder.onReceive = [&](UINT message) {
        if (message == WM_USER + 4)
            window.endDialog(42);
    };
    window.post(WM_USER + 4);
    EXPECT_EQ(window.runModal(), 42);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isModalRunning());
    window.endDialog(1);  // outside a run: nothing happens
}

TEST(WindowTest, ChildrenMayOutliveTheirParentWindow)
{
    Recorder recorder;
    auto parent = std::make_unique<platform::Window>(platform::Window::Kind::TopLevel, &recorder);
    platform::Window child(platform::Window::Kind::Child, &recorder, parent.get());
    child.setGeometry(RECT{7, 141, 50, 160});
    EXPECT_EQ(child.geometry(), (RECT{7, 141, 50, 160}));
    parent.reset();
    child.invalidate();
    child.post(WM_USER);
}

// Runs only where the screen has a device-pixel ratio of 2 (ctest runs it with QT_SCALE_FACTOR=2).
TEST(WindowHiDpi, AWindowPaintsAtItsScreensRatioWithTheDoubleSizeSkin)
{
    if (qGuiApp->devicePixelRatio() < 2.0)
        GTEST_SKIP() << "needs a screen with a device-pixel ratio of 2";
    testsupport::TempDir dir;
    platform::Image single(4, 2, 0xFFFF0000);
    ASSERT_TRUE(single.save((dir / "part.png").string()));
    platform::Image twin(8, 4, 0xFFFF0000);
    for (int x = 1; x < 8; x += 2)
        twin.fill(RECT{x, 0, x + 1, 4}, 0xFF0000FF);
    ASSERT_TRUE(twin.save((dir / "part@2x.png").string()));

    struct Painter : platform::WindowListener {
        platform::Image part;
        void onPaint(platform::DeviceContext& dc) override
        {
            dc.drawImage(part, 0, 0);
            dc.line(RGB(0, 255, 0), 0, 5, 10, 5);
        }
        bool onMessage(UINT, WPARAM, LPARAM) override { return false; }
    } painter;
    ASSERT_TRUE(painter.part.load((dir / "part.png").string()));
    EXPECT_EQ(painter.part.width(), 4);
    platform::Window window(platform::Window::Kind::TopLevel, &painter);
    window.resize(20, 20);
    const QImage shot = platform::widgetOf(window)->grab().toImage();
    ASSERT_EQ(shot.width(), 40) << "the window's pixels at ratio 2";
    // The twin's one-pixel columns arrive on the screen as they are, not as enlarged red blocks.
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(7, 3), qRgb(0, 0, 255));
    // A one-pixel line is one logical pixel: two rows of the screen.
    EXPECT_EQ(shot.pixel(4, 10), qRgb(0, 255, 0));
    EXPECT_EQ(shot.pixel(4, 11), qRgb(0, 255, 0));
    EXPECT_EQ(shot.pixel(4, 12), qRgb(255, 255, 255));
}

}  // namespace
