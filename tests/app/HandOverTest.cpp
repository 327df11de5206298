// The hand-over from the file manager's menu, decided without a window: named and custom mode,
// a selector that names no profile, damaged and missing command files, and paths that cannot be
// read, each checked as the exact list of steps the main window is given.
#include "app/HandOver.h"

#include "app/CommandFolder.h"
#include "convert/ConversionQueue.h"
#include "convert/ConversionQueueLoop.h"
#include "profile/ProfileStore.h"
#include "tests/convert/FakeEncoderSupport.h"
#include "tests/convert/FixtureText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using app::CommandFile;
using app::HandOver;
using Kind = app::HandOver::Step::Kind;

namespace {

class HandOverTest : public ::testing::Test {
protected:
    HandOverTest() : store(dir / "data") { EXPECT_TRUE(store.loadAtStartup()); }

    std::string file(const std::string& name)
    {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << "media";
        return path.string();
    }
    HandOver::Result handOver(std::u16string_view selector, const std::vector<std::string>& paths)
    {
        EXPECT_TRUE(CommandFile::write(commandFile(), selector, paths, nullptr));
        return HandOver::run({"lumaret", "contextmenu"}, commandFile(), store, options);
    }
    std::filesystem::path commandFile() const { return dir / "data" / CommandFile::kFileName; }
    // A hand-over of its own in the command folder, as the menus leave one.
    void waiting(std::u16string_view selector, const std::vector<std::string>& paths)
    {
        EXPECT_TRUE(app::CommandFolder::write(app::CommandFolder::besideFile(commandFile()), selector, paths, nullptr));
    }
    std::string defaultName() const { return profile::profileNameOf(*store.defaultProfile()); }
    // The steps as lines: "message TEXT", "queue PATH with PROFILE", "gather PATH".
    static std::vector<std::string> lines(const HandOver::Result& result)
    {
        std::vector<std::string> out;
        for (const HandOver::Step& step : result.steps) {
            switch (step.kind) {
            case Kind::Message: out.push_back("message " + step.text); break;
            case Kind::QueueFile:
                out.push_back("queue " + step.file.sourcePath + " with " + profile::profileNameOf(step.file.profile));
                break;
            case Kind::GatherFile: out.push_back("gather " + step.text); break;
            }
        }
        return out;
    }

    testsupport::TempDir dir;
    profile::ProfileStore store;
    app::OptionSettings options;
};

}  // namespace

TEST_F(HandOverTest, NamedModeQueuesEveryFileWithACopyOfTheNamedProfile)
{
    const std::string a = file("a.mp4");
    const std::string b = file("b 视频.mp4");
    options.appendProfileName = 1;
    options.outputFolder = "/srv/out";  // files from the menu go beside their sources all the same
    const HandOver::Result result = handOver(u"flv 640x480", {a, b});
    EXPECT_EQ(lines(result), (std::vector<std::string>{"queue " + a + " with flv 640x480",
                                                       "queue " + b + " with flv 640x480"}));
    EXPECT_TRUE(result.readCommandFile);
    EXPECT_FALSE(result.showAddFiles);
    EXPECT_FALSE(result.startConversion);
    const convert::QueuedFile& queued = result.steps[1].file;
    EXPECT_EQ(queued.sourceSize, 5u);
    EXPECT_EQ(queued.targetFolder, "");
    EXPECT_TRUE(queued.appendProfileName);
    EXPECT_EQ(queued.profile.conversionType, store.findProfileByName(std::string_view("flv 640x480"))->conversionType);

    // The automatic start is asked for after the files, also when the file names none.
    options.autoConvertOnAdd = 1;
    EXPECT_TRUE(handOver(u"flv 640x480", {a}).startConversion);
    const HandOver::Result empty = handOver(u"flv 640x480", {});
    EXPECT_TRUE(empty.steps.empty());
    EXPECT_TRUE(empty.startConversion);
}

// The hand-over puts the files into the queue itself; the queue's listener is what shows them.
TEST_F(HandOverTest, RunIntoQueuesTheFilesItselfAndNoneWhileTheQueueConverts)
{
    struct AddedRows : convert::ConversionQueueListener {
        std::vector<std::string> sources;
        void onJobAdded(convert::convertFile* job) override { sources.push_back(job->getSourcePath()); }
    } rows;
    const auto encoders = fakeencoder::binding();
    convert::ConversionQueueLoop loop;
    convert::ConversionQueue queue(loop.poster(), &rows, encoders.get());
    const std::string a = file("a.mp4");
    const std::string b = file("b.mp4");
    ASSERT_TRUE(CommandFile::write(commandFile(), u"flv 640x480", {a, b}, nullptr));
    const HandOver::Result named = HandOver::runInto(queue, {"lumaret", "contextmenu"}, commandFile(), store, options);
    EXPECT_TRUE(named.filesQueued);
    EXPECT_FALSE(named.refusedWhileConverting);
    EXPECT_EQ(lines(named).size(), 2u) << "the steps still tell what was queued";
    EXPECT_EQ(rows.sources, (std::vector<std::string>{a, b}));
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(profile::profileNameOf(queue.jobAt(1)->getProfile()), "flv 640x480");

    // A file whose encoder runs until it is stopped keeps the queue converting.
    ASSERT_TRUE(queue.removeJob(queue.jobAt(0)));
    ASSERT_TRUE(queue.removeJob(queue.jobAt(0)));
    const std::string hung = fakeencoder::writeScript(
        dir / "hung.mp4", "probe: cat " + testfixtures::path("probe-mp4-av-mp4.txt") + "\nhang\n");
    ASSERT_TRUE(CommandFile::write(commandFile(), u"flv 640x480", {hung}, nullptr));
    HandOver::runInto(queue, {"lumaret", "contextmenu"}, commandFile(), store, options);
    ASSERT_TRUE(queue.start());
    ASSERT_TRUE(CommandFile::write(commandFile(), u"flv 640x480", {a}, nullptr));
    const HandOver::Result refused =
        HandOver::runInto(queue, {"lumaret", "contextmenu"}, commandFile(), store, options);
    EXPECT_TRUE(refused.refusedWhileConverting);
    EXPECT_FALSE(refused.filesQueued);
    EXPECT_EQ(queue.size(), 1u);
    EXPECT_EQ(rows.sources.size(), 3u);
    queue.stopAll();

    // Nothing to queue is no refusal: custom mode's paths go to the add-files page.
    ASSERT_TRUE(queue.start());
    ASSERT_TRUE(CommandFile::write(commandFile(), CommandFile::kCustomSelector, {a}, nullptr));
    EXPECT_FALSE(HandOver::runInto(queue, {"lumaret", "contextmenu"}, commandFile(), store, options)
                     .refusedWhileConverting);
    queue.stopAll();
}

TEST_F(HandOverTest, CustomModeShowsTheAddFilesPageWithThePathsAndQueuesNothing)
{
    const std::string a = file("a.mp4");
    const std::string gone = (dir / "gone.mp4").string();
    const std::string tooLong = "/" + std::string(CommandFile::kMaxPathBytes + 10, 'x');
    options.autoConvertOnAdd = 1;
    const HandOver::Result result = handOver(CommandFile::kCustomSelector, {a, gone, tooLong});
    EXPECT_TRUE(result.showAddFiles);
    ASSERT_EQ(result.steps.size(), 3u);
    EXPECT_EQ(lines(result)[0], "gather " + a);
    EXPECT_EQ(lines(result)[1], "gather " + gone);  // the page checks and tells it itself
    EXPECT_EQ(result.steps[2].kind, Kind::Message);
    EXPECT_EQ(result.steps[2].text.rfind("添加文件 /xxx", 0), 0u) << result.steps[2].text;
    // Nothing waits in the conversion list yet, so the automatic start is not asked for.
    EXPECT_FALSE(result.startConversion);

    // Without paths the page is not shown.
    EXPECT_FALSE(handOver(CommandFile::kCustomSelector, {}).showAddFiles);
}

TEST_F(HandOverTest, ASelectorNamingNoProfileIsToldAndTheDefaultUsedWhateverTheOptionsSay)
{
    const std::string a = file("a.mp4");
    store.setLastProfileName(u"flv 640x480");
    options.profileChoice = app::kUseLastUsedProfile;
    EXPECT_EQ(lines(handOver(u"no such profile", {a})),
              (std::vector<std::string>{"message no such profile 转换方案不存在,使用系统默认的转换方案!",
                                        "queue " + a + " with " + defaultName()}));

    // A selector longer than its buffer names no profile; the message shows its first 99 characters.
    const std::u16string longSelector = u"flv 640x480" + std::u16string(200, u'x');
    const HandOver::Result cut = handOver(longSelector, {a});
    ASSERT_EQ(cut.steps.size(), 2u);
    EXPECT_EQ(cut.steps[0].text.size(), 99 + std::string(CommandFile::kNoSuchProfileSuffix).size());
    EXPECT_EQ(profile::profileNameOf(cut.steps[1].file.profile), defaultName());
}

TEST_F(HandOverTest, ArgumentsAndDamagedOrMissingCommandFiles)
{
    const auto run = [&](const std::vector<std::string>& arguments) {
        return lines(HandOver::run(arguments, commandFile(), store, options));
    };
    const std::vector<std::string> badArguments{"message 错误的启动参数..."};
    EXPECT_TRUE(run({"lumaret"}).empty());
    EXPECT_EQ(run({"lumaret", "--other"}), badArguments);
    // No command file: a normal start, silently.
    EXPECT_TRUE(run({"/opt/contextmenu/lumaret", "x"}).empty());

    // The file ends inside its first record: told, nothing added.
    std::ofstream(commandFile(), std::ios::binary) << std::string("\x10\x00\x00\x00" "ab", 6);
    EXPECT_EQ(run({"lumaret", "contextmenu"}), badArguments);

    // A later record cut short: the paths before it stay.
    const std::string a = file("a.mp4");
    const std::string whole = CommandFile::encode(u"flv 640x480", {a, a});
    std::ofstream(commandFile(), std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() - 3);
    EXPECT_EQ(run({"lumaret", "contextmenu"}), (std::vector<std::string>{"queue " + a + " with flv 640x480"}));

    // A folder in the command file's place is refused unread and named.
    std::filesystem::remove(commandFile());
    std::filesystem::create_directory(commandFile());
    const HandOver::Result folder = HandOver::run({"lumaret", "contextmenu"}, commandFile(), store, options);
    ASSERT_EQ(folder.steps.size(), 1u);
    EXPECT_EQ(folder.steps[0].kind, Kind::Message);
    EXPECT_FALSE(folder.steps[0].text.empty());
    EXPECT_FALSE(folder.readCommandFile);
}

TEST_F(HandOverTest, PathsThatCannotBeReadAreToldInPlaceAndTheRestStillQueued)
{
    const std::string a = file("a.mp4");
    const std::string gone = (dir / "gone.mp4").string();
    const std::string folder = dir.path().string();
    const std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string tooLong = "/" + std::string(CommandFile::kMaxPathBytes + 10, 'y');
    const HandOver::Result result = handOver(u"flv 640x480", {gone, folder, fifo, tooLong, a});
    const std::vector<std::string> steps = lines(result);
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0], "message 读取文件 " + gone + " 失败!");
    EXPECT_EQ(steps[1], "message 读取文件 " + folder + " 失败!");
    EXPECT_EQ(steps[2], "message 读取文件 " + fifo + " 失败!");
    EXPECT_EQ(steps[3].rfind("message 读取文件 /yyy", 0), 0u) << steps[3];
    EXPECT_EQ(steps[4], "queue " + a + " with flv 640x480");
}

// Many paths that cannot be read make one box: the first few named, the rest counted. Each refusal
// is still a step of its own, marked so the window does not show it alone.
TEST_F(HandOverTest, TheRefusalsOfOneHandOverAreGatheredIntoOneBox)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back((dir / ("gone" + std::to_string(i) + ".mp4")).string());
    paths.push_back(file("a.mp4"));
    const HandOver::Result result = handOver(u"flv 640x480", paths);
    ASSERT_EQ(result.steps.size(), 13u);
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(result.steps[static_cast<std::size_t>(i)].refusal) << i;
    EXPECT_FALSE(result.steps[12].refusal);
    EXPECT_EQ(result.refusalBox, "读取文件 " + paths[0] + "、" + paths[1] + "、" + paths[2] + "、" + paths[3] + "、" +
                                     paths[4] + " 失败!\n另有 7 个文件无法读取。");

    // One refusal reads as it always did; none gives no box; the custom mode's own refusals too.
    EXPECT_EQ(handOver(u"flv 640x480", {paths[0]}).refusalBox, "读取文件 " + paths[0] + " 失败!");
    EXPECT_TRUE(handOver(u"flv 640x480", {paths[12]}).refusalBox.empty());
    const std::string tooLong = "/" + std::string(CommandFile::kMaxPathBytes + 10, 'x');
    EXPECT_EQ(handOver(CommandFile::kCustomSelector, {tooLong, paths[0]}).refusalBox.rfind("添加文件 /xxx", 0), 0u);
}


// Hand-overs that arrived before the program read any are all taken by it, oldest first, in one
// result; the single command file is then left unread, and read only by a start that finds none.
TEST_F(HandOverTest, EveryWaitingHandOverIsTakenAndTheSingleFileOnlyWithoutThem)
{
    const std::string a = file("a.mp4");
    const std::string b = file("b.mp4");
    const std::string gone = (dir / "gone.mp4").string();
    const std::string tooLong = "/" + std::string(CommandFile::kMaxPathBytes + 10, 'x');
    const std::string stale = file("stale.mp4");
    ASSERT_TRUE(CommandFile::write(commandFile(), u"flv 640x480", {stale}, nullptr));
    waiting(CommandFile::kCustomSelector, {a, tooLong});
    waiting(u"flv 640x480", {b, gone});
    options.autoConvertOnAdd = 1;

    const HandOver::Result result = HandOver::run({"lumaret", "contextmenu"}, commandFile(), store, options);
    const std::vector<std::string> steps = lines(result);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0], "gather " + a);
    EXPECT_EQ(steps[1].rfind("message 添加文件 /xxx", 0), 0u) << steps[1];
    EXPECT_EQ(steps[2], "queue " + b + " with flv 640x480");
    EXPECT_EQ(steps[3], "message 读取文件 " + gone + " 失败!");
    EXPECT_TRUE(result.readCommandFile);
    EXPECT_TRUE(result.showAddFiles);
    EXPECT_TRUE(result.startConversion);  // the named hand-over asks for it
    EXPECT_EQ(result.refusalBox.rfind("添加文件 /xxx", 0), 0u) << result.refusalBox;
    EXPECT_NE(result.refusalBox.find(" 失败!\n读取文件 " + gone + " 失败!"), std::string::npos) << result.refusalBox;

    // The next start finds the folder empty: it reads the single file, which stays.
    EXPECT_EQ(lines(HandOver::run({"lumaret", "contextmenu"}, commandFile(), store, options)),
              (std::vector<std::string>{"queue " + stale + " with flv 640x480"}));
    EXPECT_TRUE(std::filesystem::exists(commandFile()));

    // A FIFO in the folder is told without a wait, and the single file is still read.
    const auto folder = app::CommandFolder::besideFile(commandFile());
    ASSERT_EQ(::mkfifo((folder / ("pipe" + std::string(app::CommandFolder::kSuffix))).c_str(), 0600), 0);
    const std::vector<std::string> withFifo = lines(HandOver::run({"lumaret", "contextmenu"}, commandFile(), store,
                                                                  options));
    ASSERT_EQ(withFifo.size(), 2u);
    EXPECT_NE(withFifo[0].find("pipe.cmd"), std::string::npos) << withFifo[0];
    EXPECT_EQ(withFifo[1], "queue " + stale + " with flv 640x480");
}
