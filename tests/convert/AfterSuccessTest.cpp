// What follows a success: the output shown first, then the source into the trash, and the source
// kept whenever the success cannot be verified.
#include "convert/AfterSuccess.h"

#include "convert/JobState.h"
#include "convert/convertFile.h"
#include "tests/app/RecordingPresenter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using convert::JobState;

using convert::AfterSuccess;

namespace {

// The recording presenter for one test, the default one again after it.
class ScopedPresenter {
public:
    ScopedPresenter() : presenter(std::make_shared<enginetest::RecordingPresenter>())
    {
        platform::setMessagePresenter(presenter);
    }
    ~ScopedPresenter() { platform::setMessagePresenter(nullptr); }
    std::shared_ptr<enginetest::RecordingPresenter> presenter;
};

}  // namespace

namespace {

class RecordingDesktop : public convert::SuccessDesktop {
public:
    bool showInFolder(const std::string& folder, const std::string& file) override
    {
        calls.push_back("show " + folder + " " + file);
        return true;
    }
    bool moveToTrash(const std::string& path, std::string& why) override
    {
        calls.push_back("trash " + path);
        if (!trashWorks)
            why = refusal;
        return trashWorks;
    }
    std::vector<std::string> calls;
    bool trashWorks = true;
    std::string refusal;
};

class AfterSuccessTest : public ::testing::Test {
protected:
    AfterSuccessTest() { job.setDisposed(true); }

    std::string write(const std::string& name, const std::string& bytes)
    {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    // The job as the queue leaves it after a run that ended in `state` with `output`.
    void ended(JobState state, const std::string& output)
    {
        job.setSource(source, 6);
        job.setTargetFolder(dir.path().string());
        job.restoreOutcome(state, output, "");
    }

    testsupport::TempDir dir;
    std::string source = write("clip.mp4", "source");
    convert::convertFile job;
    RecordingDesktop desktop;
    AfterSuccess after;
    const AfterSuccess::Options both{true, true};
};

}  // namespace

TEST_F(AfterSuccessTest, WithBothOptionsTheOutputIsShownFirstAndTheSourceGoesAfter)
{
    const std::string output = write("clip.avi", "converted");
    ended(convert::JobState::Done, output);
    EXPECT_TRUE(after.apply(job, both, desktop));
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"show " + dir.path().string() + " " + output,
                                                       "trash " + source}));

    // Each option alone does only its part; a trash that refuses leaves the answer false.
    desktop.calls.clear();
    EXPECT_FALSE(after.apply(job, {true, false}, desktop));
    EXPECT_EQ(desktop.calls.size(), 1u);
    desktop.calls.clear();
    desktop.trashWorks = false;
    EXPECT_FALSE(after.apply(job, {false, true}, desktop));
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"trash " + source}));
}

TEST_F(AfterSuccessTest, TheSourceStaysUnlessTheSuccessIsVerified)
{
    // No output on disk, an empty output, the source itself as the output, a folder as the output.
    const std::vector<std::string> unverified{(dir / "missing.avi").string(), write("empty.avi", ""), source,
                                              dir.path().string()};
    for (const std::string& output : unverified) {
        ended(convert::JobState::Done, output);
        desktop.calls.clear();
        EXPECT_FALSE(after.apply(job, both, desktop)) << output;
        EXPECT_EQ(desktop.calls.size(), 1u) << output;  // shown, never trashed
        EXPECT_EQ(desktop.calls[0].rfind("show ", 0), 0u);
    }
    // A link to the source is the source too.
    std::filesystem::create_symlink(source, dir / "link.avi");
    ended(convert::JobState::Done, (dir / "link.avi").string());
    EXPECT_FALSE(AfterSuccess::outputIsVerified(job));

    // Only a Done job is acted on at all.
    ended(convert::JobState::Failed, write("clip.avi", "converted"));
    desktop.calls.clear();
    EXPECT_FALSE(after.apply(job, both, desktop));
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_TRUE(std::filesystem::exists(source));
}

// A source the trash will not take stays where it is, and the user hears of it once per queue
// run, with the file and the reason; a source that simply vanished is nothing to tell.
TEST_F(AfterSuccessTest, ASourceTheTrashRefusesStaysAndIsToldOncePerRun)
{
    ScopedPresenter box;
    const std::string output = write("clip.avi", "converted");
    ended(convert::JobState::Done, output);
    desktop.trashWorks = false;
    desktop.refusal = "没有可用的回收站";
    after.startRun();
    EXPECT_FALSE(after.apply(job, {false, true}, desktop));
    EXPECT_FALSE(after.apply(job, {false, true}, desktop));
    EXPECT_TRUE(std::filesystem::exists(source));
    ASSERT_EQ(box.presenter->texts.size(), 1u);
    EXPECT_EQ(box.presenter->texts[0], "无法移到回收站 " + source + " (没有可用的回收站), 源文件已保留。");

    after.startRun();
    EXPECT_FALSE(after.apply(job, {false, true}, desktop));
    EXPECT_EQ(box.presenter->texts.size(), 2u);

    after.startRun();
    desktop.refusal.clear();
    EXPECT_FALSE(after.apply(job, {false, true}, desktop));
    EXPECT_EQ(box.presenter->texts.size(), 2u);
}
