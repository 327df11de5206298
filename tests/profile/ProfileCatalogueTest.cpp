#include "profile/ProfileCatalogue.h"

#include "tests/profile/ProfileTestSupport.h"

#include <bit>
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
