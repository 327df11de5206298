#include "kxlib/ui/CMessageDialog.h"

#include "kxlib/ui/KXPalette.h"
#include "platform/core/MessagePresenter.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXSkinColors.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Screen.h"
#include "platform/gui/TooltipText.h"

#include <algorithm>

namespace app {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kFrameColor = KXLib::palette::kFrame;
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
    const platform::Font font = platform::Font::standard();
    SIZE text = platform::DeviceContext::measureText(messageText, font);
    // One line while it fits; a longer text (a message naming two long paths) is broken into lines
    // instead of being cut, so no part of what the user must read is lost, and the box stays on
    // the screen.
    const int screenWidth = platform::Screen::workArea().width();
    const int widest = std::max(std::min(kMaxTextWidth, screenWidth - kExtraWidth), kExtraWidth);
    if (text.cx > widest || messageText.find('\n') != std::string::npos) {
        messageText = platform::wrapText(messageText, font, widest);
        text = SIZE{0, 0};
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = messageText.find('\n', start);
            const SIZE line = platform::DeviceContext::measureText(messageText.substr(start, end - start), font);
            text.cx = std::max(text.cx, line.cx);
            text.cy += line.cy;
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    window_.resize(text.cx + kExtraWidth, text.cy + kExtraHeight);
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
    const RECT textArea{client.left + 5, client.top + kCaptionHeight, client.right - 5, client.bottom - 35};
    if (messageText.find('\n') == std::string::npos) {
        dc.drawText(messageText, textArea, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS, kTextColor, font);
    } else {
        // Broken into lines by sizeToText: the block is centred as the single line is.
        const int lines = static_cast<int>(std::count(messageText.begin(), messageText.end(), '\n')) + 1;
        const int height = lines * platform::DeviceContext::measureText("Ag", font).cy;
        const int top = textArea.top + std::max((textArea.height() - height) / 2, 0);
        dc.drawText(messageText, RECT{textArea.left, top, textArea.right, textArea.bottom}, DT_CENTER, kTextColor,
                    font);
    }
}

}  // namespace app
