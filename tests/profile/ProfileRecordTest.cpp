#include "profile/ProfileRecord.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace profile;

TEST(ProfileRecordTest, FreshRecordIsZeroButTheMagic)
{
    const ProfileRecord record = makeEmptyProfileRecord();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (std::size_t i = 0; i < 508; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(std::memcmp(bytes + 508, "Lumaret\0", 8), 0);
    EXPECT_TRUE(hasRecordMagic(record));
}

TEST(ProfileRecordTest, MagicChecksSevenBytesOnly)
{
    ProfileRecord record = makeEmptyProfileRecord();
    record.recordMagic[7] = 'x';
    EXPECT_TRUE(hasRecordMagic(record));
    record.recordMagic[6] = 'T';
    EXPECT_FALSE(hasRecordMagic(record));
}

TEST(ProfileRecordTest, TextFieldsCutToCapacityAndKeepTheTail)
{
    ProfileRecord record = makeEmptyProfileRecord();
    setFieldText(record.profileName, kProfileTextChars, u"移动设备兼容格式mp4");
    EXPECT_EQ(profileNameOf(record), "移动设备兼容格式mp4");
    setFieldText(record.profileName, kProfileTextChars, u"ab");
    EXPECT_EQ(profileNameOf(record), "ab");
    EXPECT_EQ(record.profileName[3], u'备');   // the earlier text's tail stays behind the NUL

    setFieldText(record.videoSize, kVideoSizeChars, std::u16string(40, u'9'));
    EXPECT_EQ(videoSizeOf(record), std::string(31, '9'));
}

TEST(ProfileRecordTest, Utf8ConversionReplacesBadSequences)
{
    EXPECT_EQ(toUtf16("a\xE4\xB8\xAD"), u"a中");
    EXPECT_EQ(toUtf16("\xE4\xB8"), u"\xFFFD\xFFFD");
    EXPECT_EQ(toUtf16("\xFF" "b"), u"\xFFFD" "b");
    EXPECT_EQ(toUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(toUtf8(toUtf16("\xF0\x9F\x8E\xAC clip")), "\xF0\x9F\x8E\xAC clip");
}
