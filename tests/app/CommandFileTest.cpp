// The command file's reader: records with and without their NUL, short and overlong records, the
// marker anywhere in the command line, and random bytes that must never make it read out of bounds.
#include "app/CommandFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using app::CommandFile;
using app::CommandFileContents;

namespace {

std::string utf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::string record(const std::string& textBytes, int extraLength = 0)
{
    const auto n = static_cast<uint32_t>(static_cast<int>(textBytes.size()) + extraLength);
    std::string bytes{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                      static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)};
    return bytes + textBytes;
}

std::string withNul(const std::u16string& text) { return record(utf16(text + u'\0')); }
std::string withoutNul(const std::u16string& text) { return record(utf16(text)); }

}  // namespace

TEST(CommandFileTest, RecordsWithAndWithoutTheirNulGiveTheSameTexts)
{
    const auto contents = CommandFile::parse(withNul(u"自定义转换") + withNul(u"/home/u/a b.mp4") +
                                             withoutNul(u"/home/u/视频.avi") + withNul(u"/x\0ignored"));
    ASSERT_EQ(contents.status, CommandFileContents::Status::Ok);
    EXPECT_EQ(contents.selector, CommandFile::kCustomSelector);
    ASSERT_EQ(contents.paths.size(), 3u);
    EXPECT_EQ(contents.paths[0].text, "/home/u/a b.mp4");
    EXPECT_EQ(contents.paths[1].text, "/home/u/视频.avi");
    EXPECT_EQ(contents.paths[2].text, "/x");
    EXPECT_FALSE(contents.paths[0].tooLong);
}

TEST(CommandFileTest, AnIncompleteFirstRecordIsABadSelectorAndALaterOneEndsTheList)
{
    EXPECT_EQ(CommandFile::parse("").status, CommandFileContents::Status::BadSelector);
    EXPECT_EQ(CommandFile::parse(std::string("\x02\x00", 2)).status, CommandFileContents::Status::BadSelector);
    EXPECT_EQ(CommandFile::parse(record(utf16(u"abc"), 2)).status, CommandFileContents::Status::BadSelector);

    const auto contents = CommandFile::parse(withNul(u"方案") + withNul(u"/a.mp4") + record(utf16(u"/b.mp4"), 1));
    ASSERT_EQ(contents.status, CommandFileContents::Status::Ok);
    ASSERT_EQ(contents.paths.size(), 1u);
    EXPECT_EQ(contents.paths[0].text, "/a.mp4");
    // A selector alone adds nothing; an odd byte count drops the half character.
    EXPECT_TRUE(CommandFile::parse(withNul(u"方案")).paths.empty());
    EXPECT_EQ(CommandFile::parse(record(utf16(u"ab") + "c")).selector, "ab");
}

TEST(CommandFileTest, ALongSelectorIsCutAndALongPathIsMarkedNotCut)
{
    const std::u16string longName(150, u'名');
    const std::u16string longPath = u"/" + std::u16string(2100, u'p');
    const auto contents = CommandFile::parse(withNul(longName) + withNul(longPath) + withNul(u"/next.mp4"));
    std::string cut;
    for (size_t i = 0; i < CommandFile::kSelectorChars; ++i)
        cut += "名";
    EXPECT_EQ(contents.selector, cut);
    ASSERT_EQ(contents.paths.size(), 2u);
    EXPECT_TRUE(contents.paths[0].tooLong);
    EXPECT_EQ(contents.paths[0].text.size(), 2101u) << "kept whole for the message, never cut";
    EXPECT_FALSE(contents.paths[1].tooLong);
    EXPECT_EQ(contents.paths[1].text, "/next.mp4");
    // Exactly the limit is still a path.
    const std::u16string atLimit = u"/" + std::u16string(CommandFile::kMaxPathBytes / 2 - 1, u'q');
    EXPECT_FALSE(CommandFile::parse(withNul(u"s") + withoutNul(atLimit)).paths.at(0).tooLong);
}

TEST(CommandFileTest, TheMarkerIsFoundAnywhereInTheCommandLine)
{
    EXPECT_TRUE(CommandFile::hasMarker({"/opt/lumaret/lumaret", "contextmenu"}));
    EXPECT_TRUE(CommandFile::hasMarker({"/opt/contextmenu/lumaret", "x"}));
    EXPECT_TRUE(CommandFile::hasMarker({"lumaret", "--from-contextmenu-now"}));
    EXPECT_FALSE(CommandFile::hasMarker({"lumaret", "ContextMenu"}));
    EXPECT_FALSE(CommandFile::hasMarker({"lumaret", "context", "menu"}));
}

TEST(CommandFileTest, MissingFilesFoldersAndFifosAreUnread)
{
    testsupport::TempDir dir;
    EXPECT_EQ(CommandFile::read(dir / "cmdline.txt").status, CommandFileContents::Status::Unread);
    EXPECT_EQ(CommandFile::read(dir.path()).status, CommandFileContents::Status::Unread);
    testsupport::writeBytes(dir / "cmdline.txt", {});
    EXPECT_EQ(CommandFile::read(dir / "cmdline.txt").status, CommandFileContents::Status::BadSelector);
}

// Random bytes, and random lengths in otherwise valid records, for a bounded number of rounds: the
// reader keeps every text within the bytes it was given and within its limits.
TEST(CommandFileTest, RandomInputStaysWithinBounds)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int size = static_cast<int>(random() % 600);
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>(random() & 0xFF));
        if (round % 2 == 0)
            bytes = withNul(u"p") + record(bytes.substr(0, bytes.size() / 2), static_cast<int>(random() % 9) - 4) +
                    bytes;
        const auto contents = CommandFile::parse(bytes);
        size_t total = contents.selector.size();
        for (const auto& path : contents.paths)
            total += path.text.size();
        // UTF-8 of n bytes of UTF-16 is at most 1.5 n bytes.
        EXPECT_LE(total, bytes.size() * 3 / 2 + 3);
        EXPECT_LE(contents.selector.size(), CommandFile::kSelectorChars * 3);
    }
}
