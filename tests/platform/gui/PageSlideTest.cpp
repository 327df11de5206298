// Pages hear when they are shown and hidden themselves (not when their main window hides to the
// tray), and slide in from the right to their place.
#include "platform/gui/PageSlide.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"
#include "tests/support/X11TestSupport.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class Page : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_SHOWWINDOW) {
            shows.push_back(static_cast<int>(wParam));
            if (wParam && onShow)
                onShow();
        }
        return false;
    }
    std::vector<int> shows;
    std::function<void()> onShow;
};

class Frame : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT, WPARAM, LPARAM) override { return false; }
};

// A main window with one page in the place the pages take.
class PageSlideTest : public ::testing::Test {
protected:
    static constexpr RECT kPlace{7, 141, 593, 496};

    PageSlideTest()
    {
        frame.setGeometry(RECT{0, 0, 600, 500});
        page.setGeometry(kPlace);
    }

    Frame frameListener;
    Page pageListener;
    platform::Window frame{platform::Window::Kind::TopLevel, &frameListener};
    platform::Window page{platform::Window::Kind::Child, &pageListener, &frame};
};

TEST_F(PageSlideTest, PagesHearTheirOwnShowAndHideOnly)
{
    frame.show();
    EXPECT_FALSE(page.isVisible()) << "a page waits to be shown itself";
    page.show();
    page.show();
    EXPECT_EQ(pageListener.shows, (std::vector<int>{1}));
    frame.hide();
    frame.show();
    EXPECT_EQ(pageListener.shows, (std::vector<int>{1})) << "the main window's trip to the tray is not the page's";
    page.hide();
    EXPECT_EQ(pageListener.shows, (std::vector<int>{1, 0}));
}

TEST_F(PageSlideTest, ThePageShownSlidesFromOnePageWidthRightToItsPlace)
{
    // The page starts its slide from its show report, as the pages do.
    platform::PageSlide slide(page);
    pageListener.onShow = [&] { slide.start(); };
    frame.show();
    page.show();
    EXPECT_TRUE(slide.isRunning());
    EXPECT_EQ(page.geometry().left, kPlace.left + kPlace.width()) << "it starts one page width to the right";
    // A second start while running heads for the same place, not for where the page is now.
    slide.start();
    EXPECT_EQ(slide.target(), kPlace);
    ASSERT_TRUE(x11test::waitUntil([&] { return !slide.isRunning(); }));
    EXPECT_EQ(page.geometry(), kPlace);

    slide.start();
    slide.finish();
    EXPECT_FALSE(slide.isRunning());
    EXPECT_EQ(page.geometry(), kPlace);
}

TEST_F(PageSlideTest, TheSlideEndsAtThePlaceWhenItsOwnerGoes)
{
    {
        platform::PageSlide slide(page);
        slide.start(platform::PageSlide::kDurationMs);
    }
    EXPECT_EQ(page.geometry(), kPlace);
}

}  // namespace
