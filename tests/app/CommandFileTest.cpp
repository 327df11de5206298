#include "app/CommandFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using app::CommandFile;

// One record as a foreign writer may store it: `text` as UTF-16LE, with `extra` bytes appended
// (a terminating NUL, padding after it) and the length counting what the test says.
std::string record(std::u16string_view text, std::string_view extra = {})
{
    std::string body;
    for (char16_t unit : text) {
        body.push_back(static_cast<char>(unit & 0xFF));
        body.push_back(static_cast<char>(unit >> 8));
    }
    body += extra;
    std::string bytes;
    const auto length = static_cast<uint32_t>(body.size());
    for (int k = 0; k < 4; ++k)
        bytes.push_back(static_cast<char>((length >> (8 * k)) & 0xFF));
    return bytes + body;
}

const std::string kNul(2, '\0');

TEST(CommandFileTest, RecordsWithAndWithoutTheNulGiveTheSameTexts)
{
    const std::string withNul = record(u"PSP 320x240", kNul) + record(u"/home/u/a.avi", kNul + "junk") +
                                record(u"/home/u/b.avi");
    const std::string without = record(u"PSP 320x240") + record(u"/home/u/a.avi") + record(u"/home/u/b.avi", kNul);
    for (const std::string& bytes : {withNul, without}) {
        const CommandFile::Contents contents = CommandFile::parse(bytes);
        ASSERT_EQ(contents.status, CommandFile::Status::Ok);
        EXPECT_EQ(contents.mode, CommandFile::Mode::Profile);
        EXPECT_EQ(contents.selector, u"PSP 320x240");
        ASSERT_EQ(contents.paths.size(), 2u);
        EXPECT_EQ(contents.paths[0].bytes, "/home/u/a.avi");
        EXPECT_EQ(contents.paths[1].bytes, "/home/u/b.avi");
        EXPECT_FALSE(contents.paths[0].skipped);
    }
}

TEST(CommandFileTest, ShortRecordsAndPartialTails)
{
    // Nothing, or a first record cut anywhere, is a bad hand-over.
    for (const std::string& bytes : {std::string(), std::string("\x10\0\0", 3), record(u"PSP").substr(0, 6)})
        EXPECT_EQ(CommandFile::parse(bytes).status, CommandFile::Status::BadFirstRecord);

    // A selector alone adds nothing; a cut last record is ignored, whatever was read stays.
    const std::string good = record(u"PSP") + record(u"/a.avi");
    EXPECT_TRUE(CommandFile::parse(record(u"PSP")).paths.empty());
    for (const std::string& tail : {std::string("\x02", 1), std::string("\x08\0\0\0/\0b", 7)}) {
        const CommandFile::Contents contents = CommandFile::parse(good + tail);
        ASSERT_EQ(contents.paths.size(), 1u);
        EXPECT_EQ(contents.paths[0].bytes, "/a.avi");
    }
    // A length of 4 GB claims more than the file has: ignored, nothing read past the end.
    EXPECT_EQ(CommandFile::parse(good + std::string("\xff\xff\xff\xff/\0", 6)).paths.size(), 1u);
    // An odd length leaves half a character, which is dropped; an empty record is an empty path.
    const CommandFile::Contents odd = CommandFile::parse(record(u"PSP", "\x41") + record(u""));
    EXPECT_EQ(odd.selector, u"PSP");
    ASSERT_EQ(odd.paths.size(), 1u);
    EXPECT_EQ(odd.paths[0].bytes, "");
}

TEST(CommandFileTest, ModesFollowTheSelector)
{
    EXPECT_EQ(CommandFile::parse(record(u"自定义转换")).mode, CommandFile::Mode::Custom);
    EXPECT_EQ(CommandFile::parse(record(u"自定义转换", kNul + "xx")).mode, CommandFile::Mode::Custom);
    // Only the exact text: a longer or shorter selector names a profile.
    EXPECT_EQ(CommandFile::parse(record(u"自定义转换 ")).mode, CommandFile::Mode::Profile);
    EXPECT_EQ(CommandFile::parse(record(u"自定义")).mode, CommandFile::Mode::Profile);

    // 99 characters fit the selector buffer; a 100th means no profile can have that name, and the
    // selector is held cut, never written past its buffer.
    const std::u16string fits(99, u'名');
    EXPECT_EQ(CommandFile::parse(record(fits)).mode, CommandFile::Mode::Profile);
    EXPECT_EQ(CommandFile::parse(record(fits)).selector, fits);
    const CommandFile::Contents tooLong = CommandFile::parse(record(fits + u"x") + record(u"/a"));
    EXPECT_EQ(tooLong.mode, CommandFile::Mode::UnknownProfile);
    EXPECT_EQ(tooLong.selector, fits);
    EXPECT_EQ(tooLong.paths.size(), 1u);
    // A cut between the halves of a surrogate pair keeps no half character.
    const std::u16string pairs = std::u16string(98, u'a') + u"\U0001F3AC\U0001F3AC";
    EXPECT_EQ(CommandFile::parse(record(pairs)).selector, std::u16string(98, u'a'));
}

TEST(CommandFileTest, LongPathsAreSkippedWholeAndTheRestStillRead)
{
    const std::string longest = "/" + std::string(CommandFile::kMaxPathBytes - 1, 'a');
    const std::string over = longest + "a";
    // 1,366 CJK characters are 4,098 bytes: few units, but too long once decoded.
    std::string cjkOver = "/";
    for (int i = 0; i < 1366; ++i)
        cjkOver += "视";
    const CommandFile::Contents contents =
        CommandFile::parse(CommandFile::encode(u"PSP", {longest, over, cjkOver, "/after.avi"}));
    ASSERT_EQ(contents.paths.size(), 4u);
    EXPECT_EQ(contents.paths[0].bytes, longest);
    EXPECT_FALSE(contents.paths[0].skipped);
    for (int i : {1, 2}) {
        EXPECT_TRUE(contents.paths[i].skipped);
        EXPECT_TRUE(contents.paths[i].bytes.empty());
        EXPECT_EQ(contents.paths[i].shown.rfind(i == 1 ? "/aaaa" : "/视视", 0), 0u);
        EXPECT_LT(contents.paths[i].shown.size(), 400u);
    }
    EXPECT_EQ(contents.paths[3].bytes, "/after.avi");
}

TEST(CommandFileTest, PathBytesSurviveTheUtf16Form)
{
    const std::vector<std::string> paths = {
        "/tmp/plain.avi",
        "/tmp/\xe8\xa7\x86\xe9\xa2\x91 \"quoted\" 'single' $HOME `x`.mkv",
        "/tmp/new\nline\tand tab.mp4",
        "/tmp/-leading-dash.avi",
        "/tmp/latin1-\xe9t\xe9.avi",        // ISO-8859-1 bytes, not UTF-8
        "/tmp/\xed\xb2\x80-encoded-surrogate",  // looks like U+DC80 in UTF-8: must stay three bytes
        "/tmp/\xc0\xaf-overlong-\xf8\xff\x80",
        "/tmp/\xf0\x9f\x8e\xac-emoji-and-cut-\xe8\xa7",
    };
    for (const std::string& path : paths) {
        const std::u16string text = CommandFile::pathToText(path);
        EXPECT_EQ(CommandFile::textToPath(text), path);
        for (char16_t unit : text)
            EXPECT_NE(unit, u'\0');
    }
    // The stray byte is carried as U+DC00 + byte, nothing else.
    EXPECT_EQ(CommandFile::pathToText("a\xe9"), u"a\xdce9");
    // Surrogates a foreign writer left alone read as U+FFFD rather than as random bytes.
    EXPECT_EQ(CommandFile::textToPath(u"\xd800x\xdc10"), "\xef\xbf\xbdx\xef\xbf\xbd");
}

TEST(CommandFileTest, TheMarkerCountsAnywhereInTheCommandLine)
{
    using Launch = CommandFile::Launch;
    EXPECT_EQ(CommandFile::launchKind({}), Launch::Normal);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret"}), Launch::Normal);
    EXPECT_EQ(CommandFile::launchKind({"/opt/contextmenu/lumaret"}), Launch::Normal);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "contextmenu"}), Launch::HandOver);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "--from-contextmenu=1"}), Launch::HandOver);
    EXPECT_EQ(CommandFile::launchKind({"/opt/contextmenu/lumaret", "x"}), Launch::HandOver);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "ContextMenu"}), Launch::BadArguments);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "context", "menu"}), Launch::BadArguments);
}

// The applications menu and "Open with" start `lumaret --open FILE...`: every argument after the
// option is a file, whatever it looks like (the marker, an option), and the files go to the
// add-files page as a custom-mode hand-over does. Without files it is a normal start.
TEST(CommandFileTest, OpenWithFilesIsAHandOverOfThoseFiles)
{
    using Launch = CommandFile::Launch;
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "--open"}), Launch::Normal);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "--open", "/v/a.mp4"}), Launch::OpenFiles);
    EXPECT_EQ(CommandFile::launchKind({"/opt/contextmenu/lumaret", "--open", "contextmenu"}), Launch::OpenFiles);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "/v/a.mp4"}), Launch::BadArguments);
    EXPECT_EQ(CommandFile::launchKind({"/usr/bin/lumaret", "contextmenu", "--open", "/v/a.mp4"}), Launch::HandOver);

    const std::string tooLong = "/" + std::string(CommandFile::kMaxPathBytes, 'x');
    const CommandFile::Contents contents = CommandFile::openedFiles(
        {"/usr/bin/lumaret", "--open", "/v/a b.mp4", "clip.avi", "-x", "../up.mkv", tooLong}, "/home/u/videos");
    EXPECT_EQ(contents.status, CommandFile::Status::Ok);
    EXPECT_EQ(contents.mode, CommandFile::Mode::Custom);
    EXPECT_EQ(contents.selector, CommandFile::kCustomSelector);
    ASSERT_EQ(contents.paths.size(), 5u);
    EXPECT_EQ(contents.paths[0].bytes, "/v/a b.mp4");
    EXPECT_EQ(contents.paths[1].bytes, "/home/u/videos/clip.avi");
    EXPECT_EQ(contents.paths[2].bytes, "/home/u/videos/-x");
    EXPECT_EQ(contents.paths[3].bytes, "/home/u/videos/../up.mkv");
    EXPECT_TRUE(contents.paths[4].skipped);
    EXPECT_EQ(contents.paths[4].bytes, "");
    EXPECT_FALSE(contents.paths[4].shown.empty());
    EXPECT_TRUE(CommandFile::openedFiles({"/usr/bin/lumaret", "--open"}, "/").paths.empty());
}

TEST(CommandFileTest, WriterAndReaderAgreeThroughTheFile)
{
    testsupport::TempDir dir;
    const auto file = dir / "data" / CommandFile::kFileName;  // the folder does not exist yet
    const std::vector<std::string> paths = {"/a b/\"c\".avi", "/x/\xff\xfe.mp4", "/n\nl.mkv"};
    std::string error;
    ASSERT_TRUE(CommandFile::write(file, CommandFile::kCustomSelector, paths, &error)) << error;
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const CommandFile::Contents contents = CommandFile::read(file);
    ASSERT_EQ(contents.status, CommandFile::Status::Ok);
    EXPECT_EQ(contents.mode, CommandFile::Mode::Custom);
    ASSERT_EQ(contents.paths.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(contents.paths[i].bytes, paths[i]);
    // A second write replaces the file whole and leaves no temporary behind.
    ASSERT_TRUE(CommandFile::write(file, u"PSP", {}, nullptr));
    EXPECT_EQ(CommandFile::read(file).paths.size(), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "data"), {}), 1);
}

TEST(CommandFileTest, OnlyARegularFileIsRead)
{
    testsupport::TempDir dir;
    EXPECT_EQ(CommandFile::read(dir / "none").status, CommandFile::Status::Missing);
    std::filesystem::create_directory(dir / "folder");
    const CommandFile::Contents folder = CommandFile::read(dir / "folder");
    EXPECT_EQ(folder.status, CommandFile::Status::NotRegular);
    EXPECT_NE(folder.problem.find("folder"), std::string::npos);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(CommandFile::read(dir / "fifo").status, CommandFile::Status::NotRegular);  // no wait for a writer
    EXPECT_EQ(CommandFile::read("/dev/zero").status, CommandFile::Status::NotRegular);

    std::string error;
    // A file where the data folder should be: the write fails and says so.
    testsupport::writeBytes(dir / "plainfile", {'x'});
    EXPECT_FALSE(CommandFile::write(dir / "plainfile" / "cmdline.txt", u"PSP", {}, &error));
    EXPECT_NE(error.find("plainfile"), std::string::npos);
}

// Random bytes, random record structures and mutations of valid files: the reader must neither
// crash nor read out of bounds (the sanitizer build runs this too), and every path it returns is
// within its limit. Fixed seeds keep failures reproducible.
TEST(CommandFileTest, RandomInputIsReadWithinBounds)
{
    for (uint32_t seed = 1; seed <= 4000; ++seed) {
        std::mt19937 random(seed);
        std::string bytes;
        const auto pick = [&](uint32_t below) { return static_cast<uint32_t>(random() % below); };
        switch (seed % 3) {
        case 0:  // noise
            bytes.resize(pick(600));
            for (char& byte : bytes)
                byte = static_cast<char>(random());
            break;
        case 1: {  // plausible records with random lengths and contents
            const uint32_t records = pick(8);
            for (uint32_t r = 0; r < records; ++r) {
                std::u16string text(pick(r == 1 ? 5000 : 150), u'\0');
                for (char16_t& unit : text)
                    unit = static_cast<char16_t>(pick(4) == 0 ? random() : 0x20 + pick(0x60));
                bytes += record(text, pick(4) == 0 ? kNul : std::string());
            }
            break;
        }
        default: {  // a valid file with bytes flipped, cut, or a length rewritten
            bytes = CommandFile::encode(u"自定义转换", {"/a/b.avi", "/c/\xff.mp4", std::string(300, 'x')});
            for (uint32_t flips = pick(6); flips > 0; --flips)
                bytes[pick(static_cast<uint32_t>(bytes.size()))] = static_cast<char>(random());
            bytes.resize(pick(static_cast<uint32_t>(bytes.size()) + 1));
            break;
        }
        }
        const CommandFile::Contents contents = CommandFile::parse(bytes);
        if (contents.status != CommandFile::Status::Ok)
            continue;
        EXPECT_LE(contents.selector.size(), CommandFile::kSelectorChars) << "seed " << seed;
        for (const CommandFile::Path& path : contents.paths) {
            EXPECT_LE(path.bytes.size(), CommandFile::kMaxPathBytes) << "seed " << seed;
            EXPECT_EQ(path.skipped, !path.shown.empty()) << "seed " << seed;
        }
    }
}

}  // namespace
