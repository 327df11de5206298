#include "app/MediaFileCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using app::MediaFileCheck;
using namespace std::string_literals;

// The first bytes of a file of each kind, padded as a real file would continue.
std::string head(std::string start, std::size_t size = 64)
{
    start.resize(std::max(size, start.size()), '\x11');
    return start;
}

std::string transportStream()
{
    std::string bytes(600, '\xFF');
    for (std::size_t packet = 0; packet < bytes.size(); packet += 188)
        bytes[packet] = 0x47;
    return bytes;
}

TEST(MediaFileCheckTest, KnowsTheContainersTheEncodersRead)
{
    const struct {
        const char* name;
        std::string bytes;
    } media[] = {
        {"mp4", head("\x00\x00\x00\x18"s "ftypisom")},
        {"quicktime", head("\x00\x00\x00\x08"s "wide")},
        {"matroska", head("\x1A\x45\xDF\xA3"s)},
        {"avi", head("RIFF\x10\x00\x00\x00"s "AVI LIST")},
        {"wav", head("RIFF\x10\x00\x00\x00"s "WAVEfmt ")},
        {"asf", head("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9"s)},
        {"flv", head("FLV\x01\x05"s)},
        {"mpeg-ps", head("\x00\x00\x01\xBA\x44"s)},
        {"mpeg-ts", transportStream()},
        {"ogg", head("OggS\x00\x02"s)},
        {"realmedia", head(".RMF\x00\x00"s)},
        {"mp3 with tag", head("ID3\x03\x00"s)},
        {"mp3 frame", head("\xFF\xFB\x90\x64"s)},
        {"aac adts", head("\xFF\xF1\x50\x80"s)},
        {"flac", head("fLaC\x00"s)},
        {"aiff", head("FORM\x00\x00\x10\x00"s "AIFFCOMM")},
        {"ac3", head("\x0B\x77\x3C\x2F"s)},
        {"amr", head("#!AMR\n"s)},
    };
    for (const auto& c : media)
        EXPECT_TRUE(MediaFileCheck::hasMediaSignature(c.bytes)) << c.name;

    const struct {
        const char* name;
        std::string bytes;
    } other[] = {
        {"empty", ""},
        {"text", head("just some notes\n")},
        {"zip", head("PK\x03\x04"s)},
        {"png", head("\x89PNG\r\n\x1A\n"s)},
        {"webp is riff too", head("RIFF\x10\x00\x00\x00"s "WEBPVP8 ")},
        {"pdf", head("%PDF-1.7")},
        {"one ts sync byte", head("\x47\x40\x00\x10"s, 600)},
        {"ff then no frame", head("\xFF\xFF\xFF\xFF"s)},
        {"mp3 sync with a bad bit rate", head("\xFF\xFB\xF0\x64"s)},
        {"cut mp4", "\x00\x00\x00\x18" "ft"s},
    };
    for (const auto& c : other)
        EXPECT_FALSE(MediaFileCheck::hasMediaSignature(c.bytes)) << c.name;
}

// Content decides for a name without an extension; a media extension is enough by itself; only
// regular files count, and none is waited on.
TEST(MediaFileCheckTest, FilesAreJudgedByContentOrName)
{
    testsupport::TempDir dir;
    const std::string mp4 = head("\x00\x00\x00\x18"s "ftypmp42");
    testsupport::writeBytes(dir.path() / "clip", {mp4.begin(), mp4.end()});
    testsupport::writeText(dir.path() / "notes", "text");
    testsupport::writeText(dir.path() / "RECORDING.MKV", "still being written");
    testsupport::writeText(dir.path() / "film.txt", mp4);
    fs::create_directory(dir.path() / "folder.mp4");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.mp4").c_str(), 0600), 0);

    EXPECT_TRUE(MediaFileCheck::isMediaFile(dir.path() / "clip"));
    EXPECT_TRUE(MediaFileCheck::isMediaFile(dir.path() / "film.txt"));
    EXPECT_TRUE(MediaFileCheck::isMediaFile(dir.path() / "RECORDING.MKV"));
    EXPECT_FALSE(MediaFileCheck::isMediaFile(dir.path() / "notes"));
    EXPECT_FALSE(MediaFileCheck::isMediaFile(dir.path() / "folder.mp4"));
    EXPECT_FALSE(MediaFileCheck::isMediaFile(dir.path() / "pipe.mp4"));
    EXPECT_FALSE(MediaFileCheck::isMediaFile(dir.path() / "missing.mp4"));
}

}  // namespace
