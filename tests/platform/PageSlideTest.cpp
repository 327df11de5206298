// Pages hear when they are shown and hidden themselves (not when their main window hides to the
// tray), and slide in from the right to their place.
#include "platform/PageSlide.h"
#include "platform/QtBridge.h"
#include "platform/Window.h"
#include "tests/support/X11TestSupport.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

namespace {

class Page : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_SHOWWINDOW)
            shows.push_back(static_cast<int>(wParam));
        return false;
    }
    std::vector<int> shows;
};

class Frame : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT, WPARAM, LPARAM) override { return false; }
};

TEST(PageSlideTest, PagesHearTheirOwnShowAndHideOnly)
{
    Frame frameListener;
    Page pageListener;
    platform::Window frame(platform::Window::Kind::TopLevel, &frameListener);
    platform::Window page(platform::Window::Kind::Child, &pageListener, &frame);
    frame.setGeometry(RECT{0, 0, 600, 500});
    page.setGeometry(RECT{7, 141, 593, 496});
    frame.show();
    page.show();
    page.show();
    EXPECT_EQ(pageListener.shows, (std::vector<int>{1}));
    frame.hide();
    frame.show();
    EXPECT_EQ(pageListener.shows, (std::vector<int>{1})) << "the main window's trip to the tray is not the page's";
    page.hide();
    EXPECT_EQ(pageListener.shows, (std::vector<int>{1, 0}));
}

TEST(PageSlideTest, SlidesFromOnePageWidthRightToItsPlace)
{
    Frame frameListener;
    Page pageListener;
    platform::Window frame(platform::Window::Kind::TopLevel, &frameListener);
    platform::Window page(platform::Window::Kind::Child, &pageListener, &frame);
    frame.setGeometry(RECT{0, 0, 600, 500});
    page.setGeometry(RECT{7, 141, 593, 496});
    frame.show();
    page.show();

    platform::PageSlide slide(page);
    slide.start();
    EXPECT_TRUE(slide.isRunning());
    EXPECT_EQ(page.geometry().left, 7 + 586) << "it starts one page width to the right";
    // A second start while running heads for the same place, not for where the page is now.
    slide.start();
    EXPECT_EQ(slide.target(), (RECT{7, 141, 593, 496}));
    ASSERT_TRUE(x11test::waitUntil([&] { return !slide.isRunning(); }));
    EXPECT_EQ(page.geometry(), (RECT{7, 141, 593, 496}));

    slide.start();
    slide.finish();
    EXPECT_FALSE(slide.isRunning());
    EXPECT_EQ(page.geometry(), (RECT{7, 141, 593, 496}));
}

TEST(PageSlideTest, TheSlideEndsAtThePlaceWhenItsOwnerGoes)
{
    Frame frameListener;
    Page pageListener;
    platform::Window frame(platform::Window::Kind::TopLevel, &frameListener);
    platform::Window page(platform::Window::Kind::Child, &pageListener, &frame);
    page.setGeometry(RECT{7, 141, 593, 496});
    {
        platform::PageSlide slide(page);
        slide.start(platform::PageSlide::kDurationMs);
    }
    EXPECT_EQ(page.geometry(), (RECT{7, 141, 593, 496}));
}

}  // namespace
