#pragma once
// CMessageDialog: the skinned box behind showMessage. It sizes itself to its one-line text (text
// width + 130 by text height + 100); a text wider than kMaxTextWidth (or than the screen leaves
// room for) is broken into lines instead of being cut. It shows at most one kind icon (the first of information, error,
// question whose flag is set), offers "确定" or "是" / "否", and reports the name of the button that
// closed it: "ok", "yes", "no", or "close" for the title-bar button ("no" when the box asks yes or
// no). Enter and Escape do nothing: only the buttons close the box. A missing picture is left out;
// the box still opens and answers.
//
// The shutdown countdown builds on this box: it reuses the fields, the layout, the painting and the
// button handling, and changes the text while the box runs.
//
// Threads: window thread only.
#include "kxlib/ui/CSkinDialog.h"
#include "platform/gui/Image.h"

#include <cstdint>
#include <string>

namespace app {

class CMessageDialog : public CSkinDialog {
public:
    static constexpr int kExtraWidth = 130;
    static constexpr int kExtraHeight = 100;
    // The widest text line, in pixels.
    static constexpr int kMaxTextWidth = 600;
    static constexpr const char* kDefaultTitle = "Lumaret";

    // `flags` are the MessageFlags of showMessage; an empty title shows "Lumaret".
    CMessageDialog(const std::string& title, const std::string& text, uint8_t flags, HWND owner = nullptr);
    ~CMessageDialog() override;

    // Runs the box modally and returns clickedButton.
    std::string run();

    const std::string& getClickedButton() const { return clickedButton; }
    const std::string& getTitle() const { return messageTitle; }
    // The kind icon's file name ("info.png", "error.png", "question.png"), or empty for none.
    static std::string kindIconFile(uint8_t flags);

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;

protected:
    void onInitDialog() override;
    void paintBackground(platform::DeviceContext& dc, const RECT& client) override;
    // The box closes only through its buttons.
    void onOK() override {}
    void onCancel() override {}

    std::string messageText;
    std::string messageTitle;
    std::string clickedButton;
    uint8_t messageFlags;

private:
    void sizeToText();
    void createButtons();

    platform::Image appIcon_;
    platform::Image kindIcon_;
};

}  // namespace app
