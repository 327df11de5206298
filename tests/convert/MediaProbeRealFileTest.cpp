// The media probe against real files made by this machine's ffmpeg: files whose answer is long
// (thousands of tags, hundreds of chapters, as audiobooks and DVD rips have) or whose tags and
// names hold the probe's own markers, and several files asked about in one run.
#include "convert/EncoderBinding.h"
#include "convert/MediaInfoParser.h"
#include "convert/convertFile.h"
#include "convert/convertFileInfoThread.h"
#include "platform/core/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <condition_variable>
#include <map>
#include <mutex>

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

TEST_F(RealProbeTest, OneRunAnswersUpToTheFileItCannotOpenAndTheListGetsEveryAnswer)
{
    const std::filesystem::path good = makeClip("good.mkv", 0, 0);
    const std::filesystem::path other = makeClip("other.mkv", 0, 0);
    const std::filesystem::path song = dir_.path() / "song.mp3";
    ffmpeg({"-f", "lavfi", "-i", "sine=duration=2", "-y", "file:" + song.string()});
    // The index of an MP4 written the usual way comes last: its start alone is no media file.
    const std::filesystem::path whole = dir_.path() / "whole.mp4";
    ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=10", "-c:v", "mpeg4", "-y",
            "file:" + whole.string()});
    const std::filesystem::path cut = dir_.path() / "cut.mp4";
    {
        std::ifstream in(whole, std::ios::binary);
        std::string start(30000, '\0');
        in.read(start.data(), static_cast<std::streamsize>(start.size()));
        std::ofstream(cut, std::ios::binary).write(start.data(), in.gcount());
    }
    ASSERT_FALSE(probe(cut).ok);

    // ffmpeg stops at the cut file: one run answers the files before it and the cut one itself.
    const std::vector<std::string> run = {good.string(), song.string(), cut.string(), other.string()};
    std::map<size_t, MediaInfo> answers;
    platform::ChildProcess process;
    convertFileInfoThread::probeAll(EncoderBinding::instance(), run, process,
                                    [&](size_t index, const MediaInfo& info) { answers[index] = info; });
    ASSERT_EQ(answers.size(), 3u);
    expectThreeSecondClip(answers[0]);
    EXPECT_FALSE(answers[1].ok);  // audio only
    EXPECT_FALSE(answers[2].ok);

    // Through the list's worker, every file gets what its own probe gives.
    const std::vector<std::filesystem::path> files = {good, other, cut, whole, song, good, other};
    std::vector<std::unique_ptr<convert::convertFile>> jobs;
    std::mutex mutex;
    std::condition_variable changed;
    size_t published = 0;
    convertFileInfoThread worker;
    worker.setDisposed(true);
    worker.start([&] {
        std::lock_guard lock(mutex);
        ++published;
        changed.notify_all();
    });
    for (const auto& file : files) {
        jobs.push_back(std::make_unique<convert::convertFile>());
        jobs.back()->setDisposed(true);
        jobs.back()->setSource(file.string(), 1);
        worker.enqueue(jobs.back().get());
    }
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(60), [&] { return published == files.size(); }));
    }
    worker.stop();
    for (size_t index = 0; index < files.size(); ++index) {
        SCOPED_TRACE(files[index].string());
        const MediaInfo alone = probe(files[index]);
        std::string text;
        jobs[index]->getMediaInfo(text);
        EXPECT_EQ(text, alone.ok ? alone.info : convert::convertFile::kBadFileText);
        EXPECT_EQ(jobs[index]->getState(),
                  alone.ok ? convert::JobState::Waiting : convert::JobState::ProbeFailed);
    }
    EXPECT_EQ(jobs[3]->getDurationSeconds(), 10u);
}

}  // namespace
