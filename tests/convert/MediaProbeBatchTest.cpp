#include "convert/MediaProbeBatch.h"

#include <gtest/gtest.h>

using convert::MediaProbeBatch;

namespace {

std::string section(int index, const std::string& name, const std::string& kind = "Video: h264, 160x120")
{
    const std::string n = std::to_string(index);
    return "Input #" + n + ", mov,mp4,m4a,3gp,3g2,mj2, from 'file:" + name + "':\n"
           "  Duration: 00:00:0" + n + ".00, start: 0.000000, bitrate: 1 kb/s\n"
           "  Stream #" + n + ":0: " + kind + "\n";
}

const std::vector<std::string> kInputs = {"file:/v/a.mp4", "file:/v/b.mp3", "file:/v/c.bin", "file:/v/d.mp4"};

TEST(MediaProbeBatchTest, AnswersComeInOrderAsEachSectionCloses)
{
    MediaProbeBatch batch(kInputs);
    EXPECT_FALSE(batch.takeAnswer());
    batch.feed(section(0, "/v/a.mp4"));
    // Input 0's section may still go on: no answer until a later line closes it.
    EXPECT_FALSE(batch.takeAnswer());
    // The next header's line closes it, once that line is whole.
    const std::string next = section(1, "/v/b.mp3");
    const size_t headerEnd = next.find('\n') + 1;
    batch.feed(next.substr(0, 17));
    EXPECT_FALSE(batch.takeAnswer());
    batch.feed(next.substr(17, headerEnd - 17));
    auto first = batch.takeAnswer();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->index, 0u);
    EXPECT_EQ(first->info.info, "Video: h264, 160x120");
    EXPECT_FALSE(batch.takeAnswer());

    batch.feed(next.substr(headerEnd));
    batch.feed("  Stream #1:0: Audio: mp3, 44100 Hz\nfile:/v/c.bin: Invalid data found when processing input\n");
    // The reason line closes nothing: ffmpeg may be ending, or not; the end of its output tells.
    EXPECT_FALSE(batch.takeAnswer());
    batch.finish();
    auto second = batch.takeAnswer();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->index, 1u);
    EXPECT_EQ(second->info.durationMillis, 1000);
    EXPECT_EQ(second->info.info, "Video: h264, 160x120 Audio: mp3, 44100 Hz");
    // The input ffmpeg could not open fails; the one after it was never asked about.
    auto third = batch.takeAnswer();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->index, 2u);
    EXPECT_FALSE(third->info.ok);
    EXPECT_FALSE(batch.takeAnswer());
}

TEST(MediaProbeBatchTest, OutputCutShortAnswersOnlyClosedSections)
{
    // Without finish() (the run was interrupted), the last section seen may be incomplete and the
    // missing inputs may have been about to come: neither is answered.
    MediaProbeBatch cut(kInputs);
    cut.feed(section(0, "/v/a.mp4") + section(1, "/v/b.mp3", "Audio: mp3"));
    auto first = cut.takeAnswer();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->info.ok);
    EXPECT_FALSE(cut.takeAnswer());

    // Every input opened and the closing complaint: all answered before the output even ends.
    MediaProbeBatch whole({"file:/v/a.mp4", "file:/v/b.mp3"});
    whole.feed(section(0, "/v/a.mp4") + section(1, "/v/b.mp3", "Audio: mp3") +
               "At least one output file must be specified\n");
    ASSERT_TRUE(whole.takeAnswer());
    auto audio = whole.takeAnswer();
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->index, 1u);
    EXPECT_FALSE(audio->info.ok);  // audio only
    whole.finish();
    EXPECT_FALSE(whole.takeAnswer());

    // The output's last line, without its line break, is a header all the same: the input after
    // it is the one that failed.
    MediaProbeBatch unended({"file:/v/a.mp4", "file:/v/b.mp3", "file:/v/c.bin"});
    const std::string second = section(1, "/v/b.mp3");
    unended.feed(section(0, "/v/a.mp4") + second.substr(0, second.find('\n')));
    unended.finish();
    ASSERT_TRUE(unended.takeAnswer());
    ASSERT_TRUE(unended.takeAnswer());
    auto afterHeader = unended.takeAnswer();
    ASSERT_TRUE(afterHeader);
    EXPECT_EQ(afterHeader->index, 2u);

    // A run that printed nothing at all (a crash at start): the first input fails, alone.
    MediaProbeBatch silent(kInputs);
    silent.finish();
    auto failed = silent.takeAnswer();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->index, 0u);
    EXPECT_FALSE(failed->info.ok);
    EXPECT_FALSE(silent.takeAnswer());
}

}  // namespace
