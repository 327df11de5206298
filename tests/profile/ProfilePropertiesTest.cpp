// The 15 rows as the editor shows them, and what a typed value does to the working copy: stored
// only when it parses within its field, every other byte of the record untouched.
#include "profile/ProfileProperties.h"
#include "profile/ProfileRowEditors.h"
#include "profile/ProfileValueParser.h"

#include "profile/ProfileCatalogue.h"
#include "tests/profile/ProfileTestSupport.h"

#include <cstddef>
#include <cstring>
#include <utility>

using namespace profile;
using namespace profiletest;
using Row = ProfileProperties::Row;

namespace {

ProfileRecord catalogueRecord(std::string_view name)
{
    for (const ProfileRecord& record : catalogueRecords())
        if (profileNameOf(record) == name)
            return record;
    ADD_FAILURE() << "no catalogue profile " << name;
    return makeEmptyProfileRecord();
}

// The bytes of the record field behind an editable row.
std::pair<std::size_t, std::size_t> fieldOf(int row)
{
    switch (row) {
    case Row::Category: return {offsetof(ProfileRecord, categoryName), 200};
    case Row::VideoSize: return {offsetof(ProfileRecord, videoSize), 64};
    case Row::VideoBitrate: return {offsetof(ProfileRecord, videoBitrate), 4};
    case Row::FrameRate: return {offsetof(ProfileRecord, frameRate), 4};
    case Row::SampleRate: return {offsetof(ProfileRecord, sampleRate), 4};
    case Row::AudioBitrate: return {offsetof(ProfileRecord, audioBitrate), 4};
    default: return {0, 0};
    }
}

std::string text(const ProfileRecord& r, int row, bool menu = true)
{
    return ProfileProperties::valueText(r, row, menu);
}

}  // namespace

TEST(ProfilePropertiesTest, RowsOfABuiltInProfile)
{
    const ProfileRecord r = catalogueRecord("3gp 176x144 h263");
    EXPECT_EQ(ProfileProperties::label(Row::VideoBitrate), "视频比特率(kb/秒)");
    EXPECT_EQ(text(r, Row::Category), "移动设备兼容格式3gp");
    EXPECT_EQ(text(r, Row::Name), "3gp 176x144 h263");
    EXPECT_EQ(text(r, Row::Default), "否");
    EXPECT_EQ(text(r, Row::ConversionType), "3GP (.3gp)");
    EXPECT_EQ(text(r, Row::VideoCodec), "H263");
    EXPECT_EQ(text(r, Row::VideoSize), "176x144");
    EXPECT_EQ(text(r, Row::VideoBitrate), "160");
    EXPECT_EQ(text(r, Row::FrameRate), "15");
    EXPECT_EQ(text(r, Row::SampleRate), "8000");
    EXPECT_EQ(text(r, Row::AudioBitrate), "12.2");
    EXPECT_EQ(text(r, Row::AudioChannels), "单声道");
    EXPECT_EQ(text(r, Row::ContextMenu), "是");
    EXPECT_EQ(text(r, Row::ContextMenu, false), "没有启用系统右键菜单支持");
    EXPECT_EQ(ProfileProperties::iconCell(r, Row::CategoryIcon), 0);
    EXPECT_EQ(ProfileProperties::iconCell(r, Row::NameIcon), 2);
    EXPECT_EQ(ProfileProperties::iconCell(r, Row::Name), -1);
    EXPECT_EQ(text(catalogueRecord("vcd ntsc"), Row::FrameRate), "29.97");
}

TEST(ProfilePropertiesTest, DefaultUnknownAndMissingCodecTexts)
{
    ProfileRecord gif = catalogueRecord("gif 128x96");
    EXPECT_EQ(text(gif, Row::AudioCodec), "默认编码") << "index 0 is the default codec whatever the type";
    gif.audioCodec = 1;
    EXPECT_EQ(text(gif, Row::AudioCodec), "无参数") << "GIF has no audio";
    EXPECT_EQ(text(gif, Row::SampleRate), "无参数");
    EXPECT_EQ(text(gif, Row::AudioChannels), "无参数");

    ProfileRecord odd = catalogueRecord("flv 320x240");
    odd.conversionType = 77;
    EXPECT_EQ(text(odd, Row::ConversionType), "未知类型");
    EXPECT_EQ(text(odd, Row::VideoCodec), "未知编码");
    EXPECT_EQ(ProfileProperties::iconCell(odd, Row::NameIcon), 0) << "never past the 53-cell strip";
    odd.conversionType = 13;
    odd.videoCodec = 40;
    EXPECT_EQ(text(odd, Row::VideoCodec), "未知编码") << "a slot past the type's list";
}

TEST(ProfileRowEditorsTest, TypedValuesAreStoredOnlyWhenTheyParseWithinTheirField)
{
    struct Case {
        int row;
        std::string typed;
        bool stored;
    };
    const std::string paste(1000, '7');
    const Case cases[] = {
        {Row::VideoSize, "320x", false},        {Row::VideoSize, "x240", false},
        {Row::VideoSize, "99999x99999", false}, {Row::VideoSize, "640x480", true},
        {Row::VideoSize, "", false},            {Row::VideoSize, paste, false},
        {Row::VideoSize, "-320x240", false},    {Row::VideoBitrate, "-5", false},
        {Row::VideoBitrate, "4294967296", false}, {Row::VideoBitrate, "2147483648", false},
        {Row::VideoBitrate, "2147483647", true}, {Row::VideoBitrate, "abc", false},
        {Row::VideoBitrate, paste, false},      {Row::VideoBitrate, " 900 ", true},
        {Row::FrameRate, "29,97", false},       {Row::FrameRate, "29.97", true},
        {Row::FrameRate, "1e40", false},        {Row::FrameRate, "nan", false},
        {Row::FrameRate, "1..2", false},        {Row::FrameRate, paste, false},
        {Row::SampleRate, "48000", true},       {Row::SampleRate, "-1", false},
        {Row::AudioBitrate, "12.2", true},      {Row::AudioBitrate, "", false},
        {Row::Category, paste, false},          {Row::Category, std::string(99, 'c'), true},
        {Row::Category, std::string(100, 'c'), false},
    };
    for (const Case& c : cases) {
        const ProfileRecord before = catalogueRecord("mp4 320x240 mpeg4");
        ProfileRecord w = before;
        EXPECT_EQ(ProfileRowEditors::commitValue(w, c.row, c.typed), c.stored) << c.row << " " << c.typed.substr(0, 20);
        if (!c.stored) {
            EXPECT_EQ(std::memcmp(&w, &before, sizeof w), 0) << "unchanged: " << c.typed.substr(0, 20);
            continue;
        }
        // Only the row's own field changed, and it shows the typed value.
        const auto [offset, width] = fieldOf(c.row);
        ProfileRecord rest = w;
        std::memcpy(reinterpret_cast<char*>(&rest) + offset, reinterpret_cast<const char*>(&before) + offset, width);
        EXPECT_EQ(std::memcmp(&rest, &before, sizeof w), 0) << c.typed.substr(0, 20);
        EXPECT_EQ(ProfileProperties::valueText(w, c.row, true), std::string(ProfileValueParser::trim(c.typed)));
    }
}

TEST(ProfileRowEditorsTest, ChoicesAndSuggestionsFollowTheTypeAndCodec)
{
    ProfileRecord w = catalogueRecord("mp4 320x240 mpeg4");
    w.videoBitrate = 390;
    const RowEditor bitrate = ProfileRowEditors::editorFor(w, Row::VideoBitrate, {}, true);
    EXPECT_EQ(bitrate.kind, RowEditor::Kind::Value);
    EXPECT_EQ(bitrate.entries.size(), 122u) << "121 choices and the profile's own value";
    EXPECT_EQ(bitrate.entries.back(), "390");
    EXPECT_EQ(bitrate.text, "390");

    const RowEditor type = ProfileRowEditors::editorFor(w, Row::ConversionType, {}, true);
    EXPECT_EQ(type.entries.size(), 52u);
    EXPECT_EQ(type.selected, 19);
    EXPECT_EQ(ProfileRowEditors::editorFor(w, Row::ContextMenu, {}, false).kind, RowEditor::Kind::None);
    EXPECT_EQ(ProfileRowEditors::editorFor(w, Row::CategoryIcon, {}, true).kind, RowEditor::Kind::None);
    const RowEditor category = ProfileRowEditors::editorFor(w, Row::Category, {"A", "移动设备兼容格式MP4"}, true);
    EXPECT_EQ(category.entries.size(), 2u) << "the current category is there, ignoring case";

    // A new type: both codecs 1 and their defaults; size and video bit rate stay.
    ASSERT_TRUE(ProfileRowEditors::commitChoice(w, Row::ConversionType, 14));
    EXPECT_EQ(w.conversionType, 14);
    EXPECT_EQ(w.videoCodec, 1);
    EXPECT_EQ(w.audioCodec, 1);
    EXPECT_EQ(videoSizeOf(w), "320x240");
    EXPECT_EQ(w.videoBitrate, 390);
    EXPECT_EQ(ProfileRowEditors::editorFor(w, Row::SampleRate, {}, true).kind, RowEditor::Kind::None) << "GIF";
    EXPECT_FALSE(ProfileRowEditors::commitChoice(w, Row::ConversionType, 14)) << "same value";
    EXPECT_FALSE(ProfileRowEditors::commitChoice(w, Row::ConversionType, 52));
    EXPECT_FALSE(ProfileRowEditors::commitChoice(w, Row::AudioChannels, 5));
    EXPECT_FALSE(ProfileRowEditors::commitChoice(w, Row::VideoCodec, -1));
    EXPECT_TRUE(ProfileRowEditors::commitChoice(w, Row::VideoCodec, 0));
    EXPECT_EQ(ProfileProperties::valueText(w, Row::VideoCodec, true), "默认编码");
    EXPECT_EQ(ProfileRowEditors::editorFor(w, Row::VideoSize, {}, true).kind, RowEditor::Kind::None)
        << "no sizes for the default codec";
}
