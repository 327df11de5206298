// Links: hover without repeats, the leave reported, the target opened only by a click inside.
#include "kxlib/ui/KXHyperLink.h"
#include "platform/gui/Desktop.h"
#include "tests/kxlib/ui/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace KXLib;
using controltest::Event;

namespace {

class KXHyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::Desktop::setOpener([this](const std::string& target) {
            opened.push_back(target);
            return true;
        });
        link = handler.make<KXHyperLink>("KXHyperLink", "homepage", RECT{20, 230, 70, 250});
        link->text = "访问主页";
        link->url = "https://example.org/lumaret";
        link->normalColor = 0xFF0000;
        link->hotColor = 0x0000FF;
    }
    void TearDown() override { platform::Desktop::setOpener(nullptr); }

    testsupport::TempDir dir;
    controltest::RecordingHandler handler;
    KXSmartPtr<KXHyperLink> link;
    std::vector<std::string> opened;
};

TEST_F(KXHyperLinkTest, ClickInsideOpensTheTarget)
{
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 30, 240));
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 31, 240));
    EXPECT_TRUE(handler.send(WM_LBUTTONDOWN, 31, 240));
    EXPECT_EQ(platform::Window::captureWindow(), &handler.window);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(handler.send(WM_LBUTTONUP, 31, 240));
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/lumaret"}));
    // Leaving is reported once; later moves outside are not the link's.
    EXPECT_TRUE(handler.send(WM_MOUSEMOVE, 200, 100));
    EXPECT_FALSE(handler.send(WM_MOUSEMOVE, 201, 100));
    EXPECT_EQ(handler.take(), (std::vector<Event>{{"homepage", WM_MOUSEMOVE},
                                                  {"homepage", WM_LBUTTONDOWN},
                                                  {"homepage", WM_LBUTTONUP},
                                                  {"homepage", WM_MOUSEMOVE}}));
}

TEST_F(KXHyperLinkTest, ReleaseOutsideOpensNothingAndLeaveMessagesAreIgnored)
{
    handler.send(WM_LBUTTONDOWN, 30, 240);
    EXPECT_FALSE(handler.send(WM_LBUTTONUP, 300, 10));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(platform::Window::captureWindow(), nullptr);

    handler.send(WM_MOUSEMOVE, 30, 240);
    EXPECT_FALSE(handler.send(WM_MOUSELEAVE, 0, 0));
    EXPECT_TRUE(link->getState() & KXDirectUI::kHover);  // kept until the next move over the window
}

TEST_F(KXHyperLinkTest, HoverSwitchesColourAndDisabledLinksIgnoreTheMouse)
{
    // Text is smoothed, so count pixels by their dominant channel rather than the exact colour.
    const auto inkCount = [&](bool red) {
        platform::DeviceContext dc(RECT{0, 0, 400, 300});
        link->draw(&dc);
        int n = 0;
        for (int x = 20; x < 70; ++x)
            for (int y = 230; y < 250; ++y) {
                const std::uint32_t p = dc.pixel(x, y);
                const int r = (p >> 16) & 0xFF;
                const int b = p & 0xFF;
                n += red ? r > b + 60 : b > r + 60;
            }
        return n;
    };
    EXPECT_GT(inkCount(false), 0);  // normalColor 0xFF0000 is blue
    EXPECT_EQ(inkCount(true), 0);
    handler.send(WM_MOUSEMOVE, 30, 240);
    EXPECT_GT(inkCount(true), 0);
    EXPECT_EQ(inkCount(false), 0);

    link->setEnabled(false);
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, 30, 240));
    link->setEnabled(true);
    link->setVisible(false);
    EXPECT_FALSE(handler.send(WM_LBUTTONDOWN, 30, 240));
    EXPECT_EQ(inkCount(true) + inkCount(false), 0);
}

}  // namespace
