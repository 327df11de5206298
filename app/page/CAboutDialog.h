#pragma once
// CAboutDialog: the about box, a small fixed skinned box with the logo, the word mark, the version,
// two lines about the program, a link to the project's home page, a feedback mail link and "确定".
// The opener sets the skin colours before running it. Enter, Escape and "确定" close it.
//
// Threads: window thread only.
#include "kxlib/ui/CSkinDialog.h"
#include "platform/gui/Image.h"

namespace app {

class CAboutDialog : public CSkinDialog {
public:
    // 259 x 159 dialog units of the classic dialog font.
    static constexpr int kWidth = 388;
    static constexpr int kHeight = 258;
    static constexpr const char* kHomePage = "https://lumaret.example.org";
    static constexpr const char* kFeedback = "mailto:feedback@lumaret.example.org";

    explicit CAboutDialog(HWND owner = nullptr);
    ~CAboutDialog() override;

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;

    COLORREF skinLightColor;
    COLORREF skinDarkColor;

protected:
    void onInitDialog() override;
    void paintBackground(platform::DeviceContext& dc, const RECT& client) override;

private:
    platform::Image logoImage_;
    platform::Image titleImage_;
};

}  // namespace app
