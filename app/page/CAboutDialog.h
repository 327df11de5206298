#pragma once
// CAboutDialog: the about box, a small fixed skinned box with the logo, the word mark, the version,
// two lines about the program, a link to the README installed beside the program (left out when
// it is not there) and "确定". The program has no web site or mail address of its own, so the box
// offers none. The opener sets the skin colours before running it. Enter, Escape and "确定" close it.
//
// Threads: window thread only.
#include "kxlib/ui/CSkinDialog.h"
#include "platform/gui/Image.h"

#include <string>

namespace app {

class CAboutDialog : public CSkinDialog {
public:
    // 259 x 159 dialog units of the classic dialog font.
    static constexpr int kWidth = 388;
    static constexpr int kHeight = 258;
    static constexpr const char* kReadmeName = "README.md";
    static constexpr const char* kReadmeLinkText = "使用说明";

    // The README beside the program; empty when it is not there.
    static std::string readmePath();

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
