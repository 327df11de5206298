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
    // A sequence cut short is one character gone wrong, so it becomes one replacement.
    EXPECT_EQ(toUtf16("\xE4\xB8"), u"\xFFFD");
    EXPECT_EQ(toUtf16("\xE4\xB8" "b"), u"\xFFFD" "b");
    EXPECT_EQ(toUtf16("\xFF" "b"), u"\xFFFD" "b");
    EXPECT_EQ(toUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(toUtf8(toUtf16("\xF0\x9F\x8E\xAC clip")), "\xF0\x9F\x8E\xAC clip");
}

TEST(ProfileRecordTest, MalformedUtf8NeverBecomesACharacter)
{
    // Each byte that cannot start or continue a valid sequence is one U+FFFD (the practice of the
    // Unicode standard and of every browser), and the text after it is read normally.
    const std::pair<std::string_view, std::u16string_view> cases[] = {
        // Overlong forms: '/' and NUL in two, three and four bytes.
        {"\xC0\xAF" "x", u"\xFFFD\xFFFD" "x"},
        {"\xC1\xBF", u"\xFFFD\xFFFD"},
        {"\xE0\x80\xAF", u"\xFFFD\xFFFD\xFFFD"},
        {"\xE0\x9F\xBF", u"\xFFFD\xFFFD\xFFFD"},
        {"\xF0\x80\x80\xAF", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"\xF0\x8F\xBF\xBF", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        // Encoded surrogates, alone and as a pair: never a UTF-16 surrogate in the result.
        {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},
        {"\xED\xBF\xBF", u"\xFFFD\xFFFD\xFFFD"},
        {"\xED\xA0\xBD\xED\xB8\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD"},
        // Above U+10FFFF, and the lead bytes that could only start such code points.
        {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"\xF5\x80\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"\xF8\x88\x80\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"\xFE\xFF", u"\xFFFD\xFFFD"},
        // Stray continuation bytes and a lead byte followed by a new character.
        {"\x80\xBF", u"\xFFFD\xFFFD"},
        {"\xF0\x9F\x8E" "a", u"\xFFFD" "a"},
        {"\xE4" "\xE4\xB8\xAD", u"\xFFFD" u"中"},
        // The edges that are valid.
        {"\xC2\x80", u"\x0080"},
        {"\xE0\xA0\x80", u"\x0800"},
        {"\xED\x9F\xBF", u"\xD7FF"},
        {"\xEE\x80\x80", u"\xE000"},
        {"\xF0\x90\x80\x80", u"\xD800\xDC00"},
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
    };
    for (const auto& [input, expected] : cases) {
        std::string hex;
        for (unsigned char c : input)
            hex += testing::PrintToString(static_cast<unsigned>(c)) + " ";
        EXPECT_EQ(toUtf16(input), expected) << hex;
    }
}

TEST(ProfileRecordTest, CuttingATextNeverSplitsASurrogatePair)
{
    // 98 letters and one character outside the BMP: the pair does not fit in the 99 units left
    // for text, so it goes whole and the field holds no half character.
    std::u16string text(98, u'a');
    text += u"\U0001F3AC";
    ProfileRecord record = makeEmptyProfileRecord();
    setFieldText(record.profileName, kProfileTextChars, text);
    EXPECT_EQ(fieldText(record.profileName, kProfileTextChars), std::u16string(98, u'a'));
    EXPECT_EQ(profileNameOf(record), std::string(98, 'a'));

    setFieldText(record.profileName, kProfileTextChars, text.substr(1));   // the pair fits exactly
    EXPECT_EQ(fieldText(record.profileName, kProfileTextChars), text.substr(1));
}
