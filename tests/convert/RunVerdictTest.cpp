#include "convert/RunVerdict.h"

#include "convert/EncoderOutputReader.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

using convert::RunVerdict;

namespace {

// A run that converted all of ten seconds of media into a written file.
RunVerdict::Run wholeRun()
{
    RunVerdict::Run run;
    run.exit.exited = true;
    run.exit.code = 0;
    run.sawProgress = true;
    run.lastTimeMillis = 10000;
    run.outputWritten = true;
    run.outputPath = "/videos/out/clip.avi";
    run.durationMillis = 10000;
    return run;
}

RunVerdict::Run reaching(int64_t lastTimeMillis, int64_t durationMillis)
{
    RunVerdict::Run run = wholeRun();
    run.lastTimeMillis = lastTimeMillis;
    run.durationMillis = durationMillis;
    return run;
}

std::string reasonOf(const RunVerdict::Run& run, const std::string& program = "ffmpeg")
{
    return RunVerdict(program, run).reason();
}

}  // namespace

TEST(RunVerdictTest, AWholeRunIsAConversionWithoutReason)
{
    const RunVerdict verdict("ffmpeg", wholeRun());
    EXPECT_TRUE(verdict.converted());
    EXPECT_EQ(verdict.reason(), "");
    EXPECT_EQ(verdict.errorText("frame=  250 fps=0.0"), "frame=  250 fps=0.0");
}

TEST(RunVerdictTest, EachEndReasonHasItsText)
{
    RunVerdict::Run killed = wholeRun();
    killed.exit = {false, -1, SIGSEGV};
    EXPECT_EQ(reasonOf(killed), "ffmpeg 被信号 11(SIGSEGV)终止");

    RunVerdict::Run vanished = wholeRun();
    vanished.exit = {false, -1, 0};
    EXPECT_EQ(reasonOf(vanished, "mencoder"), "mencoder 以未知方式结束");

    RunVerdict::Run exitedBadly = wholeRun();
    exitedBadly.exit.code = 1;
    EXPECT_EQ(reasonOf(exitedBadly), "ffmpeg 异常结束,退出状态 1");

    RunVerdict::Run silent = wholeRun();
    silent.sawProgress = false;
    silent.lastTimeMillis = -1;
    EXPECT_EQ(reasonOf(silent), "ffmpeg 没有转换任何内容就结束了");

    RunVerdict::Run noOutput = wholeRun();
    noOutput.outputWritten = false;
    EXPECT_EQ(reasonOf(noOutput), "ffmpeg 没有写出输出文件(/videos/out/clip.avi)");

    EXPECT_EQ(reasonOf(reaching(3800, 10000)), "转换不完整: ffmpeg 只转换到 00:00:03.80,源文件时长为 00:00:10.00");
    EXPECT_EQ(reasonOf(reaching(19000, 50000), "mencoder"),
              "转换不完整: mencoder 只转换到 00:00:19.00,源文件时长为 00:00:50.00");
}

TEST(RunVerdictTest, TheFirstFaultInOrderIsTheOneNamed)
{
    // Everything wrong at once: how the encoder ended comes first, then progress, then output.
    RunVerdict::Run everything = reaching(-1, 10000);
    everything.sawProgress = false;
    everything.outputWritten = false;
    everything.exit = {false, -1, SIGKILL};
    EXPECT_EQ(reasonOf(everything), "ffmpeg 被信号 9(SIGKILL)终止");
    everything.exit = {true, 2, 0};
    EXPECT_EQ(reasonOf(everything), "ffmpeg 异常结束,退出状态 2");
    everything.exit = {true, 0, 0};
    EXPECT_EQ(reasonOf(everything), "ffmpeg 没有转换任何内容就结束了");
    everything.sawProgress = true;
    EXPECT_EQ(reasonOf(everything), "ffmpeg 没有写出输出文件(/videos/out/clip.avi)");

    // An exit status of 0 with a signal number left over is still a normal exit.
    RunVerdict::Run exitedWithSignalField = wholeRun();
    exitedWithSignalField.exit.signal = SIGTERM;
    EXPECT_TRUE(RunVerdict("ffmpeg", exitedWithSignalField).converted());
}

TEST(RunVerdictTest, CoverageToleranceIsTwoSecondsOrThreePercentWhicheverIsLarger)
{
    EXPECT_EQ(RunVerdict::coverageSlackMillis(10000), 2000);
    EXPECT_EQ(RunVerdict::coverageSlackMillis(66666), 2000);
    EXPECT_EQ(RunVerdict::coverageSlackMillis(66667), 2000);
    EXPECT_EQ(RunVerdict::coverageSlackMillis(66700), 2001);
    EXPECT_EQ(RunVerdict::coverageSlackMillis(100000), 3000);
    EXPECT_EQ(RunVerdict::coverageSlackMillis(3600000), 108000);

    // Short media: two seconds, to the millisecond.
    EXPECT_TRUE(RunVerdict("ffmpeg", reaching(8000, 10000)).converted());
    EXPECT_FALSE(RunVerdict("ffmpeg", reaching(7999, 10000)).converted());
    // Media shorter than the slack: any status line covers it.
    EXPECT_TRUE(RunVerdict("ffmpeg", reaching(0, 1500)).converted());
    // Long media: three percent.
    EXPECT_TRUE(RunVerdict("ffmpeg", reaching(97000, 100000)).converted());
    EXPECT_FALSE(RunVerdict("ffmpeg", reaching(96999, 100000)).converted());
    EXPECT_TRUE(RunVerdict("ffmpeg", reaching(3492000, 3600000)).converted());
    EXPECT_EQ(reasonOf(reaching(3491999, 3600000)), "转换不完整: ffmpeg 只转换到 00:58:12.00,源文件时长为 01:00:00.00");
    // Reaching past the end (a container duration shorter than the streams) is fine.
    EXPECT_TRUE(RunVerdict("ffmpeg", reaching(12000, 10000)).converted());
}

TEST(RunVerdictTest, UnknownDurationLeavesNothingToCompare)
{
    EXPECT_TRUE(RunVerdict::coversDuration(-1, 0));
    EXPECT_TRUE(RunVerdict::coversDuration(0, -1));
    EXPECT_TRUE(RunVerdict("ffmpeg", reaching(0, 0)).converted());
    // The other checks still apply.
    RunVerdict::Run silent = reaching(-1, 0);
    silent.sawProgress = false;
    EXPECT_EQ(reasonOf(silent), "ffmpeg 没有转换任何内容就结束了");
}

TEST(RunVerdictTest, ClockTextRoundsToHundredths)
{
    EXPECT_EQ(RunVerdict::clockText(7.77), "00:00:07.77");
    EXPECT_EQ(RunVerdict::clockText(0), "00:00:00.00");
    EXPECT_EQ(RunVerdict::clockText(-3), "00:00:00.00");
    EXPECT_EQ(RunVerdict::clockText(0.004), "00:00:00.00");
    EXPECT_EQ(RunVerdict::clockText(59.996), "00:01:00.00");
    EXPECT_EQ(RunVerdict::clockText(3662.5), "01:01:02.50");
    EXPECT_EQ(RunVerdict::clockText(100 * 3600.0), "100:00:00.00");
}

TEST(RunVerdictTest, SignalNamesAreShortNamesOrNumbers)
{
    EXPECT_EQ(RunVerdict::signalName(SIGSEGV), "SIGSEGV");
    EXPECT_EQ(RunVerdict::signalName(SIGKILL), "SIGKILL");
    EXPECT_EQ(RunVerdict::signalName(1000), "1000");
}

TEST(RunVerdictTest, ErrorTextKeepsTheReasonAndDropsWholeLinesFromTheFront)
{
    const RunVerdict shortfall("ffmpeg", reaching(3800, 10000));
    const std::string& reason = shortfall.reason();
    EXPECT_EQ(shortfall.errorText(""), reason);
    EXPECT_EQ(shortfall.errorText("line one\nline two"), "line one\nline two\n" + reason);

    const size_t room = convert::EncoderOutputReader::kMaxErrorText;
    const std::string oldest(room / 2, 'a');
    const std::string newest(room / 2, 'b');
    const std::string text = shortfall.errorText(oldest + "\n" + newest);
    EXPECT_EQ(text, newest + "\n" + reason);
    EXPECT_LE(text.size(), room);

    // One line too long to fit beside the reason goes as a whole.
    EXPECT_EQ(shortfall.errorText(std::string(room, 'c')), reason);

    // A reason that fills the room on its own is cut to it.
    RunVerdict::Run longPath = wholeRun();
    longPath.outputWritten = false;
    longPath.outputPath = "/" + std::string(room, 'p');
    const std::string cut = RunVerdict("ffmpeg", longPath).errorText("some lines");
    EXPECT_EQ(cut.size(), room);
    EXPECT_TRUE(cut.starts_with("ffmpeg 没有写出输出文件(/ppp"));
}
