#pragma once
// A message presenter for the engine tests: it keeps every message's text and the last flags,
// and answers "ok".
#include "platform/core/MessagePresenter.h"

#include <string>
#include <vector>

namespace enginetest {

class RecordingPresenter final : public platform::MessagePresenter {
public:
    std::string present(const std::string&, const std::string& text, uint8_t flags) override
    {
        texts.push_back(text);
        lastFlags = flags;
        return platform::kAnswerOk;
    }
    std::vector<std::string> texts;
    uint8_t lastFlags = 0;
};

}  // namespace enginetest
