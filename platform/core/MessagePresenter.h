#pragma once
// The one operation through which every notice, error and yes/no question reaches the user.
// Who actually shows the message is replaceable: the windowed program installs its skinned box,
// the command-line front end prints to standard error, tests record the calls.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum MessageFlags : uint8_t {
    MessageInfo = 1,      // information icon
    MessageError = 2,     // error icon
    MessageQuestion = 4,  // question icon
    MessageYesNo = 8,     // "yes" and "no" buttons instead of "ok"
};

// Answers: the name of the button that closed the box.
inline constexpr const char* kAnswerOk = "ok";
inline constexpr const char* kAnswerYes = "yes";
inline constexpr const char* kAnswerNo = "no";
inline constexpr const char* kAnswerClose = "close";

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows one message and returns the closing button's name ("ok", "yes", "no", "close").
    // Texts are UTF-8. Called on the thread that calls showMessage.
    virtual std::string present(const std::string& title, const std::string& text, uint8_t flags) = 0;
};

// Installs the presenter used from now on and returns the previous one. A null presenter
// restores the default, which writes the message to standard error and answers as a box closed
// with its default button would ("ok", or "yes" for a yes/no question).
std::shared_ptr<MessagePresenter> setMessagePresenter(std::shared_ptr<MessagePresenter> presenter);

// Shows a message through the installed presenter; see MessagePresenter::present.
std::string showMessage(const std::string& title, const std::string& text, uint8_t flags);

}  // namespace platform
