// Image buttons and check boxes: message replays and the frame each state paints.
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXCheckBox.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace KXLib;
using controltest::Event;
using controltest::frameColours;
using controltest::paintedAt;

namespace {

class KXButtonExTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        button = handler.make<KXButtonEx>("KXButtonEx", "start", RECT{10, 10, 50, 30});
        ASSERT_TRUE(button->loadImage(controltest::writeStrip(dir, "strip.png", 40, 20, frameColours()),
                                      SIZE{40, 20}));
    }
    std::uint32_t shown() { return paintedAt(*button, 30, 20); }

    testsupport::TempDir dir;
    controltest::RecordingHandler handler;
    KXSmartPtr<KXButtonEx> button;
};

TEST_F(KXButtonExTest, ClickSequenceSetsStateCaptureAndFrames)
{
    const auto& c = frameColours();
    EXPECT_EQ(shown(), c[0]);

    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 20, 20));
    EXPECT_EQ(button->getState(), KXDirectUI::kHover);
    EXPECT_EQ(shown(), c[1]);
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 25, 20));  // claimed, not reported again

    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 25, 20));
    EXPECT_EQ(button->getState(), KXDirectUI::kHover | KXDirectUI::kPressed);
    EXPECT_EQ(platform::Window::captureWindow(), &handler.window);
    EXPECT_EQ(shown(), c[2]);

    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 25, 20));
    EXPECT_EQ(button->getState(), KXDirectUI::kHover);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);

    EXPECT_FALSE(handler.send(WM_MOUSELEAVE, 0, 0));
    EXPECT_EQ(button->getState(), 0);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"start", WM_MOUSEMOVE},
                                                  {"start", WM_LBUTTONDOWN},
                                                  {"start", WM_LBUTTONUP}}));
}

TEST_F(KXButtonExTest, ReleaseOutsideIsNoClickAndButtonsOutsideIgnoreThePress)
{
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, 200, 200));
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, 20, 20));  // never pressed: no click

    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 20, 20));
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, 200, 200));
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, 200, 200));
    EXPECT_EQ(button->getState(), 0);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"start", WM_LBUTTONDOWN}}));
}

TEST_F(KXButtonExTest, AButtonDisabledWhilePressedReportsNoLaterClick)
{
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 20, 20));
    button->setEnabled(false);
    EXPECT_FALSE(button->getState() & KXDirectUI::kPressed);
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, 20, 20));
    button->setEnabled(true);
    // The user presses somewhere else and lets go over the button: that is no click of it.
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, 200, 200));
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, 20, 20));
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"start", WM_LBUTTONDOWN}}));
    EXPECT_EQ(shown(), frameColours()[0]);
}

TEST_F(KXButtonExTest, DisabledTakesPrecedenceAndIgnoresTheMouse)
{
    const auto& c = frameColours();
    button->setChecked(true);
    EXPECT_EQ(shown(), c[2]);
    button->setHighlighted(true);
    EXPECT_EQ(shown(), c[2]);
    button->setEnabled(false);
    EXPECT_EQ(shown(), c[3]);
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, 20, 20));
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, 20, 20));
    EXPECT_TRUE(handler.take().empty());
    button->setChecked(false);
    button->setEnabled(true);
    EXPECT_EQ(shown(), c[1]);  // highlighted alone shows the hover frame
}

TEST_F(KXButtonExTest, AFrameLargerThanTheRectangleIsScaledDownWhole)
{
    // Left half red, right half blue in every frame.
    platform::Image strip(80, 20, 0xFFFF0000);
    strip.fill(RECT{20, 0, 40, 20}, 0xFF0000FF);
    strip.fill(RECT{60, 0, 80, 20}, 0xFF0000FF);
    const std::string path = (dir / "halves.png").string();
    ASSERT_TRUE(strip.save(path));
    auto small = handler.make<KXButtonEx>("KXButtonEx", "small", RECT{100, 100, 110, 110});
    ASSERT_TRUE(small->loadImage(path, SIZE{40, 20}));
    EXPECT_EQ(paintedAt(*small, 101, 105), 0xFFFF0000u);
    EXPECT_EQ(paintedAt(*small, 108, 105), 0xFF0000FFu);
    EXPECT_EQ(paintedAt(*small, 112, 105), 0xFFFFFFFFu);  // nothing outside the rectangle
}

TEST_F(KXButtonExTest, MissingImageLeavesTheButtonBlankButWorking)
{
    auto bare = handler.make<KXButtonEx>("KXButtonEx", "bare", RECT{100, 100, 140, 120});
    EXPECT_FALSE(bare->loadImage((dir / "absent.png").string(), SIZE{40, 20}));
    EXPECT_FALSE(bare->hasImage());
    bare->setText("确定", POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(bare->textColor(), 0x301C00u);
    EXPECT_EQ(bare->disabledTextColor(), 0x808080u);
    platform::DeviceContext dc(RECT{0, 0, 400, 300});
    bare->draw(&dc);
    for (int x = 100; x < 140; ++x)
        for (int y = 100; y < 120; ++y)
            ASSERT_EQ(dc.pixel(x, y), 0xFFFFFFFFu);
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 110, 110));
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 110, 110));
    EXPECT_EQ(handler.take().back(), (Event{"bare", WM_LBUTTONUP}));

    // A failed load keeps the picture that was there.
    EXPECT_FALSE(button->loadImage((dir / "absent.png").string(), SIZE{1, 1}));
    EXPECT_EQ(button->frameSize(), (SIZE{40, 20}));
    EXPECT_EQ(shown(), frameColours()[0]);
}

TEST_F(KXButtonExTest, CaptionIsDrawnAtItsOffsetInTheStateColour)
{
    auto b = handler.make<KXButtonEx>("KXButtonEx", "tab", RECT{0, 100, 74, 168});
    platform::Image white(296, 68, 0xFFFFFFFF);
    white.save((dir / "white.png").string());
    ASSERT_TRUE(b->loadImage((dir / "white.png").string(), SIZE{74, 68}));
    b->setText("转换", POINT{23, 50}, 0);
    const auto inkIn = [&](const RECT& area) {
        platform::DeviceContext dc(RECT{0, 0, 400, 300});
        b->draw(&dc);
        int ink = 0;
        for (int x = area.left; x < area.right; ++x)
            for (int y = area.top; y < area.bottom; ++y)
                ink += dc.pixel(x, y) != 0xFFFFFFFFu;
        return ink;
    };
    EXPECT_GT(inkIn(RECT{23, 150, 74, 168}), 10);
    EXPECT_EQ(inkIn(RECT{0, 100, 74, 150}), 0);
}

class KXCheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box = handler.make<KXCheckBox>("KXCheckBox", "delete-source", RECT{10, 10, 20, 20});
        ASSERT_TRUE(box->loadImage(controltest::writeStrip(dir, "check.png", 16, 16, frameColours()),
                                   SIZE{16, 16}));
    }
    testsupport::TempDir dir;
    controltest::RecordingHandler handler;
    KXSmartPtr<KXCheckBox> box;
};

TEST_F(KXCheckBoxTest, PressReportsTheOldStateAndTheClickTheNewOne)
{
    std::vector<bool> seen;
    handler.onEvent = [&](KXSmartPtr<KXDirectUI> control, UINT) {
        seen.push_back(control.dynamicCast<KXCheckBox>()->isChecked());
    };
    handler.send(WM_LBUTTONDOWN, 15, 15);
    EXPECT_TRUE(box->isChecked());
    handler.send(WM_LBUTTONUP, 15, 15);
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));

    // A double click arrives as down, up, double click, up: one toggle each for the two presses
    // of the pair, none for the double click itself.
    handler.send(WM_LBUTTONDOWN, 15, 15);
    handler.send(WM_LBUTTONUP, 15, 15);
    EXPECT_FALSE(box->isChecked());
    handler.send(WM_LBUTTONDBLCLK, 15, 15);
    handler.send(WM_LBUTTONUP, 15, 15);
    EXPECT_FALSE(box->isChecked());
}

TEST_F(KXCheckBoxTest, CheckedFramesFollowTheUncheckedOnesAtFullSize)
{
    const auto& c = frameColours();
    // Drawn at the frame size even though the rectangle is smaller.
    EXPECT_EQ(paintedAt(*box, 24, 24), c[0]);
    box->setChecked(true);
    EXPECT_EQ(paintedAt(*box, 24, 24), c[4]);
    handler.send(WM_MOUSEMOVE, 15, 15);
    EXPECT_EQ(paintedAt(*box, 24, 24), c[5]);
    box->setEnabled(false);
    EXPECT_EQ(paintedAt(*box, 24, 24), c[7]);
    box->setChecked(false);
    EXPECT_EQ(paintedAt(*box, 24, 24), c[3]);
}

TEST_F(KXCheckBoxTest, AnOwnerThatDropsTheBoxOnThePressDoesNotBreakTheToggle)
{
    bool alive = true;
    struct Watch : KXCheckBox {
        explicit Watch(bool* flag) : flag(flag) {}
        ~Watch() override { *flag = false; }
        bool* flag;
    };
    KXSmartPtr<KXCheckBox> watched(new Watch(&alive));
    watched->setName("watched");
    watched->setHandler(&handler);
    watched->setRect(RECT{100, 100, 120, 120});
    handler.addControl(watched);
    watched.reset();
    handler.onEvent = [&](KXSmartPtr<KXDirectUI> control, UINT message) {
        if (message == WM_LBUTTONDOWN)
            handler.removeControl(control->getName());
    };
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 110, 110));
    EXPECT_FALSE(handler.findControl("watched"));
    EXPECT_TRUE(alive);  // the hot control still holds it
    ASSERT_TRUE(handler.hotControl());
    EXPECT_TRUE(handler.hotControl().dynamicCast<KXCheckBox>()->isChecked());
}

}  // namespace

namespace {

// Counts the repaint requests the button makes of itself.
class CountingButton : public KXButtonEx {
public:
    void invalidate() override
    {
        ++repaints;
        KXButtonEx::invalidate();
    }
    int repaints = 0;
};

}  // namespace

// Every setter repaints the button when, and only when, what it shows changes; a button that has
// no handler yet takes the values without asking for a repaint it could not get.
TEST(KXButtonExSetters, RepaintOnlyWhenTheShownStateChanges)
{
    controltest::RecordingHandler handler;
    KXSmartPtr<CountingButton> loose(new CountingButton);
    loose->setChecked(true);
    loose->setText("开始", POINT{0, 0}, DT_CENTER);
    loose->setTextColors(0x0000FF, 0x00FF00);
    EXPECT_EQ(loose->repaints, 0);
    EXPECT_TRUE(loose->isChecked());

    KXSmartPtr<CountingButton> button(new CountingButton);
    button->setName("b");
    button->setHandler(KXSmartPtr<KXDirectUIHandler>(&handler));
    ASSERT_TRUE(handler.addControl(button));
    int expected = 0;
    button->setChecked(true);
    EXPECT_EQ(button->repaints, ++expected);
    button->setChecked(true);
    EXPECT_EQ(button->repaints, expected);
    button->setText("开始", POINT{2, 3}, DT_CENTER);
    EXPECT_EQ(button->repaints, ++expected);
    button->setText("开始", POINT{2, 3}, DT_CENTER);
    EXPECT_EQ(button->repaints, expected);
    button->setCaption("停止");
    EXPECT_EQ(button->repaints, ++expected);
    EXPECT_EQ(button->textOffset(), (POINT{2, 3}));
    EXPECT_EQ(button->textFormat(), static_cast<UINT>(DT_CENTER));
    button->setTextColors(0x0000FF, 0x00FF00);
    EXPECT_EQ(button->repaints, ++expected);
    button->setTextColors(0x0000FF, 0x00FF00);
    EXPECT_EQ(button->repaints, expected);
    button->setEnabled(false);
    EXPECT_EQ(button->repaints, ++expected);
    button->setEnabled(false);
    EXPECT_EQ(button->repaints, expected);
    button->setVisible(false);
    EXPECT_EQ(button->repaints, ++expected);
    button->setVisible(false);
    EXPECT_EQ(button->repaints, expected);
    button->setVisible(true);
    EXPECT_EQ(button->repaints, ++expected);
    handler.removeAllControls();
}

// A caption set after the colours keeps them: callers set their colours once.
TEST_F(KXButtonExTest, SetTextKeepsTheCaptionColours)
{
    EXPECT_EQ(button->textColor(), palette::kText);
    EXPECT_EQ(button->disabledTextColor(), palette::kDisabledText);
    button->setTextColors(0x0000FF, 0x00FF00);
    button->setText("开始", POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    button->setCaption("停止");
    EXPECT_EQ(button->caption(), "停止");
    EXPECT_EQ(button->textColor(), 0x0000FFu);
    EXPECT_EQ(button->disabledTextColor(), 0x00FF00u);
}
