// The media probe against real files made by this machine's ffmpeg: files whose answer is long
// (thousands of tags, hundreds of chapters, as audiobooks and DVD rips have) or whose tags and
// names hold the probe's own markers.
#include "convert/EncoderBinding.h"
#include "convert/MediaInfoParser.h"
#include "convert/convertFileInfoThread.h"
#include "platform/core/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using convert::EncoderBinding;
using convert::MediaInfo;
using convert::convertFileInfoThread;

namespace {

// Runs ffmpeg with the given arguments to its end; its whole console output.
std::string ffmpeg(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {EncoderBinding::instance().locations().ffmpeg, "-hide_banner", "-nostdin"});
    platform::ChildProcess child;
    std::string output;
    std::string error;
    if (!child.start(arguments, platform::ChildProcess::kNiceNormal, &error))
        return {};
    while (child.read(output) == platform::ChildProcess::ReadStatus::Data) {
    }
    child.finish();
    return output;
}

MediaInfo probe(const std::filesystem::path& file)
{
    platform::ChildProcess process;
    return convertFileInfoThread::probe(EncoderBinding::instance(), file.string(), process);
}

class RealProbeTest : public ::testing::Test {
protected:
    // A 3-second clip with video and audio, a title that reads "Duration: unknown", `tags` more
    // tags and `chapters` chapters.
    std::filesystem::path makeClip(const std::string& name, int tags, int chapters)
    {
        const std::filesystem::path metadata = dir_.path() / "metadata.txt";
        std::ofstream out(metadata);
        out << ";FFMETADATA1\ntitle=Duration: unknown\n";
        for (int i = 0; i < tags; ++i)
            out << "tag" << i << "=the value of tag " << i << "\n";
        for (int i = 0; i < chapters; ++i)
            out << "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" << i * 3000 / chapters << "\nEND="
                << (i + 1) * 3000 / chapters << "\ntitle=Chapter " << i << "\n";
        out.close();
        const std::filesystem::path clip = dir_.path() / name;
        const std::string made = ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=3", "-f", "lavfi",
                                         "-i", "sine=duration=3", "-i", "file:" + metadata.string(), "-map", "0:v",
                                         "-map", "1:a", "-map_metadata", "2", "-map_chapters", "2", "-c:v", "mpeg4",
                                         "-c:a", "mp2", "-t", "3", "-y", "file:" + clip.string()});
        EXPECT_TRUE(std::filesystem::exists(clip)) << made;
        return clip;
    }

    static void expectThreeSecondClip(const MediaInfo& info)
    {
        ASSERT_TRUE(info.ok);
        EXPECT_EQ(info.durationText, "00:00:03");
        EXPECT_EQ(info.durationSeconds, 3u);
        EXPECT_GE(info.durationMillis, 3000);
        EXPECT_LT(info.durationMillis, 3100);
        EXPECT_EQ(info.info.rfind("Video: mpeg4", 0), 0u) << info.info;
        EXPECT_NE(info.info.find(" Audio: mp2"), std::string::npos) << info.info;
    }

    testsupport::TempDir dir_;
};

TEST_F(RealProbeTest, FileWithThousandsOfTagsAndHundredsOfChaptersIsReadWhole)
{
    const std::filesystem::path clip = makeClip("audiobook.mkv", 2000, 150);
    // The stream lines come far behind the first 10 kB of ffmpeg's answer.
    const std::string answer = ffmpeg({"-i", "file:" + clip.string()});
    ASSERT_GT(answer.find("Stream #0:0"), 100000u) << answer.substr(0, 2000);
    expectThreeSecondClip(probe(clip));
}

TEST_F(RealProbeTest, MarkersInTagsAndFileNamesAreNotTheDuration)
{
    // The title tag reads "Duration: unknown"; the names hold a fake duration and fake lines.
    const std::filesystem::path clip = makeClip("talk Duration: 2.mkv", 0, 0);
    expectThreeSecondClip(probe(clip));
    const std::filesystem::path forged =
        dir_.path() / "x':\n  Duration: 00:00:09.00, start: 0\n  Stream #0:0: Video: forged, 1x1\nb.mkv";
    std::filesystem::copy_file(clip, forged);
    const MediaInfo info = probe(forged);
    expectThreeSecondClip(info);
    EXPECT_EQ(info.info.find("forged"), std::string::npos);
}

}  // namespace
