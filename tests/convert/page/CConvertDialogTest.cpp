// The conversion page over the real queue with the fake encoder: adding (and the refusals), start,
// the queue's end, stop and start again, the row buttons and tooltips, the "cpu" menu, and what
// follows a success (the output shown first, then the source into the trash, only when verified).
#include "app/page/CLumaretDlg.h"
#include "convert/ConversionQueue.h"
#include "convert/JobState.h"
#include "convert/EncoderCapabilities.h"
#include "convert/page/CConvertDialog.h"
#include "tests/app/page/PageTestSupport.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"

#include <gtest/gtest.h>

#include <filesystem>

using convert::CConvertDialog;
using convert::convertList;

namespace {

class ConvertPageTest : public ::testing::Test {
protected:
    ConvertPageTest() : binding(fakeencoder::binding()), window(&services, binding.get())
    {
        EXPECT_TRUE(window.initDialog());
        window.getWindow()->show();
    }

    std::string source(const std::string& name, const std::string& conversion)
    {
        return fakeencoder::writeScript(env.dir / name, "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") +
                                                            "\n" + conversion);
    }
    std::string goodSource(const std::string& name)
    {
        return source(name, "statuses 0 2 0.5\nwrite-output\nexit 0\n");
    }
    bool waitForIdle()
    {
        return pagetest::pumpUntil([&] { return !page().isConverting(); });
    }
    CConvertDialog& page() { return window.convertPage; }
    const std::vector<pagetest::Message>& messages() { return env.presenter->messages; }

    pagetest::PageEnvironment env;
    pagetest::RecordingServices services;
    std::unique_ptr<convert::EncoderBinding> binding;
    app::CLumaretDlg window;
};

}  // namespace

TEST_F(ConvertPageTest, AddStartAndDoneStepByStep)
{
    EXPECT_EQ(page().startButton().caption(), CConvertDialog::kStartText);
    EXPECT_EQ(page().overallBar().maxPos, 20);

    page().addFile(goodSource("a.mp4"), nullptr);
    page().addFile(goodSource("b.mp4"), nullptr);
    ASSERT_EQ(page().rowCount(), 2);
    EXPECT_EQ(page().countWaiting(), 2);
    EXPECT_EQ(page().countFinished(), 0);
    EXPECT_EQ(profile::profileNameOf(page().list().jobAt(0)->getProfile()), window.profilePage.defaultProfileName());

    page().startOrStop();
    EXPECT_TRUE(page().isConverting());
    EXPECT_TRUE(page().list().isConverting());
    EXPECT_EQ(page().startButton().caption(), CConvertDialog::kStopText);
    EXPECT_EQ(page().startButton().textColor(), CConvertDialog::kButtonTextColor);
    EXPECT_EQ(page().overallBar().maxPos, 2);
    EXPECT_EQ(page().overallBar().pos, 0);
    EXPECT_EQ(page().findConvertingJob(), page().list().jobAt(0));

    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(page().list().jobAt(0)->getState(), convert::JobState::Done);
    EXPECT_EQ(page().list().jobAt(1)->getState(), convert::JobState::Done);
    EXPECT_EQ(page().countFinished(), 2);
    EXPECT_EQ(page().overallBar().pos, 2);
    EXPECT_EQ(page().startButton().caption(), CConvertDialog::kStartText);
    EXPECT_FALSE(page().list().isConverting());
    EXPECT_EQ(window.countLine(), "共有 2 个文件,已经完成 2 个文件");
    // No options set: nothing shown, nothing moved, no countdown. The machine was kept awake
    // while converting only.
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(services.awake, (std::vector<bool>{true, false}));
    EXPECT_TRUE(messages().empty());

    // Only finished rows left: "start" says there is nothing to convert and stays idle.
    page().startOrStop();
    EXPECT_FALSE(page().isConverting());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, CConvertDialog::kNothingToConvert);
    EXPECT_EQ(messages()[0].flags, platform::MessageError);
}

TEST_F(ConvertPageTest, AFailedJobCountsAndTheQueueMovesOn)
{
    page().addFile(source("bad.mp4", "say Conversion failed!\nexit 1\n"), nullptr);
    page().addFile(goodSource("good.mp4"), nullptr);
    page().startOrStop();
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(page().list().jobAt(0)->getState(), convert::JobState::Failed);
    EXPECT_EQ(page().list().jobAt(1)->getState(), convert::JobState::Done);
    EXPECT_EQ(page().overallBar().pos, 2);

    // The failed row's tooltip on line 2 carries the encoder's words, its status "转换失败".
    page().list().selectRow(0);
    RECT status{};
    ASSERT_TRUE(page().list().getCellRect(0, convertList::StatusColumn, status));
    std::string tip;
    ASSERT_TRUE(page().list().tooltipAt(POINT{status.left + 3, status.top + 3}, tip));
    EXPECT_EQ(tip, "转换失败");
    RECT source{};
    ASSERT_TRUE(page().list().getCellRect(0, convertList::SourceColumn, source));
    ASSERT_TRUE(page().list().tooltipAt(POINT{source.left + 5, source.top + 27 + 3}, tip));
    EXPECT_NE(tip.find("Conversion failed!"), std::string::npos) << tip;
    ASSERT_TRUE(page().list().tooltipAt(POINT{source.left + 5, source.top + 2 * 27 + 3}, tip));
    EXPECT_EQ(tip.rfind("输出目录: ", 0), 0u) << tip;
    EXPECT_FALSE(page().list().tooltipAt(POINT{source.left + 5, source.top + 3 * 27 + 3}, tip));
}

TEST_F(ConvertPageTest, StopAsksAndAStoppedJobWaitsAndConvertsAgainIntoANewName)
{
    const std::string path = source("slow.mp4", "status 0.5\nwrite-output\nhang\n");
    page().addFile(path, nullptr);
    page().startOrStop();
    convert::convertFile* job = page().list().jobAt(0);

    env.presenter->answer = platform::kAnswerNo;
    page().startOrStop();
    EXPECT_TRUE(page().isConverting());
    EXPECT_EQ(messages().back().text, CConvertDialog::kStopQuestion);
    EXPECT_EQ(messages().back().flags, platform::MessageQuestion | platform::MessageYesNo);

    env.presenter->answer = platform::kAnswerYes;
    page().startOrStop();
    EXPECT_FALSE(page().isConverting());
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
    EXPECT_EQ(page().startButton().caption(), CConvertDialog::kStartText);
    EXPECT_EQ(page().overallBar().pos, 0);
    EXPECT_EQ(page().countFinished(), 0);

    page().startOrStop();
    EXPECT_TRUE(page().isConverting());
    EXPECT_EQ(job->getState(), convert::JobState::Converting);
    page().stopAll();
    EXPECT_FALSE(page().isConverting());
    EXPECT_EQ(job->getState(), convert::JobState::Waiting);
}

TEST_F(ConvertPageTest, RefusalsWhileConvertingAndForFilesThatCannotBeRead)
{
    page().addFile((env.dir / "missing.mp4").string(), nullptr);
    page().addFile(env.dir.path().string(), nullptr);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, "读取文件 " + (env.dir / "missing.mp4").string() + " 失败!");
    EXPECT_EQ(messages()[0].flags, platform::MessageError);
    EXPECT_EQ(messages()[1].text, "读取文件 " + env.dir.path().string() + " 失败!");
    EXPECT_EQ(page().rowCount(), 0);

    page().addFile(source("slow.mp4", "status 0.5\nhang\n"), nullptr);
    page().startOrStop();
    page().list().selectRow(0);
    page().addFile(goodSource("late.mp4"), nullptr);
    EXPECT_EQ(messages().back().text, CConvertDialog::kAddWhileConverting);
    EXPECT_EQ(messages().back().flags, 16);
    page().deleteSelected();
    EXPECT_EQ(messages().back().text, CConvertDialog::kDeleteWhileConverting);
    EXPECT_EQ(messages().back().flags, platform::MessageInfo);
    EXPECT_EQ(page().rowCount(), 1);

    // Change output and change profile are off on every row while converting.
    EXPECT_FALSE(page().list().button(convertList::kChangeOutput)->isEnabled());
    EXPECT_FALSE(page().list().button(convertList::kChangeProfile)->isEnabled());
    EXPECT_FALSE(page().list().button(convertList::kPreview)->isEnabled());
    EXPECT_TRUE(page().list().button(convertList::kPlay)->isEnabled());
    page().stopAll();

    page().deleteSelected();
    EXPECT_EQ(page().rowCount(), 0);
}

TEST_F(ConvertPageTest, DroppedFilesStartTheQueueWhenTheOptionsSaySo)
{
    app::OptionSettings options = window.options();
    options.autoConvertOnAdd = 1;
    window.applySettings(options);
    page().dropFiles({goodSource("one.mp4"), (env.dir / "gone.mp4").string(), goodSource("two.mp4")});
    EXPECT_EQ(page().rowCount(), 2);
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_TRUE(page().isConverting());
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(page().countFinished(), 2);
}

// A drop of many unreadable files brings one box, and so does a drop while converting.
TEST_F(ConvertPageTest, ADropTellsItsRefusalsInOneBox)
{
    std::vector<std::string> dropped;
    for (int i = 0; i < 200; ++i)
        dropped.push_back((env.dir / ("gone" + std::to_string(i) + ".mp4")).string());
    dropped.push_back(goodSource("one.mp4"));
    page().dropFiles(dropped);
    EXPECT_EQ(page().rowCount(), 1);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find("另有 195 个文件无法读取。"), std::string::npos) << messages()[0].text;
}

TEST_F(ConvertPageTest, AfterASuccessTheOutputIsShownFirstThenTheSourceGoesToTheTrash)
{
    app::OptionSettings options = window.options();
    options.openOutputOnSuccess = 1;
    options.deleteSourceOnSuccess = 1;
    window.applySettings(options);
    const std::string good = goodSource("keep-or-trash.mp4");
    // Exit status 0 without an output file is no success: its source is never touched.
    const std::string noOutput = source("no-output.mp4", "statuses 0 2 0.5\nexit 0\n");
    page().addFile(good, nullptr);
    page().addFile(noOutput, nullptr);
    page().startOrStop();
    ASSERT_TRUE(waitForIdle());
    ASSERT_EQ(page().list().jobAt(0)->getState(), convert::JobState::Done);
    ASSERT_EQ(services.calls.size(), 2u);
    EXPECT_EQ(services.calls[0], "show " + page().list().jobAt(0)->getOutputPath());
    EXPECT_EQ(services.calls[1], "trash " + good);
    EXPECT_NE(page().list().jobAt(1)->getState(), convert::JobState::Done);
}

TEST_F(ConvertPageTest, CpuMenuChecksTheCurrentPriorityAndAppliesTheChoice)
{
    auto items = page().cpuMenuItems();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].text, "线程优先级-最高");
    EXPECT_TRUE(items[2].checked);  // normal at start-up
    EXPECT_EQ(items[4].id, 0u);     // separator
    page().onMenuCommand(CConvertDialog::kMenuIdle);
    EXPECT_EQ(page().queue().priorityClass(), convert::PriorityIdle);
    items = page().cpuMenuItems();
    EXPECT_TRUE(items[3].checked);
    EXPECT_FALSE(items[2].checked);
    page().onMenuCommand(CConvertDialog::kMenuNormal);
}

TEST_F(ConvertPageTest, RowButtonsActOnTheSelectedRow)
{
    const std::string path = goodSource("row.mp4");
    page().addFile(path, nullptr);
    page().rowAction(convertList::kPlay);
    EXPECT_TRUE(services.calls.empty()) << "no row selected";
    page().list().selectRow(0);
    page().rowAction(convertList::kPlay);
    services.folder = (env.dir / "elsewhere").string();
    page().rowAction(convertList::kChangeOutput);
    ASSERT_EQ(services.calls.size(), 2u);
    EXPECT_EQ(services.calls[0], "open " + path);
    EXPECT_EQ(services.calls[1], std::string("choose ") + CConvertDialog::kChooseFolderTitle);
    EXPECT_EQ(page().list().jobAt(0)->getTargetFolder(), services.folder);
    EXPECT_TRUE(page().list().button(convertList::kChangeOutput)->isEnabled());

    // The chooser opens in the row's output folder as it is now.
    std::filesystem::create_directories(services.folder);
    page().rowAction(convertList::kChangeOutput);
    EXPECT_EQ(services.folderStarts, (std::vector<std::string>{env.dir.path().string(), services.folder}));
}

TEST_F(ConvertPageTest, OpenButtonsThatOpenNothingSaySoNamingTheFile)
{
    const std::string path = goodSource("tell.mp4");
    page().addFile(path, nullptr);
    page().list().selectRow(0);
    std::string output = page().list().jobAt(0)->getOutputPath();
    std::string outputName = std::filesystem::path(output).filename().string();
    const auto lastNotice = [&] { return messages().empty() ? std::string() : messages().back().text; };

    // No output yet: the desktop is not even asked.
    page().rowAction(convertList::kPreview);
    page().rowAction(convertList::kOpenOutput);
    EXPECT_TRUE(services.calls.empty());
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, convert::OpenTarget::notice(convert::OpenTarget::Outcome::Missing,
                                                               convert::OpenTarget::Action::Open, output));
    EXPECT_NE(messages()[0].text.find(outputName), std::string::npos);
    EXPECT_EQ(messages()[0].flags, platform::MessageInfo);

    // No program for the source.
    services.desktopTakes = false;
    page().rowAction(convertList::kPlay);
    EXPECT_EQ(services.calls, std::vector<std::string>{"open " + path});
    EXPECT_EQ(lastNotice(), "没有可以打开文件 tell.mp4 的程序。");

    // Converted: no file manager shows the output; once it is gone, that is what is told.
    page().startOrStop();
    ASSERT_TRUE(waitForIdle());
    ASSERT_EQ(page().list().jobAt(0)->getState(), convert::JobState::Done);
    output = page().list().jobAt(0)->getOutputPath();
    outputName = std::filesystem::path(output).filename().string();
    ASSERT_TRUE(std::filesystem::exists(output)) << output;
    services.calls.clear();
    page().rowAction(convertList::kOpenOutput);
    EXPECT_EQ(services.calls, std::vector<std::string>{"show " + output});
    EXPECT_EQ(lastNotice(), "无法在文件管理器中显示文件 " + outputName + "。");
    services.desktopTakes = true;
    const std::size_t told = messages().size();
    page().rowAction(convertList::kPreview);
    EXPECT_EQ(messages().size(), told) << "an opened file is not told";
    std::filesystem::remove(output);
    page().rowAction(convertList::kPreview);
    EXPECT_EQ(lastNotice(), "文件 " + outputName + " 已不存在,可能已被移动或删除。");
}

// The page asks the queue, which alone holds the converting mode: a waiting row may not change
// while the queue converts, and the chooser is not even opened.
TEST_F(ConvertPageTest, ChangeOutputAndProfileAreRefusedWhileConverting)
{
    page().addFile(source("slow.mp4", "status 0.5\nhang\n"), nullptr);
    page().addFile(goodSource("next.mp4"), nullptr);
    page().startOrStop();
    ASSERT_TRUE(page().queue().isConverting());
    page().list().selectRow(1);
    services.folder = (env.dir / "elsewhere").string();
    page().rowAction(convertList::kChangeOutput);
    page().rowAction(convertList::kChangeProfile);
    EXPECT_TRUE(services.calls.empty());
    EXPECT_EQ(page().list().jobAt(1)->getTargetFolder(), "");
    EXPECT_EQ(page().list().jobAt(1)->getState(), convert::JobState::Waiting);

    page().stopAll();
    EXPECT_FALSE(page().list().isConverting());
    page().rowAction(convertList::kChangeOutput);
    EXPECT_EQ(page().list().jobAt(1)->getTargetFolder(), services.folder);
}

TEST_F(ConvertPageTest, ApplyProfileReplacesTheRecordOfJobsOfThatName)
{
    page().addFile(goodSource("p.mp4"), nullptr);
    const std::string name = window.profilePage.defaultProfileName();
    profile::ProfileRecord changed = page().list().jobAt(0)->getProfile();
    changed.videoBitrate = 1234;
    page().applyProfile(name, changed);
    EXPECT_EQ(page().list().jobAt(0)->getProfile().videoBitrate, 1234);
    page().applyProfile("no such profile", profile::makeEmptyProfileRecord());
    EXPECT_EQ(page().list().jobAt(0)->getProfile().videoBitrate, 1234);
}

TEST(ConvertListTest, SizesAndStatusTexts)
{
    EXPECT_EQ(convertList::sizeText(0), "0.00");
    EXPECT_EQ(convertList::sizeText(1048576), "1.00");
    EXPECT_EQ(convertList::sizeText(1572864), "1.50");
    EXPECT_EQ(convertList::statusText(convert::JobState::Waiting), "等待转换");
    EXPECT_EQ(convertList::statusText(convert::JobState::ProbeFailed), "转换错误");
    EXPECT_EQ(convertList::statusText(convert::JobState::Done), "转换完成");
    EXPECT_EQ(convertList::statusText(convert::JobState::Stopping), "");
}

TEST_F(ConvertPageTest, TheEndOfTheQueueRunsTheCountdownWhenAskedAfterReleasingTheInhibitors)
{
    window.convertPage.onMenuCommand(CConvertDialog::kMenuShutdown);
    page().addFile(goodSource("last.mp4"), nullptr);
    page().startOrStop();
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(services.calls, (std::vector<std::string>{"countdown"}));
    // Stopping by hand never counts down.
    page().addFile(source("slow.mp4", "status 0.5\nhang\n"), nullptr);
    page().startOrStop();
    page().startOrStop();
    EXPECT_EQ(services.calls.size(), 1u);
}

// With two files at once the bar counts each finished file, every success is followed up, and
// the countdown comes once, after the last encoder has ended.
TEST_F(ConvertPageTest, TwoAtOnceCountEveryFileAndCountDownOnceAfterTheLast)
{
    if (convert::ConversionQueue::processorCount() < 2)
        GTEST_SKIP() << "one processor: a second file at once is never offered";
    app::OptionSettings options = window.options();
    options.filesAtOnce = 2;
    options.openOutputOnSuccess = 1;
    options.shutdownWhenDone = 1;
    ASSERT_TRUE(window.optionPage.applySettings(options));
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"})
        page().addFile(goodSource(name), nullptr);
    page().addFile(source("broken.mp4", "banner\nsay Unknown encoder 'libfaac'\nexit 1\n"), nullptr);
    page().startOrStop();
    EXPECT_EQ(page().countConverting(), 2);
    EXPECT_EQ(page().overallBar().maxPos, 4);
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(page().overallBar().pos, 4);
    EXPECT_EQ(page().countFinished(), 4);
    EXPECT_EQ(page().list().jobAt(3)->getState(), convert::JobState::Failed);
    // Three outputs shown, in the order their files ended, then the countdown, machine released.
    ASSERT_EQ(services.calls.size(), 4u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(services.calls[i].rfind("show ", 0), 0u) << services.calls[i];
    EXPECT_EQ(services.calls.back(), "countdown");
}

TEST_F(ConvertPageTest, HostileFileNamesConvertOneAfterAnother)
{
    const std::vector<std::string> names = {"it's \"quoted\".mp4", "-leading dash.mp4", "new\nline.mp4",
                                            "视频 文件.mp4", std::string(243, 'n') + ".mp4"};
    for (const std::string& name : names)
        page().addFile(goodSource(name), nullptr);
    ASSERT_EQ(page().rowCount(), static_cast<int>(names.size()));
    EXPECT_TRUE(messages().empty());
    page().startOrStop();
    ASSERT_TRUE(waitForIdle());
    for (int row = 0; row < page().rowCount(); ++row) {
        convert::convertFile* job = page().list().jobAt(row);
        EXPECT_EQ(job->getState(), convert::JobState::Done) << names[static_cast<size_t>(row)];
        // The tooltip of the source cell is the full path, whatever it holds.
        page().list().selectRow(-1);
        RECT source{};
        ASSERT_TRUE(page().list().getCellRect(row, convertList::SourceColumn, source));
        std::string tip;
        ASSERT_TRUE(page().list().tooltipAt(POINT{source.left + 5, source.top + 3}, tip));
        EXPECT_EQ(tip, (env.dir / names[static_cast<size_t>(row)]).string());
    }
}

TEST_F(ConvertPageTest, AFileDropAddsOnceTheDropHasEndedAndRefusesFolders)
{
    std::vector<std::string> dropped{goodSource("dropped.mp4"), env.dir.path().string()};
    EXPECT_TRUE(page().onMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&dropped), 0));
    EXPECT_EQ(page().rowCount(), 0) << "nothing is added inside the drop itself";
    dropped.clear();  // the dropped list lives for the message only
    ASSERT_TRUE(pagetest::pumpUntil([&] { return page().rowCount() == 1 && messages().size() == 1; }));
    EXPECT_EQ(messages()[0].text, "读取文件 " + env.dir.path().string() + " 失败!");
    EXPECT_FALSE(page().isConverting());
}

TEST_F(ConvertPageTest, AProbeFailureDuringAConversionIsCountedAndStartsNothing)
{
    page().addFile(source("slow.mp4", "status 0.5\nhang\n"), nullptr);
    // The second file's probe takes a moment, so it fails while the first one converts.
    const std::string bad = fakeencoder::writeScript(env.dir / "bad.mp4", "probe: sleep 300\nprobe: exit 1\n");
    page().addFile(bad, nullptr);
    page().startOrStop();
    convert::convertFile* first = page().list().jobAt(0);
    convert::convertFile* second = page().list().jobAt(1);
    ASSERT_TRUE(pagetest::pumpUntil([&] { return second->getState() == convert::JobState::ProbeFailed; }));
    ASSERT_TRUE(pagetest::pumpUntil([&] { return page().overallBar().pos == 1; }));
    EXPECT_TRUE(page().isConverting());
    EXPECT_EQ(page().findConvertingJob(), first);
    EXPECT_EQ(page().countFinished(), 1);
    EXPECT_EQ(page().startButton().caption(), CConvertDialog::kStopText);

    // Its row shows the red line and, on line 2, the fixed text of a bad file.
    page().list().selectRow(1);
    RECT cell{};
    ASSERT_TRUE(page().list().getCellRect(1, convertList::SourceColumn, cell));
    std::string tip;
    ASSERT_TRUE(page().list().tooltipAt(POINT{cell.left + 5, cell.top + 27 + 3}, tip));
    EXPECT_EQ(tip, convert::convertFile::kBadFileText);
    ASSERT_TRUE(page().list().tooltipAt(POINT{cell.left - 10, cell.top + 3}, tip));
    EXPECT_EQ(tip, "转换错误");
    page().stopAll();
}

// An encoder build without AMR: the binding converts AMR audio to AAC and says so in a note,
// which the row's tooltip shows under the stream description.
TEST(ConvertPageNotesTest, TheRowTooltipCarriesTheSubstitutionNotes)
{
    pagetest::PageEnvironment env;
    pagetest::RecordingServices services;
    convert::EncoderBinding::Locations where;
    where.ffmpeg = where.mencoder = LUMARET_FAKE_ENCODER;
    where.ffmpegFound = where.mencoderFound = true;
    const convert::EncoderBinding noAmr(where, convert::EncoderCapabilities::of({"h263", "mpeg4", "aac"}, {"3gp"}));
    app::CLumaretDlg window(&services, &noAmr);
    ASSERT_TRUE(window.initDialog());
    const profile::ProfileRecord* amr = window.profilePage.findProfileByName("3gp 176x144 h263");
    ASSERT_NE(amr, nullptr);
    window.convertPage.addFile(fakeencoder::writeScript(env.dir / "amr.avi", "probe: cat " +
                                                            testfixtures::path("probe-mp4-av-mp4.txt") +
                                                            "\nstatuses 0 2 0.5\nwrite-output\nexit 0\n"),
                               amr);
    window.convertPage.startOrStop();
    ASSERT_TRUE(pagetest::pumpUntil([&] { return !window.convertPage.isConverting(); }));
    convertList& list = window.convertPage.list();
    list.selectRow(0);
    RECT cell{};
    ASSERT_TRUE(list.getCellRect(0, convertList::SourceColumn, cell));
    std::string tip;
    ASSERT_TRUE(list.tooltipAt(POINT{cell.left + 5, cell.top + 27 + 3}, tip));
    EXPECT_NE(tip.find('\n'), std::string::npos) << tip;
    EXPECT_NE(tip.find("AAC"), std::string::npos) << tip;
}

// A converting row tells its encoder's speed and its time left in the progress cell's tooltip (and
// on its second line when selected), and the main window's status line tells the queue's. The
// encoder states 2.5x at 1 s of a 2 s file, so 0.4 s of work is left, shown rounded up.
TEST_F(ConvertPageTest, AConvertingRowAndTheStatusLineTellTheTimeLeft)
{
    page().addFile(source("paced.mp4", "statuses 0 1 0.5 2.5\nhang\n"), nullptr);
    page().addFile(goodSource("next.mp4"), nullptr);
    convert::convertFile* job = page().list().jobAt(0);
    RECT progress{};
    ASSERT_TRUE(page().list().getCellRect(0, convertList::ProgressColumn, progress));
    std::string tip;
    EXPECT_FALSE(page().list().tooltipAt(POINT{progress.left + 5, progress.top + 3}, tip));
    EXPECT_EQ(page().list().paceText(job), "");

    page().startOrStop();
    ASSERT_TRUE(pagetest::pumpUntil([&] {
        return job->encoderPace().positionSeconds == 1 && page().list().jobAt(1)->getDurationMillis() > 0;
    }));
    ASSERT_TRUE(page().list().tooltipAt(POINT{progress.left + 5, progress.top + 3}, tip));
    EXPECT_EQ(tip, "速度 2.50x 剩余约 00:01");
    EXPECT_EQ(page().list().paceText(job), tip);
    EXPECT_EQ(page().list().paceText(page().list().jobAt(1)), "");
    // The waiting file has the running one's profile, which no history knows yet: it goes at the
    // running encoder's pace, 0.4 s for each of its 2 s.
    ASSERT_TRUE(page().queueSecondsLeft());
    EXPECT_NEAR(*page().queueSecondsLeft(), 0.4 + 0.8, 1e-9);
    EXPECT_EQ(window.statusLine(), std::string(app::CLumaretDlg::kConvertingStatus) + " 剩余约 00:02");
    page().stopAll();
    EXPECT_EQ(window.statusLine(), app::CLumaretDlg::kConvertStatus);
    EXPECT_FALSE(page().list().tooltipAt(POINT{progress.left + 5, progress.top + 3}, tip));
}
