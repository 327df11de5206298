// The skin colour pop-up in a real X server: the hue slider's thumb dragged with real pointer input
// (button down on the track, moves, button up over it) commits the new hue, writes it and tells the
// parent.
#include "kxlib/ui/CSkinColor.h"
#include "kxlib/ui/KXSlider.h"
#include "platform/core/IniFile.h"
#include "tests/support/TestSupport.h"
#include "tests/support/X11TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace KXLib;

namespace {

class Parent : public platform::WindowListener {
public:
    Parent() : window(platform::Window::Kind::TopLevel, this) { window.setGeometry(RECT{100, 100, 600, 450}); }
    void onPaint(platform::DeviceContext&) override { ++paints; }
    bool onMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_SKIN_CHANGED && wParam == 1)
            ++changes;
        return message == WM_SKIN_CHANGED;
    }
    platform::Window window;
    int paints = 0;
    int changes = 0;
};

class WatchedSkinColor : public CSkinColor {
public:
    void onPaint(platform::DeviceContext& dc) override
    {
        ++paints;
        CSkinColor::onPaint(dc);
    }
    int paints = 0;
};

TEST(CSkinColorX11Test, ARealDragOfTheHueSliderCommitsTheHueItWasReleasedAt)
{
    testsupport::TempDir config;
    setenv("LUMARET_CONFIG_DIR", config.path().c_str(), 1);
    Parent parent;
    parent.window.show();
    WatchedSkinColor skin;
    skin.load();
    ASSERT_TRUE(skin.open(&parent.window, RECT{350, 200, 550, 360}));
    ASSERT_TRUE(x11test::waitUntil([&] { return skin.paints > 0 && parent.paints > 0; }));

    auto slider = skin.findControl("slider-hue").dynamicCast<KXSlider>();
    ASSERT_TRUE(slider);
    ASSERT_FALSE(slider->trackImage.isNull()) << "the skin is not beside the test program";
    const RECT r = *slider->getRect();
    const int y = (r.top + r.bottom) / 2;
    const POINT start = skin.getWindow()->clientToScreen(POINT{r.left + 1, y});
    // A quarter of the track: hue 90.
    const POINT end = skin.getWindow()->clientToScreen(POINT{r.left + r.width() / 4, y});
    ASSERT_TRUE(x11test::xdotool("mousemove " + x11test::at(start.x, start.y) + " mousedown 1"));
    ASSERT_TRUE(x11test::waitUntil([&] { return (slider->getState() & KXDirectUI::kPressed) != 0; }));
    ASSERT_TRUE(x11test::xdotool("mousemove " + x11test::at((start.x + end.x) / 2, start.y) +
                                 " mousemove " + x11test::at(end.x, end.y)));
    ASSERT_TRUE(x11test::waitUntil([&] { return slider->getPos() == 90; }))
        << "slider at " << slider->getPos();
    EXPECT_EQ(skin.hue, 180) << "nothing is committed before the button comes up";
    ASSERT_TRUE(x11test::xdotool("mouseup 1"));
    ASSERT_TRUE(x11test::waitUntil([&] { return skin.hue == 90 && parent.changes == 1; }))
        << "hue " << skin.hue << ", " << parent.changes << " change notices";
    EXPECT_FALSE(slider->getState() & KXDirectUI::kPressed);
    EXPECT_EQ(platform::IniFile(config / "Lumaret.ini").readInt("hue", "skin", -1), 90);
    skin.close();
}

}  // namespace
