#include "profile/ProfileCatalogue.h"

#include "tests/profile/ProfileTestSupport.h"

#include <bit>
#include <iterator>
#include <map>

using namespace profile;
using namespace profiletest;

namespace {

std::map<std::string, ProfileRecord> catalogueByName()
{
    std::map<std::string, ProfileRecord> byName;
    for (const ProfileRecord& record : catalogueRecords())
        byName.emplace(profileNameOf(record), record);
    return byName;
}

}  // namespace

TEST(ProfileCatalogueTest, BuildsElevenCategoriesWithTheNestedMobileProfiles)
{
    ProfileTree tree;
    buildCatalogue(tree);

    const std::vector<std::pair<std::u16string, std::size_t>> expected = {
        {u"所有 转到 移动设备", 4}, {u"所有 转到 mp4", 18}, {u"所有 转到 flv", 3}, {u"所有 转到 swf", 3},
        {u"所有 转到 avi", 17}, {u"所有 转到 3gp", 4}, {u"所有 转到 mpg", 4}, {u"所有 转到 vob", 4},
        {u"所有 转到 mov", 3}, {u"所有 转到 gif", 2}, {u"所有 转到 wmv", 3}};
    ASSERT_EQ(tree.root().childCount(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ProfileNode* category = tree.root().child(i);
        EXPECT_EQ(category->text(), expected[i].first);
        EXPECT_EQ(category->childCount(), expected[i].second) << category->textUtf8();
        EXPECT_FALSE(category->isProfile());
        EXPECT_EQ(category->isExpanded(), i == 0);
    }
    const ProfileNode* mobile = tree.root().child(0);
    const std::vector<std::pair<std::u16string, std::size_t>> nested = {
        {u"移动设备兼容格式mp4", 12}, {u"移动设备兼容格式3gp", 4}, {u"移动设备兼容格式avi", 12}, {u"HD h264", 10}};
    for (std::size_t i = 0; i < nested.size(); ++i) {
        EXPECT_EQ(mobile->child(i)->text(), nested[i].first);
        EXPECT_EQ(mobile->child(i)->childCount(), nested[i].second);
    }
    EXPECT_EQ(tree.profileCount(), 103u);
    EXPECT_EQ(tree.findDefaultNode(), mobile->child(0));

    // Pre-order of the tree is the catalogue order, so a save writes the records in that order.
    std::vector<std::string> preOrder;
    tree.findInPreOrder([&](const ProfileNode& node) {
        if (node.isProfile())
            preOrder.push_back(node.textUtf8());
        return false;
    });
    std::vector<std::string> catalogueOrder;
    for (const ProfileRecord& record : catalogueRecords())
        catalogueOrder.push_back(profileNameOf(record));
    EXPECT_EQ(preOrder, catalogueOrder);
}

TEST(ProfileCatalogueTest, FlagsAndTextsAreClean)
{
    const std::vector<ProfileRecord> records = catalogueRecords();
    ASSERT_EQ(records.size(), 103u);
    int defaults = 0;
    std::vector<std::string> menu;
    for (const ProfileRecord& record : records) {
        defaults += record.isDefault != 0;
        EXPECT_EQ(record.isUserProfile, 0u);
        if (record.inContextMenu)
            menu.push_back(profileNameOf(record));
        EXPECT_TRUE(hasRecordMagic(record));
        EXPECT_EQ(record.recordMagic[7], '\0');
        // Everything behind each text's terminator is zero.
        for (auto [field, capacity] : {std::pair{record.categoryName, kProfileTextChars},
                                       std::pair{record.profileName, kProfileTextChars},
                                       std::pair{record.videoSize, kVideoSizeChars}}) {
            const std::size_t length = fieldText(field, capacity).size();
            for (std::size_t i = length; i < capacity; ++i)
                ASSERT_EQ(field[i], u'\0') << profileNameOf(record);
        }
    }
    EXPECT_EQ(defaults, 1);
    EXPECT_TRUE(records[0].isDefault);
    EXPECT_EQ(menu, (std::vector<std::string>{"mp4 320x240 mpeg4", "3gp 176x144 h263", "avi 320x240 xvid", "HD h264",
                                              "mp4 高质量和大小 mpeg", "flv 320x240", "swf 320x240", "avi 高质量和大小 xvid",
                                              "3gp 176x144 h263 ", "vcd pal", "dvd pal small", "mov 中质量和大小 h264",
                                              "gif 128x96"}));
}

TEST(ProfileCatalogueTest, FirstRecordByteForByte)
{
    std::vector<unsigned char> expected(516, 0);
    auto put32 = [&](std::size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            expected[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    auto putText = [&](std::size_t offset, std::u16string_view text) {
        for (char16_t unit : text) {
            expected[offset++] = static_cast<unsigned char>(unit);
            expected[offset++] = static_cast<unsigned char>(unit >> 8);
        }
    };
    put32(0, 1);
    putText(12, u"所有 转到 移动设备");
    putText(212, u"移动设备兼容格式mp4");
    put32(412, 19);
    put32(416, 1);
    putText(420, u"320x240");
    put32(484, 384);
    put32(488, 0x41900000);   // 18.0f
    put32(492, 1);
    put32(496, 22050);
    put32(500, 0x42800000);   // 64.0f
    put32(504, 3);
    std::memcpy(&expected[508], "Lumaret", 7);
    EXPECT_EQ(bytesOf(catalogueRecords()[0]), expected);
}

TEST(ProfileCatalogueTest, IrregularValuesAreKept)
{
    const auto byName = catalogueByName();
    ASSERT_EQ(byName.size(), 103u);   // all names distinct, the trailing-space ones included
    auto at = [&](const std::string& name) -> const ProfileRecord& {
        const auto found = byName.find(name);
        EXPECT_NE(found, byName.end()) << name;
        return found->second;
    };

    EXPECT_EQ(videoSizeOf(at("avi 低质量和大小 xvid")), "324x240");
    EXPECT_EQ(videoSizeOf(at("avi 低质量和大小 h264")), "324x240");
    EXPECT_EQ(videoSizeOf(at("avi hd 640x360 h264 宽屏")), "720x480");
    EXPECT_EQ(at("mp4 HD 1280x720 h264").videoBitrate, 864);
    EXPECT_EQ(at("mp4 HD 1280x720 h264").sampleRate, 48000);
    EXPECT_EQ(at("3gp 352x288 h263 ").videoBitrate, 320);
    EXPECT_EQ(at("3gp 352x288 mpeg ").videoBitrate, 320);
    EXPECT_EQ(at("3gp 352x288 h263").videoBitrate, 384);
    EXPECT_EQ(categoryNameOf(at("3gp 176x144 h263 ")), "所有 转到 3gp");
    EXPECT_EQ(categoryNameOf(at("3gp 176x144 h263")), "移动设备兼容格式3gp");

    // Fractional values are the nearest 32-bit floats.
    EXPECT_EQ(std::bit_cast<uint32_t>(at("vcd ntsc").frameRate), std::bit_cast<uint32_t>(29.97f));
    EXPECT_EQ(std::bit_cast<uint32_t>(at("3gp 176x144 mpeg4").audioBitrate), 0x41433333u);   // 12.2f
    EXPECT_EQ(at("svcd ntsc").conversionType, 29);
    EXPECT_EQ(at("dvd ntsc small").videoCodec, 1);
    EXPECT_EQ(videoSizeOf(at("dvd ntsc small")), "352x240");
    EXPECT_EQ(at("wmv 低质量和大小 wmv2").conversionType, 51);

    for (const char* gif : {"gif 128x96", "gif 64x48"}) {
        const ProfileRecord& record = at(gif);
        EXPECT_EQ(record.conversionType, 14);
        EXPECT_EQ(record.videoCodec, 1);
        EXPECT_EQ(record.videoBitrate, 0);
        EXPECT_EQ(record.frameRate, 5.0f);
        EXPECT_EQ(record.audioCodec, 0);
        EXPECT_EQ(record.sampleRate, 0);
        EXPECT_EQ(record.audioBitrate, 0.0f);
        EXPECT_EQ(record.audioChannels, ChannelsDefault);
    }
}

namespace {

// The built-in catalogue written out a second time, row by row and independently of
// ProfileCatalogue.cpp, so that a slip in either one shows up here.
struct GoldenEntry {
    int row;
    const char16_t* category;
    const char16_t* name;
    int32_t conversionType;
    int32_t videoCodec;
    const char16_t* videoSize;
    int32_t videoBitrate;
    float frameRate;
    int32_t audioCodec;
    int32_t sampleRate;
    float audioBitrate;
    int32_t audioChannels;
    bool isDefault;
    bool inContextMenu;
};

constexpr GoldenEntry kGolden[] = {
    {1, u"所有 转到 移动设备", u"移动设备兼容格式mp4", 19, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, true, false},
    {2, u"移动设备兼容格式mp4", u"mp4 320x240 mpeg4", 19, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},
    {3, u"移动设备兼容格式mp4", u"mp4 400x240 mpeg4", 19, 1, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {4, u"移动设备兼容格式mp4", u"mp4 480x272 mpeg4 宽屏", 19, 1, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {5, u"移动设备兼容格式mp4", u"mp4 480x360 mpeg4", 19, 1, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {6, u"移动设备兼容格式mp4", u"mp4 320x240 h264", 19, 3, u"320x240", 288, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {7, u"移动设备兼容格式mp4", u"mp4 400x240 h264", 19, 3, u"400x240", 336, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {8, u"移动设备兼容格式mp4", u"mp4 480x272 h264 宽屏", 19, 3, u"480x272", 384, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {9, u"移动设备兼容格式mp4", u"mp4 480x360 h264", 19, 3, u"480x360", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {10, u"移动设备兼容格式mp4", u"mp4 320x240 xvid", 19, 4, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {11, u"移动设备兼容格式mp4", u"mp4 400x240 xvid", 19, 4, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {12, u"移动设备兼容格式mp4", u"mp4 480x272 xvid 宽屏", 19, 4, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {13, u"移动设备兼容格式mp4", u"mp4 480x360 xvid", 19, 4, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {14, u"所有 转到 移动设备", u"移动设备兼容格式3gp", 1, 1, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, false},
    {15, u"移动设备兼容格式3gp", u"3gp 176x144 h263", 1, 1, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, true},
    {16, u"移动设备兼容格式3gp", u"3gp 352x288 h263", 1, 1, u"352x288", 384, 18.0f, 1, 8000, 12.2f, 2, false, false},
    {17, u"移动设备兼容格式3gp", u"3gp 176x144 mpeg4", 1, 2, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, false},
    {18, u"移动设备兼容格式3gp", u"3gp 352x288 mpeg4", 1, 2, u"352x288", 384, 18.0f, 1, 8000, 12.2f, 2, false, false},
    {19, u"所有 转到 移动设备", u"移动设备兼容格式avi", 8, 2, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {20, u"移动设备兼容格式avi", u"avi 320x240 xvid", 8, 2, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},
    {21, u"移动设备兼容格式avi", u"avi 400x240 xvid", 8, 2, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {22, u"移动设备兼容格式avi", u"avi 480x272 xvid 宽屏", 8, 2, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {23, u"移动设备兼容格式avi", u"avi 480x360 xvid", 8, 2, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {24, u"移动设备兼容格式avi", u"avi 320x240 mpeg4", 8, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {25, u"移动设备兼容格式avi", u"avi 400x240 mpeg4", 8, 1, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {26, u"移动设备兼容格式avi", u"avi 480x272 mpeg4 宽屏", 8, 1, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {27, u"移动设备兼容格式avi", u"avi 480x360 mpeg4", 8, 1, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {28, u"移动设备兼容格式avi", u"avi 320x240 h264", 8, 8, u"320x240", 288, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {29, u"移动设备兼容格式avi", u"avi 400x240 h264", 8, 8, u"400x240", 336, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {30, u"移动设备兼容格式avi", u"avi 480x272 h264 宽屏", 8, 8, u"480x272", 384, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {31, u"移动设备兼容格式avi", u"avi 480x360 h264", 8, 8, u"480x360", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {32, u"所有 转到 移动设备", u"HD h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, true},
    {33, u"HD h264", u"mp4 hd 480x360 h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {34, u"HD h264", u"mp4 hd 640x480 h264", 19, 3, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {35, u"HD h264", u"mp4 hd 640x360 h264 宽屏", 19, 3, u"640x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {36, u"HD h264", u"mp4 hd 720x480 h264 宽屏", 19, 3, u"720x480", 1500, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {37, u"HD h264", u"mp4 hd 1280x720 h264 宽屏", 19, 3, u"1280x720", 1800, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {38, u"HD h264", u"avi hd 480x360 h264", 8, 8, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {39, u"HD h264", u"avi hd 640x480 h264", 8, 8, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {40, u"HD h264", u"avi hd 640x360 h264 宽屏", 8, 8, u"720x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {41, u"HD h264", u"avi hd 720x480 h264 宽屏", 8, 8, u"720x480", 1500, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {42, u"HD h264", u"avi hd 1280x720 h264 宽屏", 8, 8, u"1280x720", 1800, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {43, u"所有 转到 mp4", u"mp4 高质量和大小 mpeg", 19, 1, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, true},
    {44, u"所有 转到 mp4", u"mp4 中质量和大小 mpeg", 19, 1, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {45, u"所有 转到 mp4", u"mp4 低质量和大小 mpeg", 19, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {46, u"所有 转到 mp4", u"mp4 HD 480x360 mpeg", 19, 1, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {47, u"所有 转到 mp4", u"mp4 HD 640x360 mpeg 宽屏", 19, 1, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {48, u"所有 转到 mp4", u"mp4 HD 640x480 mpeg", 19, 1, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {49, u"所有 转到 mp4", u"mp4 HD 1280x720 mpeg 宽屏", 19, 1, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false, false},
    {50, u"所有 转到 mp4", u"mp4 高质量和大小 h264", 19, 3, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {51, u"所有 转到 mp4", u"mp4 中质量和大小 h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {52, u"所有 转到 mp4", u"mp4 低质量和大小 h264", 19, 3, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {53, u"所有 转到 mp4", u"mp4 HD 480x360 h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {54, u"所有 转到 mp4", u"mp4 HD 640x360 h264 宽屏", 19, 3, u"640x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {55, u"所有 转到 mp4", u"mp4 HD 640x480 h264", 19, 3, u"640x480", 864, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {56, u"所有 转到 mp4", u"mp4 HD 1280x720 h264", 19, 3, u"1280x720", 864, 25.0f, 1, 48000, 192.0f, 3, false, false},
    {57, u"所有 转到 mp4", u"mp4 HD 480x360 xvid", 19, 4, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {58, u"所有 转到 mp4", u"mp4 HD 640x360 xvid 宽屏", 19, 4, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {59, u"所有 转到 mp4", u"mp4 HD 640x480 xvid 宽屏", 19, 4, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {60, u"所有 转到 mp4", u"mp4 HD 1280x720 xvid 宽屏", 19, 4, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false, false},
    {61, u"所有 转到 flv", u"flv 320x240", 13, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},
    {62, u"所有 转到 flv", u"flv 640x480", 13, 1, u"640x480", 512, 18.0f, 1, 44100, 128.0f, 3, false, false},
    {63, u"所有 转到 flv", u"flv 176x144", 13, 1, u"176x144", 180, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {64, u"所有 转到 swf", u"swf 320x240", 30, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},
    {65, u"所有 转到 swf", u"swf 640x480", 30, 1, u"640x480", 512, 18.0f, 1, 44100, 128.0f, 3, false, false},
    {66, u"所有 转到 swf", u"swf 176x144", 30, 1, u"176x144", 180, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {67, u"所有 转到 avi", u"avi 高质量和大小 xvid", 8, 2, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, true},
    {68, u"所有 转到 avi", u"avi 中质量和大小 xvid", 8, 2, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {69, u"所有 转到 avi", u"avi 低质量和大小 xvid", 8, 2, u"324x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {70, u"所有 转到 avi", u"avi HD 480x360 xvid", 8, 2, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {71, u"所有 转到 avi", u"avi HD 640x360 xvid 宽屏", 8, 2, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {72, u"所有 转到 avi", u"avi HD 640x480 xvid", 8, 2, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {73, u"所有 转到 avi", u"avi HD 1280x720 xvid 宽屏", 8, 2, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false, false},
    {74, u"所有 转到 avi", u"avi HD 480x360 mpeg", 8, 1, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {75, u"所有 转到 avi", u"avi HD 640x360 mpeg 宽屏", 8, 1, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {76, u"所有 转到 avi", u"avi HD 640x480 mpeg", 8, 1, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {77, u"所有 转到 avi", u"avi HD 1280x720 mpeg 宽屏", 8, 1, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false, false},
    {78, u"所有 转到 avi", u"avi 高质量和大小 h264", 8, 8, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {79, u"所有 转到 avi", u"avi 中质量和大小 h264", 8, 8, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {80, u"所有 转到 avi", u"avi 低质量和大小 h264", 8, 8, u"324x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {81, u"所有 转到 avi", u"avi HD 480x360 h264", 8, 8, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {82, u"所有 转到 avi", u"avi HD 640x360 h264 宽屏", 8, 8, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {83, u"所有 转到 avi", u"avi HD 640x480 h264", 8, 8, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {84, u"所有 转到 3gp", u"3gp 176x144 h263 ", 1, 1, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, true},
    {85, u"所有 转到 3gp", u"3gp 352x288 h263 ", 1, 1, u"352x288", 320, 18.0f, 1, 8000, 12.2f, 2, false, false},
    {86, u"所有 转到 3gp", u"3gp 176x144 mpeg ", 1, 2, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, false},
    {87, u"所有 转到 3gp", u"3gp 352x288 mpeg ", 1, 2, u"352x288", 320, 18.0f, 1, 8000, 12.2f, 2, false, false},
    {88, u"所有 转到 mpg", u"vcd pal", 31, 2, u"352x288", 1150, 25.0f, 1, 44100, 224.0f, 3, false, true},
    {89, u"所有 转到 mpg", u"vcd ntsc", 31, 1, u"352x288", 1150, 29.97f, 1, 44100, 224.0f, 3, false, false},
    {90, u"所有 转到 mpg", u"svcd pal", 29, 2, u"480x576", 2040, 25.0f, 1, 44100, 224.0f, 3, false, false},
    {91, u"所有 转到 mpg", u"svcd ntsc", 29, 1, u"480x480", 2040, 29.97f, 1, 44100, 224.0f, 3, false, false},
    {92, u"所有 转到 vob", u"dvd pal small", 10, 2, u"352x288", 1856, 25.0f, 1, 48000, 448.0f, 3, false, true},
    {93, u"所有 转到 vob", u"dvd pal large", 10, 2, u"720x576", 6000, 25.0f, 1, 48000, 448.0f, 3, false, false},
    {94, u"所有 转到 vob", u"dvd ntsc small", 10, 1, u"352x240", 1856, 29.97f, 1, 48000, 448.0f, 3, false, false},
    {95, u"所有 转到 vob", u"dvd ntsc large", 10, 1, u"720x480", 6000, 29.97f, 1, 48000, 448.0f, 3, false, false},
    {96, u"所有 转到 mov", u"mov 高质量和大小 h264", 16, 3, u"640x480", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},
    {97, u"所有 转到 mov", u"mov 中质量和大小 h264", 16, 3, u"480x360", 576, 24.0f, 1, 44100, 128.0f, 3, false, true},
    {98, u"所有 转到 mov", u"mov 低质量和大小 h264", 16, 3, u"320x240", 288, 18.0f, 1, 22050, 64.0f, 3, false, false},
    {99, u"所有 转到 gif", u"gif 128x96", 14, 1, u"128x96", 0, 5.0f, 0, 0, 0.0f, 0, false, true},
    {100, u"所有 转到 gif", u"gif 64x48", 14, 1, u"64x48", 0, 5.0f, 0, 0, 0.0f, 0, false, false},
    {101, u"所有 转到 wmv", u"wmv 高质量和大小 wmv2", 51, 1, u"640x480", 1500, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {102, u"所有 转到 wmv", u"wmv 中质量和大小 wmv2", 51, 1, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},
    {103, u"所有 转到 wmv", u"wmv 低质量和大小 wmv2", 51, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},
};

}  // namespace

TEST(ProfileCatalogueTest, EveryRecordMatchesTheGoldenTable)
{
    const std::vector<ProfileRecord> records = catalogueRecords();
    ASSERT_EQ(records.size(), std::size(kGolden));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ProfileRecord& r = records[i];
        const GoldenEntry& g = kGolden[i];
        SCOPED_TRACE(testing::Message() << "row " << g.row << " " << toUtf8(g.name));
        EXPECT_EQ(fieldText(r.categoryName, kProfileTextChars), g.category);
        EXPECT_EQ(fieldText(r.profileName, kProfileTextChars), g.name);
        EXPECT_EQ(r.conversionType, g.conversionType);
        EXPECT_EQ(r.videoCodec, g.videoCodec);
        EXPECT_EQ(fieldText(r.videoSize, kVideoSizeChars), g.videoSize);
        EXPECT_EQ(r.videoBitrate, g.videoBitrate);
        // Bit for bit: 29.97 and 12.2 must be the nearest 32-bit floats, not some other rounding.
        EXPECT_EQ(std::bit_cast<uint32_t>(r.frameRate), std::bit_cast<uint32_t>(g.frameRate));
        EXPECT_EQ(r.audioCodec, g.audioCodec);
        EXPECT_EQ(r.sampleRate, g.sampleRate);
        EXPECT_EQ(std::bit_cast<uint32_t>(r.audioBitrate), std::bit_cast<uint32_t>(g.audioBitrate));
        EXPECT_EQ(r.audioChannels, g.audioChannels);
        EXPECT_EQ(r.isDefault, g.isDefault ? 1u : 0u);
        EXPECT_EQ(r.inContextMenu, g.inContextMenu ? 1u : 0u);
        EXPECT_EQ(r.isUserProfile, 0u);
    }
}
