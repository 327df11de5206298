// The skin colour pop-up: the choice it loads, what clicks and slider drags change, what it writes
// to the settings file and what it tells its parent.
#include "kxlib/ui/CSkinColor.h"

#include "app/SettingsStore.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXColor.h"
#include "kxlib/ui/KXSlider.h"
#include "platform/core/IniFile.h"
#include "platform/core/Paths.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace KXLib;

namespace {

// The window the pop-up reports to; it records what is posted to it.
class Parent : public platform::WindowListener {
public:
    Parent() : window(platform::Window::Kind::TopLevel, this) { window.setGeometry(RECT{100, 100, 700, 500}); }
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_SKIN_CHANGED)
            notices.push_back(wParam);
        return true;
    }
    // What was posted since the last call.
    std::vector<WPARAM> take()
    {
        QCoreApplication::processEvents();
        return std::exchange(notices, {});
    }
    platform::Window window;
    std::vector<WPARAM> notices;
};

class CSkinColorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LUMARET_CONFIG_DIR", config.path().c_str(), 1);
        ASSERT_EQ(platform::Paths::settingsFile(), config / "Lumaret.ini");
    }
    void TearDown() override { skin.close(); }

    void openPopup()
    {
        skin.load();
        ASSERT_TRUE(skin.open(&parent.window, RECT{300, 200, 500, 360}));
    }
    void send(UINT message, int x, int y) { skin.onMessage(message, 0, MAKELPARAM(x, y)); }
    void click(const std::string& name)
    {
        const RECT r = *skin.findControl(name)->getRect();
        send(WM_LBUTTONDOWN, r.left + 10, r.top + 5);
        send(WM_LBUTTONUP, r.left + 10, r.top + 5);
    }
    // Drags a slider's thumb from its left end to x and releases it at (x, releaseY).
    void drag(const std::string& name, int x, int releaseY)
    {
        const RECT r = *skin.findControl(name)->getRect();
        send(WM_LBUTTONDOWN, r.left + 1, r.top + 5);
        send(WM_MOUSEMOVE, x, r.top + 5);
        send(WM_LBUTTONUP, x, releaseY);
    }
    int sliderPos(const std::string& name) { return skin.findControl(name).dynamicCast<KXSlider>()->getPos(); }
    bool checked(const std::string& name) { return skin.findControl(name).dynamicCast<KXButtonEx>()->isChecked(); }
    app::SkinSettings stored() { return app::SettingsStore(config / "Lumaret.ini").loadSkin(); }
    bool settingsWritten() { return std::filesystem::exists(config / "Lumaret.ini"); }

    testsupport::TempDir config;
    Parent parent;
    CSkinColor skin;
};

}  // namespace

TEST_F(CSkinColorTest, FirstStartShowsTheFirstPresetWithNoShift)
{
    openPopup();
    EXPECT_EQ(skin.currentSkin, "skin0");
    EXPECT_EQ(skin.currentColor, 0xF7B300u);
    EXPECT_TRUE(checked("skin0"));
    for (int i = 1; i < 10; ++i)
        EXPECT_FALSE(checked("skin" + std::to_string(i)));
    EXPECT_EQ(sliderPos("slider-hue"), 180);
    EXPECT_EQ(sliderPos("slider-sum"), 100);
    EXPECT_EQ(sliderPos("slider-lum"), 100);
    EXPECT_EQ(*skin.findControl("skin7")->getRect(), (RECT{85, 45, 115, 75}));
    EXPECT_EQ(*skin.findControl("slider-lum")->getRect(), (RECT{40, 136, 164, 150}));

    COLORREF first = 1, second = 2;
    skin.presetColors(first, second);
    EXPECT_EQ(first, 0xF9C232u);
    EXPECT_EQ(second, 0xF7B300u);
}

TEST_F(CSkinColorTest, ClickingTheCheckedSwatchChangesAndWritesNothing)
{
    openPopup();
    click("skin0");
    EXPECT_TRUE(checked("skin0"));
    EXPECT_TRUE(parent.take().empty());
    EXPECT_FALSE(settingsWritten());
}

TEST_F(CSkinColorTest, AnotherSwatchResetsTheSlidersWritesTheChoiceAndTellsTheParent)
{
    openPopup();
    drag("slider-lum", 60, 140);
    EXPECT_NE(skin.luminosity, 100);
    parent.take();

    click("skin5");
    EXPECT_EQ(skin.currentSkin, "skin5");
    EXPECT_TRUE(checked("skin5"));
    EXPECT_FALSE(checked("skin0"));
    EXPECT_EQ(skin.luminosity, 100);
    EXPECT_EQ(sliderPos("slider-lum"), 100);
    EXPECT_EQ(skin.currentColor, 0x51BD87u);
    EXPECT_EQ(parent.take(), (std::vector<WPARAM>{1}));
    EXPECT_EQ(stored(), (app::SkinSettings{"skin5", 180, 100, 100}));
}

TEST_F(CSkinColorTest, ASliderCommitsOnlyWhenReleasedOverIt)
{
    openPopup();
    // Released below the track: the drag ends without a commit.
    drag("slider-hue", 100, 160);
    EXPECT_EQ(skin.hue, 180);
    EXPECT_TRUE(parent.take().empty());
    EXPECT_FALSE(settingsWritten());

    // Released over it at the left end: hue 0, a shift of -180 degrees.
    drag("slider-hue", 40, 105);
    EXPECT_EQ(skin.hue, 0);
    EXPECT_EQ(parent.take(), (std::vector<WPARAM>{1}));
    COLORREF expected = 0xF9C232;
    adjustColor(expected, &expected, -180, 100, 100);
    EXPECT_EQ(skin.currentColor, expected);
    EXPECT_EQ(stored(), (app::SkinSettings{"skin0", 0, 100, 100}));

    // Saturation 0 turns the colour grey.
    drag("slider-sum", 40, 122);
    EXPECT_EQ(skin.saturation, 0);
    EXPECT_EQ(GetRValue(skin.currentColor), GetGValue(skin.currentColor));
    EXPECT_EQ(GetGValue(skin.currentColor), GetBValue(skin.currentColor));
    EXPECT_EQ(stored(), (app::SkinSettings{"skin0", 0, 0, 100}));
    EXPECT_EQ(parent.take(), (std::vector<WPARAM>{1}));

    // A release that leaves the value as it was still writes, but tells the parent nothing.
    std::filesystem::remove(config / "Lumaret.ini");
    drag("slider-sum", 40, 122);
    EXPECT_EQ(parent.take(), std::vector<WPARAM>{});
    EXPECT_EQ(stored(), (app::SkinSettings{"skin0", 0, 0, 100}));
}

TEST_F(CSkinColorTest, WritesKeepTheRestOfTheSettingsFile)
{
    const auto file = config / "Lumaret.ini";
    platform::IniFile ini(file);
    ASSERT_TRUE(ini.writeString("output", "output_path", "/home/user/videos"));
    openPopup();
    click("skin3");
    EXPECT_EQ(ini.readString("output", "output_path", ""), "/home/user/videos");
    EXPECT_EQ(ini.readString("skin_color", "skin", ""), "skin3");
    EXPECT_EQ(ini.readString("hue", "skin", ""), "180");
}

TEST_F(CSkinColorTest, LoadBringsDamagedSettingsIntoRange)
{
    platform::IniFile ini(config / "Lumaret.ini");
    ini.writeString("skin_color", "skin", std::string(300, 'x'));
    ini.writeString("hue", "skin", "99999");
    ini.writeString("saturation", "skin", "-40");
    ini.writeString("luminosity", "skin", "abc");
    skin.load();
    EXPECT_EQ(skin.currentSkin.size(), 199u);
    EXPECT_EQ(skin.hue, 360);
    EXPECT_EQ(skin.saturation, 0);
    EXPECT_EQ(skin.luminosity, 0);
    // A name outside the table has no preset colours; the pop-up falls back to the first preset's.
    COLORREF first = 1, second = 2;
    skin.presetColors(first, second);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    EXPECT_EQ(skin.currentColor, 0xF7B300u);

    ASSERT_TRUE(skin.open(&parent.window, RECT{300, 200, 500, 360}));
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(checked("skin" + std::to_string(i)));
    click("skin9");
    EXPECT_EQ(skin.currentSkin, "skin9");
}

TEST_F(CSkinColorTest, ReopensAfterCloseAndReportsLeavingTheFocus)
{
    openPopup();
    HWND first = skin.getWindow();
    EXPECT_TRUE(skin.open(&parent.window, RECT{0, 0, 10, 10}));
    EXPECT_EQ(skin.getWindow(), first);
    EXPECT_EQ(skin.controlCount(), 13u);

    skin.onMessage(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(parent.take(), (std::vector<WPARAM>{0}));

    click("skin2");
    skin.close();
    EXPECT_FALSE(skin.isOpen());
    EXPECT_EQ(skin.getWindow(), nullptr);
    EXPECT_EQ(skin.controlCount(), 0u);

    ASSERT_TRUE(skin.open(&parent.window, RECT{300, 200, 500, 360}));
    EXPECT_EQ(skin.controlCount(), 13u);
    EXPECT_TRUE(checked("skin2"));
    EXPECT_EQ(skin.getWindow()->geometry(), (RECT{300, 200, 500, 360}));
    EXPECT_FALSE(CSkinColor().open(nullptr, RECT{0, 0, 200, 160}));
}
