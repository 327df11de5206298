// The control framework: registry, naming, routing order, hot control, tooltips, painting order.
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDirectUIHandler.h"
#include "kxlib/ui/KXSlider.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/TooltipText.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>
#include <gtest/gtest.h>

using namespace KXLib;
using controltest::Event;
using controltest::RecordingHandler;

namespace {

class KXDirectUIHandlerTest : public ::testing::Test {
protected:
    KXSmartPtr<KXButtonEx> button(const std::string& name, const RECT& rect, size_t colour)
    {
        auto b = handler.make<KXButtonEx>("KXButtonEx", name, rect);
        const auto& c = controltest::frameColours();
        b->loadImage(controltest::writeStrip(dir, name + ".png", rect.width(), rect.height(),
                                             {c[colour], c[colour], c[colour], c[colour]}),
                     SIZE{rect.width(), rect.height()});
        return b;
    }

    testsupport::TempDir dir;
    RecordingHandler handler;
};

TEST_F(KXDirectUIHandlerTest, CreateControlKnowsTheRegistryAndRefusesDuplicateNames)
{
    for (const char* cls : {"KXButtonEx", "KXCheckBox", "KXHyperLink", "KXListCtrl", "KXProgressbar", "KXScrollbar",
                            "KXSlider"}) {
        auto control = handler.createControl(cls, std::string("c-") + cls, true);
        ASSERT_TRUE(control) << cls;
        EXPECT_EQ(control->getClassName(), cls);
        EXPECT_EQ(control->getName(), std::string("c-") + cls);
        EXPECT_EQ(control->getState(), 0);
    }
    EXPECT_FALSE(handler.createControl("KXButton", "unknown", true));
    EXPECT_FALSE(handler.createControl("kxbuttonex", "lower", true));

    auto first = handler.createControl("KXButtonEx", "ok", true);
    EXPECT_FALSE(handler.createControl("KXButtonEx", "ok", true));
    EXPECT_FALSE(handler.createControl("KXSlider", "ok", true));
    EXPECT_EQ(handler.findControl("ok"), first);
    EXPECT_EQ(handler.controlCount(), 8u);

    // Not kept: a working control the handler cannot find.
    auto loose = handler.createControl("KXButtonEx", "loose", false);
    ASSERT_TRUE(loose);
    EXPECT_FALSE(handler.findControl("loose"));

    EXPECT_TRUE(handler.addControl(loose));
    EXPECT_FALSE(handler.addControl(loose));
    handler.removeControl("loose");
    handler.removeControl("never-there");
    EXPECT_FALSE(handler.findControl("loose"));
    EXPECT_EQ(handler.controlCount(), 8u);
}

TEST_F(KXDirectUIHandlerTest, FirstNameClaimsOverlapsAndLastNameIsPaintedOnTop)
{
    auto a = button("a", RECT{0, 0, 50, 50}, 0);
    auto b = button("b", RECT{25, 25, 75, 75}, 2);

    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 30, 30));
    EXPECT_EQ(handler.hotControl(), a);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"a", WM_MOUSEMOVE}}));
    EXPECT_FALSE(b->getState() & KXDirectUI::kHover);

    platform::DeviceContext dc(RECT{0, 0, 100, 100});
    handler.drawControls(&dc);
    EXPECT_EQ(dc.pixel(30, 30), controltest::frameColours()[2]);
    EXPECT_EQ(dc.pixel(10, 10), controltest::frameColours()[0]);
}

TEST_F(KXDirectUIHandlerTest, MovingStraightOntoAnotherControlDropsTheFirstHover)
{
    auto a = button("a", RECT{10, 10, 50, 30}, 0);
    auto b = button("b", RECT{50, 10, 90, 30}, 1);

    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 20, 20));
    EXPECT_TRUE(a->getState() & KXDirectUI::kHover);
    EXPECT_TRUE(handler.isTrackingLeave());

    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 60, 20));
    EXPECT_FALSE(a->getState() & KXDirectUI::kHover);
    EXPECT_TRUE(b->getState() & KXDirectUI::kHover);
    EXPECT_EQ(handler.hotControl(), b);

    // Off every control: nothing claims, the hot control stays until another claims.
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, 200, 200));
    EXPECT_FALSE(b->getState() & KXDirectUI::kHover);
    EXPECT_EQ(handler.hotControl(), b);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"a", WM_MOUSEMOVE}, {"b", WM_MOUSEMOVE}}));

    EXPECT_FALSE(handler.send(WM_MOUSELEAVE, 0, 0));
    EXPECT_FALSE(handler.isTrackingLeave());
}

TEST_F(KXDirectUIHandlerTest, TooltipTextIsHandedOverOnlyWhenTextOrPositionChanges)
{
    auto a = button("a", RECT{10, 10, 50, 30}, 0);
    auto b = button("b", RECT{50, 10, 90, 30}, 1);
    auto plain = button("c", RECT{90, 10, 130, 30}, 2);
    a->setTooltip("关闭");
    b->setTooltip("最小化");

    handler.send(WM_MOUSEMOVE, 20, 20);
    handler.send(WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(handler.tooltipUpdateCount(), 1);
    EXPECT_EQ(handler.lastTooltipText(), "关闭");
    handler.send(WM_MOUSEMOVE, 21, 20);
    EXPECT_EQ(handler.tooltipUpdateCount(), 2);
    handler.send(WM_MOUSEMOVE, 60, 20);
    EXPECT_EQ(handler.tooltipUpdateCount(), 3);
    EXPECT_EQ(handler.lastTooltipText(), "最小化");
    // A control without a tip hides the shown one and hands nothing over.
    handler.send(WM_MOUSEMOVE, 100, 20);
    EXPECT_EQ(handler.tooltipUpdateCount(), 3);

    std::string text = "untouched";
    EXPECT_FALSE(plain->getTooltip(text));
    EXPECT_EQ(text, "untouched");
}

// The tooltip window the toolkit shows, or null.
QWidget* shownTooltip()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel") && widget->isVisible())
            return widget;
    return nullptr;
}

TEST_F(KXDirectUIHandlerTest, ALongTooltipIsWrappedToAtMost500Pixels)
{
    // A full path, as the add-files page shows, wider than 500 pixels but narrower than the
    // screen, with no space to break at.
    const QFontMetrics metrics(QToolTip::font());
    std::string path = "/home/用户/视频/2026";
    while (metrics.horizontalAdvance(QString::fromStdString(path)) < 650)
        path += "/holiday-clips";
    path += "/假期-final.mp4";
    auto a = button("a", RECT{10, 10, 50, 30}, 0);
    a->setTooltip(path);
    handler.window.show();
    handler.send(WM_MOUSEMOVE, 20, 20);

    QWidget* widget = platform::widgetOf(handler.window);
    const QString shown = widget->toolTip();
    EXPECT_EQ(QString(shown).remove('\n'), QString::fromStdString(path)) << "nothing is left out";
    EXPECT_GE(shown.count('\n'), 1);
    for (const QString& line : shown.split('\n'))
        EXPECT_LE(metrics.horizontalAdvance(line), platform::tooltipTextWidth()) << line.toStdString();

    // Shown by the toolkit, frame and margins included, the tip stays within 500 pixels.
    QHelpEvent help(QEvent::ToolTip, QPoint(20, 20), widget->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(widget, &help);
    QWidget* tip = shownTooltip();
    ASSERT_NE(tip, nullptr);
    EXPECT_LE(tip->width(), platform::kTooltipMaxWidth);
    QToolTip::hideText();

    // Words are kept whole where there are spaces to break at, and short tips stay on one line.
    const std::string words = "转换完成后打开输出文件夹 and then shut the computer down when the whole list is done";
    const std::string wrapped = platform::wrapTooltipText(words, 200);
    EXPECT_NE(wrapped.find('\n'), std::string::npos);
    EXPECT_EQ(wrapped.find("sh\nut"), std::string::npos);
    EXPECT_EQ(platform::wrapTooltipText("关闭", 500), "关闭");
    EXPECT_EQ(platform::wrapTooltipText("a\nb", 500), "a\nb");
}

TEST(KXDirectUIHandlerSetup, RoutesNothingBeforeTheTooltipIsCreated)
{
    struct Bare : KXDirectUIHandler, platform::WindowListener {
        Bare() : window(platform::Window::Kind::TopLevel, this) { setDisposed(true); }
        ~Bare() override { removeAllControls(); }
        HWND getWindow() override { return &window; }
        void onControlEvent(KXSmartPtr<KXDirectUI>, UINT, WPARAM, LPARAM) override { ++events; }
        void onPaint(platform::DeviceContext&) override {}
        bool onMessage(UINT, WPARAM, LPARAM) override { return false; }
        platform::Window window;
        int events = 0;
    } bare;
    auto b = bare.createControl("KXButtonEx", "b", true);
    b->setHandler(&bare);
    b->setRect(RECT{0, 0, 10, 10});
    EXPECT_FALSE(bare.routeMessage(MSG{&bare.window, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5)}));
    EXPECT_EQ(b->getState(), 0);
    EXPECT_EQ(bare.events, 0);
}

TEST_F(KXDirectUIHandlerTest, HidingAPressedControlReleasesCaptureAndClearsItsState)
{
    auto a = button("a", RECT{10, 10, 50, 30}, 0);
    a->setEnabled(false);
    a->setEnabled(true);
    a->setHighlighted(true);
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 20, 20));
    EXPECT_EQ(platform::Window::captureWindow(), &handler.window);
    EXPECT_EQ(a->getState(), KXDirectUI::kPressed | KXDirectUI::kHighlighted);

    a->setVisible(false);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_EQ(a->getState(), KXDirectUI::kHidden);
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, 20, 20));
    EXPECT_EQ(controltest::paintedAt(*a, 20, 20), 0xFFFFFFFFu);

    a->setVisible(true);
    EXPECT_EQ(a->getState(), 0);
    EXPECT_TRUE(a->isVisible());
}

TEST_F(KXDirectUIHandlerTest, ACallbackMayRemoveTheControlThatNotifiedAndOthers)
{
    auto a = button("a", RECT{10, 10, 50, 30}, 0);
    button("b", RECT{50, 10, 90, 30}, 1);
    bool destroyed = false;
    struct Watch : KXButtonEx {
        explicit Watch(bool* flag) : flag(flag) {}
        ~Watch() override { *flag = true; }
        bool* flag;
    };
    KXSmartPtr<KXButtonEx> watched(new Watch(&destroyed));
    watched->setName("w");
    watched->setHandler(&handler);
    watched->setRect(RECT{10, 40, 50, 60});
    watched->loadImage(controltest::writeStrip(dir, "w.png", 40, 20, controltest::frameColours()), SIZE{40, 20});
    handler.addControl(watched);
    watched.reset();
    a.reset();

    handler.onEvent = [&](KXSmartPtr<KXDirectUI> control, UINT message) {
        if (message == WM_LBUTTONUP)
            handler.removeAllControls();
    };
    handler.send(WM_LBUTTONDOWN, 20, 50);
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 20, 50));
    EXPECT_EQ(handler.controlCount(), 0u);
    // Still the hot control, so still alive; the next claim by anything else lets it go.
    EXPECT_FALSE(destroyed);
    auto next = button("n", RECT{100, 100, 120, 120}, 0);
    handler.send(WM_MOUSEMOVE, 110, 110);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(handler.take().back(), (Event{"n", WM_MOUSEMOVE}));
}

}  // namespace

// Every window passes exactly these to its controls: all the mouse delivers, nothing else.
TEST(KXDirectUIHandlerSetup, MouseMessagesAreTheMouseOnes)
{
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                         WM_MOUSEWHEEL, WM_MOUSELEAVE})
        EXPECT_TRUE(KXDirectUIHandler::isMouseMessage(message)) << message;
    for (UINT message : {WM_KEYDOWN, WM_TIMER, WM_KILLFOCUS, WM_COMMAND, WM_DROPFILES, WM_MOUSEMOVE - 1, WM_USER})
        EXPECT_FALSE(KXDirectUIHandler::isMouseMessage(message)) << message;
}
