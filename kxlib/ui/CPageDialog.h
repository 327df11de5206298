#pragma once
// CPageDialog: the base of the main window's pages. A page is a child window of the main window
// that paints a white surface and its own windowless controls, routes its window's mouse messages
// to them, slides in from the right (200 ms) whenever it is shown, and never closes itself (Enter
// and Escape do nothing). Pages that show more override
// paintPage() and onControlEvent().
//
// Ownership: a page is a member of the main window, so it is disposed (references taken by its
// controls never delete it); it is created with createPage() once the main window exists and lives
// as long as the main window.
// Threads: window thread only.
#include "kxlib/ui/KXDirectUIHandler.h"
#include "platform/gui/PageSlide.h"
#include "platform/gui/Window.h"

#include <memory>

namespace app {

class CPageDialog : public virtual KXLib::KXDirectUIHandler, public platform::WindowListener {
public:
    CPageDialog();
    ~CPageDialog() override;
    CPageDialog(const CPageDialog&) = delete;
    CPageDialog& operator=(const CPageDialog&) = delete;

    // Creates the page's window as a hidden child of `parent`, then runs onInitPage(). Calling it
    // again does nothing.
    void createPage(HWND parent);
    bool isCreated() const { return window_ != nullptr; }
    // The page's window; null before createPage().
    HWND getWindow() override { return window_.get(); }
    // The main window the page lives in.
    HWND parentWindow() const { return parent_; }

    void place(const RECT& rect);
    void show();
    void hide();
    bool isVisible() const;
    // Repaints the main window (the status lines read the pages' state) and this page.
    void invalidateParent();

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    void onPaint(platform::DeviceContext& dc) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The page's own set-up, once its window exists.
    virtual void onInitPage() {}
    // Paints behind the controls; the default leaves the surface white.
    virtual void paintPage(platform::DeviceContext& dc, const RECT& client);

private:
    std::unique_ptr<platform::Window> window_;
    // Brings the page in from the right whenever it is shown.
    std::unique_ptr<platform::PageSlide> slide_;
    HWND parent_ = nullptr;
};

}  // namespace app
