#pragma once
// NativeGallery: a window that shows the native controls the pages use, as a page lays them out on
// its white ground: the profile tree with its type icons and skinned scroll bars, the in-place
// editors (an editable combo box, a drop-down list, an edit box and a read-only one), check boxes,
// a radio group inside group boxes and plain labels. A right click opens the pop-up menu, F and D
// open the file and folder choosers, and files dropped on the window are counted. What the controls
// report shows at the bottom. A developer's tool, like the control gallery.
//
// Threads: window thread only.
#include "platform/gui/CheckBox.h"
#include "platform/gui/ComboBox.h"
#include "platform/gui/EditBox.h"
#include "platform/gui/GroupBox.h"
#include "platform/gui/Label.h"
#include "platform/gui/RadioButton.h"
#include "platform/gui/TreeView.h"
#include "platform/gui/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace gallery {

class NativeGallery : public platform::WindowListener {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 420;

    NativeGallery();
    ~NativeGallery() override;

    void show(int x, int y);
    // Opens the priority pop-up menu at a point of the window and returns the command chosen.
    int openMenu(POINT client);
    platform::Window& window() { return window_; }
    // The last report the controls sent, as text ("WM_COMMAND 1014 CBN_EDITCHANGE"), shown at the
    // bottom of the window.
    const std::string& lastReport() const { return lastReport_; }

    void onPaint(platform::DeviceContext& dc) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void report(const std::string& text);
    bool onKey(WPARAM key);
    void buildTree();
    void buildEditors();
    void buildOptions();
    template <typename Control, typename... Args>
    Control& place(const RECT& rect, Args&&... args);

    platform::Window window_;
    std::vector<std::unique_ptr<platform::NativeControl>> controls_;
    std::string lastReport_;
};

}  // namespace gallery
