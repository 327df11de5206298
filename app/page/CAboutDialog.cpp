#include "app/page/CAboutDialog.h"

#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXHyperLink.h"
#include "kxlib/ui/KXPalette.h"
#include "kxlib/ui/KXSkinColors.h"
#include "platform/core/Paths.h"
#include "platform/gui/DeviceContext.h"

#include <filesystem>
#include <system_error>

namespace app {

namespace {

constexpr COLORREF kLinkColor = KXLib::palette::kLink;
constexpr COLORREF kLinkHotColor = 0x676500;
constexpr COLORREF kVersionColor = 0x737373;
constexpr COLORREF kNameColor = KXLib::palette::kLink;
constexpr COLORREF kInfoColor = 0x222222;

// Draws one line of text with its top-left at (x, y).
void textAt(platform::DeviceContext& dc, const std::string& text, int x, int y, COLORREF color,
            const platform::Font& font)
{
    const SIZE size = platform::DeviceContext::measureText(text, font);
    dc.drawText(text, RECT{x, y, x + size.cx + 1, y + size.cy}, DT_SINGLELINE, color, font);
}

}  // namespace

CAboutDialog::CAboutDialog(HWND owner)
    : CSkinDialog(owner), skinLightColor(KXLib::KXSkinColors::light()), skinDarkColor(KXLib::KXSkinColors::dark())
{
}

CAboutDialog::~CAboutDialog() = default;

void CAboutDialog::onInitDialog()
{
    window_.setTitle("Lumaret");
    window_.resize(kWidth, kHeight);
    KXLib::loadImage(logoImage_, "image/lumaret-logo.png");
    KXLib::loadImage(titleImage_, "image/lumaret-text.png");
    window_.setRoundedMask(11, 11);

    const int w = kWidth;
    const int h = kHeight;
    addTextButton("ok", "确定", POINT{w - 79, h - 31});

    const std::string readme = readmePath();
    if (readme.empty())
        return;
    auto link = placeControl<KXLib::KXHyperLink>("KXHyperLink", "homepage", RECT{20, 230, 90, 250});
    link->text = kReadmeLinkText;
    link->url = readme;
    link->localFile = true;
    link->normalColor = kLinkColor;
    link->hotColor = kLinkHotColor;
    link->setTooltip(readme);
}

std::string CAboutDialog::readmePath()
{
    std::error_code error;
    const std::filesystem::path readme = platform::Paths::programDirectory() / kReadmeName;
    return std::filesystem::is_regular_file(readme, error) ? readme.string() : std::string();
}

void CAboutDialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP)
        return;
    // The links open their targets themselves.
    const std::string name = control->getName();
    if (name == "ok" || name == "close")
        endDialog(IDOK);
}

void CAboutDialog::paintBackground(platform::DeviceContext& dc, const RECT& client)
{
    KXLib::gradientFill(&dc, 0xFFFFFF, skinLightColor, true, client.left, client.top, client.right, client.bottom);
    KXLib::drawRoundRect(&dc, 0, true, client.left, client.top, client.right - 1, client.bottom - 1);
    // The logo is painted larger than it is shown: filtered, it shrinks without jagged edges.
    if (!logoImage_.isNull())
        dc.drawImageSmooth(logoImage_, RECT{10, 10, 106, 106}, RECT{0, 0, logoImage_.width(), logoImage_.height()});
    if (!titleImage_.isNull())
        dc.drawImage(titleImage_, 105, 22);

    textAt(dc, "V 1.0", 270, 35, kVersionColor, platform::Font::withSize(15));
    textAt(dc, "Lumaret v1.01", 110, 65, kNameColor, platform::Font::withSize(10));
    const platform::Font& info = KXLib::sharedFont();
    textAt(dc, "Lumaret 视频格式转换器, 由 Lumaret 项目组开发。", 20, 110, kInfoColor, info);
    textAt(dc, "使用方法请见下方的使用说明。", 20, 130, kInfoColor, info);
}

}  // namespace app
