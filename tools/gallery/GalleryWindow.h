#pragma once
// GalleryWindow: one window that shows every custom-drawn control of the program in each of its
// states (normal, hover, pressed or checked, disabled), a list long enough to scroll, progress bars
// at several positions, the sliders, the busy animation, a native tree view wearing the skinned
// scroll bars, and buttons that open the message box in its flag variants, the about box and the
// skin colour pop-up. A developer's tool: it shows the skin and the controls together, and its
// screenshots show what a change did to them.
//
// Threads: window thread only.
#include "kxlib/ui/CSkinColor.h"
#include "kxlib/ui/KXDirectUIHandler.h"
#include "kxlib/ui/KXGifCtrl.h"
#include "platform/gui/Image.h"
#include "platform/gui/Window.h"

#include <string>
#include <vector>

class QTreeWidget;

namespace gallery {

class GalleryWindow : public virtual KXLib::KXDirectUIHandler, public platform::WindowListener {
public:
    static constexpr int kWidth = 960;
    static constexpr int kHeight = 700;

    GalleryWindow();
    ~GalleryWindow() override;

    // Places the window at (x, y) of the screen and shows it.
    void show(int x, int y);
    // Opens the skin colour pop-up under the window's top-right corner, as the main window does.
    bool openSkinPopup();
    // Opens what the dialog button of that name opens ("open-info", "open-error", "open-both",
    // "open-question", "open-plain", "open-question-only", "open-about", "open-skin") once the event
    // loop runs; false for an unknown name.
    bool open(const std::string& name);
    bool isSkinPopupOpen() const { return skinColor_.isOpen(); }
    // The answer of the last message box opened from the gallery.
    const std::string& lastAnswer() const { return lastAnswer_; }
    platform::Window& window() { return window_; }

    HWND getWindow() override { return &window_; }
    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    void onPaint(platform::DeviceContext& dc) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Label {
        std::string text;
        POINT at;
        bool heading;
    };

    void buildStateGrid();
    void buildTabs();
    void buildList();
    void buildBarsAndSliders();
    void buildStatusPictures();
    void buildDialogButtons();
    void buildTree();
    void label(const std::string& text, int x, int y, bool heading = false);
    // A button in the given look: 0 normal, 1 hover, 2 pressed or checked, 3 disabled.
    void stateButton(const std::string& name, const std::string& image, SIZE frame, const std::string& caption,
                     const RECT& rect, int look);
    void runAction(int action);
    void applySkinColours();

    platform::Window window_;
    KXLib::CSkinColor skinColor_;
    KXLib::KXGifCtrl busy_;
    std::vector<Label> labels_;
    std::vector<std::pair<POINT, platform::Image>> pictures_;
    std::string checkStripPath_;
    std::string lastAnswer_;
    QTreeWidget* tree_ = nullptr;  // owned by the window
};

}  // namespace gallery
