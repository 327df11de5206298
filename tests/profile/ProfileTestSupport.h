#pragma once
// Helpers for the profile tests: records built in one line, a presenter that records messages,
// and a fixture that points the data folder at a temporary directory.
#include "platform/core/MessagePresenter.h"
#include "profile/ProfileRecord.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace profiletest {

inline profile::ProfileRecord makeRecord(std::u16string_view category, std::u16string_view name,
                                         uint32_t isUser = 0, int32_t conversionType = 19)
{
    profile::ProfileRecord record = profile::makeEmptyProfileRecord();
    profile::setFieldText(record.categoryName, profile::kProfileTextChars, category);
    profile::setFieldText(record.profileName, profile::kProfileTextChars, name);
    record.isUserProfile = isUser;
    record.conversionType = conversionType;
    return record;
}

inline std::unique_ptr<profile::ProfileRecord> newRecord(std::u16string_view category, std::u16string_view name,
                                                         uint32_t isUser = 0, int32_t conversionType = 19)
{
    return std::make_unique<profile::ProfileRecord>(makeRecord(category, name, isUser, conversionType));
}

inline std::vector<unsigned char> bytesOf(const profile::ProfileRecord& record)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    return {bytes, bytes + sizeof record};
}

inline void append(std::vector<unsigned char>& out, const profile::ProfileRecord& record)
{
    const auto bytes = bytesOf(record);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

struct Message {
    std::string title;
    std::string text;
    uint8_t flags;
};

class RecordingPresenter final : public platform::MessagePresenter {
public:
    std::string present(const std::string& title, const std::string& text, uint8_t flags) override
    {
        messages.push_back({title, text, flags});
        return platform::kAnswerOk;
    }
    std::vector<Message> messages;
};

// Every test gets its own empty data folder (LUMARET_DATA_DIR) and records the messages shown.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("LUMARET_DATA_DIR");
        hadDataDir_ = previous != nullptr;
        previousDataDir_ = previous ? previous : "";
        ::setenv("LUMARET_DATA_DIR", dataDir().c_str(), 1);
        previousPresenter_ = platform::setMessagePresenter(presenter_);
    }
    void TearDown() override
    {
        platform::setMessagePresenter(previousPresenter_);
        if (hadDataDir_)
            ::setenv("LUMARET_DATA_DIR", previousDataDir_.c_str(), 1);
        else
            ::unsetenv("LUMARET_DATA_DIR");
    }

    // The data folder itself does not exist until something creates it.
    std::filesystem::path dataDir() const { return temp_.path() / "data"; }
    std::filesystem::path systemFile() const { return dataDir() / "profile.dat"; }
    std::filesystem::path userFile() const { return dataDir() / "user_profile.dat"; }
    void writeFile(const std::filesystem::path& file, const std::vector<unsigned char>& bytes) const
    {
        std::filesystem::create_directories(file.parent_path());
        testsupport::writeBytes(file, bytes);
    }
    const std::vector<Message>& messages() const { return presenter_->messages; }

private:
    testsupport::TempDir temp_;
    std::shared_ptr<RecordingPresenter> presenter_ = std::make_shared<RecordingPresenter>();
    std::shared_ptr<platform::MessagePresenter> previousPresenter_;
    bool hadDataDir_ = false;
    std::string previousDataDir_;
};

// A header of 200 bytes holding `name` as lastProfileName.
inline std::vector<unsigned char> headerWith(std::u16string_view name)
{
    char16_t header[profile::kProfileTextChars] = {};
    profile::setFieldText(header, profile::kProfileTextChars, name);
    const auto* bytes = reinterpret_cast<const unsigned char*>(header);
    return {bytes, bytes + sizeof header};
}

}  // namespace profiletest
