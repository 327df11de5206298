#include "profile/ProfileRecordCheck.h"

#include "profile/ProfileCatalogue.h"
#include "tests/profile/ProfileTestSupport.h"

#include <functional>
#include <limits>

using namespace profile;
using namespace profiletest;

namespace {

ProfileRecord validRecord()
{
    ProfileRecord record = makeRecord(u"cat", u"name", 1, 19);
    record.videoCodec = 3;
    setFieldText(record.videoSize, kVideoSizeChars, u"640x480");
    record.frameRate = 29.97f;
    record.audioCodec = 1;
    record.audioBitrate = 12.2f;
    record.audioChannels = ChannelsStereo;
    return record;
}

}  // namespace

TEST(ProfileRecordCheckTest, EveryBuiltInRecordIsIntact)
{
    for (const ProfileRecord& record : catalogueRecords())
        EXPECT_TRUE(isIntactRecord(record)) << profileNameOf(record);
}

// Values the program itself stores, or that the format gives a meaning, are never refused.
TEST(ProfileRecordCheckTest, ValuesTheProgramMayHaveWrittenAreAccepted)
{
    const std::pair<const char*, std::function<void(ProfileRecord&)>> accepted[] = {
        {"byte 515", [](ProfileRecord& r) { r.recordMagic[7] = 'X'; }},
        {"bytes behind a text's NUL", [](ProfileRecord& r) { r.profileName[50] = 0xD800; r.videoSize[31] = u'z'; }},
        {"99-unit texts", [](ProfileRecord& r) {
             setFieldText(r.categoryName, kProfileTextChars, std::u16string(99, u'c'));
             setFieldText(r.profileName, kProfileTextChars, std::u16string(99, u'p'));
         }},
        {"a surrogate pair",
         [](ProfileRecord& r) { setFieldText(r.profileName, kProfileTextChars, u"clip \U0001F3AC"); }},
        {"empty size", [](ProfileRecord& r) { r.videoSize[0] = 0; }},
        {"negative codecs mean the default", [](ProfileRecord& r) { r.videoCodec = -5; r.audioCodec = -1; }},
        {"codec 1 on a type without audio", [](ProfileRecord& r) {
             r.conversionType = 14; r.videoCodec = 1; r.audioCodec = 1;
         }},
        {"numbers not given", [](ProfileRecord& r) {
             r.videoBitrate = -1; r.frameRate = -1.0f; r.sampleRate = 0; r.audioBitrate = -0.0f;
         }},
        {"large bit rates", [](ProfileRecord& r) { r.videoBitrate = 2000000000; r.sampleRate = 192000; }},
        {"first and last type", [](ProfileRecord& r) { r.conversionType = 0; r.videoCodec = 0; r.audioCodec = 0; }},
        {"a user record in the system file", [](ProfileRecord& r) { r.isUserProfile = 0; }},
        {"every channel choice", [](ProfileRecord& r) { r.audioChannels = ChannelsSurround; }},
    };
    for (const auto& [what, change] : accepted) {
        ProfileRecord record = validRecord();
        change(record);
        EXPECT_TRUE(isIntactRecord(record)) << what;
    }
    ProfileRecord last = validRecord();
    last.conversionType = 51;
    last.videoCodec = 1;
    EXPECT_TRUE(isIntactRecord(last));
}

// One damaged field is enough to refuse the record.
TEST(ProfileRecordCheckTest, OneDamagedFieldRefusesTheRecord)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const std::pair<const char*, std::function<void(ProfileRecord&)>> refused[] = {
        {"magic", [](ProfileRecord& r) { r.recordMagic[6] = 'T'; }},
        {"isDefault 2", [](ProfileRecord& r) { r.isDefault = 2; }},
        {"isUserProfile 0x100", [](ProfileRecord& r) { r.isUserProfile = 0x100; }},
        {"inContextMenu -1", [](ProfileRecord& r) { r.inContextMenu = 0xFFFFFFFFu; }},
        {"category without NUL",
         [](ProfileRecord& r) { std::fill(std::begin(r.categoryName), std::end(r.categoryName), u'c'); }},
        {"name without NUL",
         [](ProfileRecord& r) { std::fill(std::begin(r.profileName), std::end(r.profileName), u'p'); }},
        {"size without NUL", [](ProfileRecord& r) { std::fill(std::begin(r.videoSize), std::end(r.videoSize), u'9'); }},
        {"empty name", [](ProfileRecord& r) { r.profileName[0] = 0; }},
        {"empty category", [](ProfileRecord& r) { r.categoryName[0] = 0; }},
        {"half a surrogate pair", [](ProfileRecord& r) { r.profileName[1] = 0xDC00; }},
        {"a lone high surrogate at the end",
         [](ProfileRecord& r) { r.categoryName[3] = 0xD83C; r.categoryName[4] = 0; }},
        {"type -1", [](ProfileRecord& r) { r.conversionType = -1; }},
        {"type 52", [](ProfileRecord& r) { r.conversionType = 52; }},
        {"video codec past the list", [](ProfileRecord& r) { r.videoCodec = 99; }},
        {"audio codec past the list", [](ProfileRecord& r) { r.audioCodec = 1000; }},
        {"frame rate NaN", [nan](ProfileRecord& r) { r.frameRate = nan; }},
        {"audio bit rate infinite", [infinity](ProfileRecord& r) { r.audioBitrate = infinity; }},
        {"channels -1", [](ProfileRecord& r) { r.audioChannels = -1; }},
        {"channels 5", [](ProfileRecord& r) { r.audioChannels = 5; }},
    };
    ASSERT_TRUE(isIntactRecord(validRecord()));
    for (const auto& [what, change] : refused) {
        ProfileRecord record = validRecord();
        change(record);
        EXPECT_FALSE(isIntactRecord(record)) << what;
    }
}
