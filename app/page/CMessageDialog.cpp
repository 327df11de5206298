#include "app/page/CMessageDialog.h"

#include "platform/MessagePresenter.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXSkinColors.h"
#include "platform/DeviceContext.h"
#include "platform/Screen.h"

#include <algorithm>

namespace app {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kFrameColor = 0x878787;
constexpr COLORREF kTextColor = 0x000000;
constexpr int kCaptionHeight = 25;

}  // namespace

CMessageDialog::CMessageDialog(const std::string& title, const std::string& text, uint8_t flags, HWND owner)
    : CSkinDialog(owner), messageText(text), messageTitle(title.empty() ? kDefaultTitle : title),
      messageFlags(flags)
{
}

CMessageDialog::~CMessageDialog() = default;

std::string CMessageDialog::run()
{
    doModal();
    return clickedButton;
}

std::string CMessageDialog::kindIconFile(uint8_t flags)
{
    if (flags & platform::MessageInfo)
        return "info.png";
    if (flags & platform::MessageError)
        return "error.png";
    if (flags & platform::MessageQuestion)
        return "question.png";
    return {};
}

void CMessageDialog::onInitDialog()
{
    window_.setTitle(messageTitle);
    KXLib::loadImage(appIcon_, "image/lumaret.ico");
    const std::string kind = kindIconFile(messageFlags);
    if (!kind.empty())
        KXLib::loadImage(kindIcon_, "image/" + kind);
    sizeToText();
    createButtons();
}

void CMessageDialog::sizeToText()
{
    const SIZE text = platform::DeviceContext::measureText(messageText, platform::Font::standard());
    // One line, never wrapped; a text wider than the screen ends with an ellipsis instead of
    // pushing the box (and its title-bar button) off the screen.
    const int screenWidth = platform::Screen::workArea().width();
    const int width = std::min(text.cx + kExtraWidth, std::max(screenWidth, 2 * kExtraWidth));
    window_.resize(width, text.cy + kExtraHeight);
}

void CMessageDialog::createButtons()
{
    const RECT client = window_.clientRect();
    const int w = client.width();
    const int h = client.height();

    auto close = placeControl<KXLib::KXButtonEx>("KXButtonEx", "close", RECT{w - 42, 1, w - 5, 19});
    close->loadImage("image/sysbutton_close_s.png", SIZE{37, 18});

    const int top = h - 34;
    if (messageFlags & platform::MessageYesNo) {
        const int x = (w - 148) / 2;
        addTextButton(platform::kAnswerYes, "是", POINT{x, top});
        // "no" wears the default look: the safe answer is the one the eye falls on.
        addTextButton(platform::kAnswerNo, "否", POINT{x + 79, top})->setHighlighted(true);
    } else {
        addTextButton(platform::kAnswerOk, "确定", POINT{(w - kTextButtonSize.cx) / 2, top});
    }
}

void CMessageDialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP || control->getClassName() != "KXButtonEx")
        return;
    clickedButton = control->getName();
    // Closing a question is declining it.
    if ((messageFlags & platform::MessageYesNo) && clickedButton == platform::kAnswerClose)
        clickedButton = platform::kAnswerNo;
    endDialog(IDOK);
}

void CMessageDialog::paintBackground(platform::DeviceContext& dc, const RECT& client)
{
    const COLORREF light = KXLib::KXSkinColors::light();
    const COLORREF dark = KXLib::KXSkinColors::dark();
    KXLib::gradientFill(&dc, kWhite, light, true, client.left, client.top, client.right, kCaptionHeight);
    KXLib::gradientFill(&dc, light, dark, true, client.left, kCaptionHeight, client.right, client.bottom);
    KXLib::drawRoundRect(&dc, kWhite, false, client.left + 5, client.top + kCaptionHeight, client.right - 5,
                         client.bottom - 5);
    KXLib::drawRect(&dc, kFrameColor, 0, true, client.left, client.top, client.right, client.bottom);
    if (!appIcon_.isNull())
        dc.drawImage(appIcon_, RECT{5, 5, 21, 21}, RECT{0, 0, appIcon_.width(), appIcon_.height()});
    if (!kindIcon_.isNull())
        dc.drawImage(kindIcon_, 10, 30);

    const platform::Font& font = KXLib::sharedFont();
    dc.drawText(messageTitle, RECT{24, client.top, client.right - 50, kCaptionHeight},
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, kTextColor, font);
    dc.drawText(messageText,
                RECT{client.left + 5, client.top + kCaptionHeight, client.right - 5, client.bottom - 35},
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS, kTextColor, font);
}

}  // namespace app
