#include "platform/core/ChildProcess.h"

#include "tests/convert/FakeEncoderSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <thread>

using platform::ChildProcess;

namespace {

std::string readAll(ChildProcess& child)
{
    std::string text;
    while (child.read(text) == ChildProcess::ReadStatus::Data) {
    }
    return text;
}

TEST(ChildProcessTest, MissingProgramIsNamedAndNothingRuns)
{
    ChildProcess child;
    std::string error;
    EXPECT_FALSE(child.start({"lumaret-no-such-encoder", "-i", "x"}, 0, &error));
    EXPECT_NE(error.find("\"lumaret-no-such-encoder\""), std::string::npos) << error;
    EXPECT_NE(error.find("not found"), std::string::npos);
    EXPECT_EQ(child.pid(), 0);
    EXPECT_FALSE(child.finish().exited);

    ChildProcess notExecutable;
    EXPECT_FALSE(notExecutable.start({"/etc/hostname"}, 0, &error));
    EXPECT_NE(error.find("/etc/hostname"), std::string::npos);
}

TEST(ChildProcessTest, BothStreamsArriveOnOnePipeAndArgumentsStayWhole)
{
    ChildProcess child;
    ASSERT_TRUE(child.start({"/bin/sh", "-c", "printf '%s|' \"$1\"; echo err >&2; exit 3", "sh",
                             "a\" -f null -y \"b.mp4"},
                            0, nullptr));
    const std::string text = readAll(child);
    EXPECT_EQ(text, "a\" -f null -y \"b.mp4|err\n");
    const ChildProcess::ExitStatus status = child.finish();
    EXPECT_TRUE(status.exited);
    EXPECT_EQ(status.code, 3);
    EXPECT_FALSE(status.success());
}

TEST(ChildProcessTest, InterruptWakesABlockedReadAndFinishKillsTheGroup)
{
    testsupport::TempDir dir;
    const std::string script =
        fakeencoder::writeScript(dir / "hang.mp4", "spawn-child " + (dir / "child.pid").string() + "\nhang\n");
    ChildProcess child;
    ASSERT_TRUE(child.start({LUMARET_FAKE_ENCODER, "-i", script, "out.avi"}, 0, nullptr));
    const pid_t leader = child.pid();
    const pid_t grandchild = fakeencoder::waitForPidFile(dir / "child.pid");
    ASSERT_GT(grandchild, 0);
    EXPECT_EQ(::getpgid(grandchild), leader);  // its own group, which the grandchild shares

    std::thread stopper([&] { child.interrupt(); });
    std::string text;
    EXPECT_EQ(child.read(text), ChildProcess::ReadStatus::Interrupted);
    stopper.join();
    EXPECT_EQ(child.read(text), ChildProcess::ReadStatus::Interrupted);  // stays interrupted

    const ChildProcess::ExitStatus status = child.finish();
    EXPECT_FALSE(status.exited);
    EXPECT_EQ(status.signal, SIGKILL);
    EXPECT_FALSE(fakeencoder::isRunning(leader));
    EXPECT_TRUE(fakeencoder::becomesGone(grandchild));
}

TEST(ChildProcessTest, EndIsSeenWhileAGrandchildStillHoldsThePipe)
{
    testsupport::TempDir dir;
    const std::string script = fakeencoder::writeScript(
        dir / "a.mp4", "spawn-child " + (dir / "child.pid").string() + "\nsay bye\nexit 0\n");
    ChildProcess child;
    ASSERT_TRUE(child.start({LUMARET_FAKE_ENCODER, "-i", script, "out.avi"}, 0, nullptr));
    EXPECT_EQ(readAll(child), "bye\n");
    EXPECT_TRUE(child.finish().success());
    EXPECT_TRUE(fakeencoder::becomesGone(fakeencoder::waitForPidFile(dir / "child.pid")));
}

TEST(ChildProcessTest, EncoderDiesWithTheThreadThatStartedIt)
{
    testsupport::TempDir dir;
    const std::string script = fakeencoder::writeScript(dir / "hang.mp4", "hang\n");
    auto child = std::make_unique<ChildProcess>();
    std::thread starter([&] { ASSERT_TRUE(child->start({LUMARET_FAKE_ENCODER, "-i", script, "o.avi"}, 0, nullptr)); });
    starter.join();
    const pid_t pid = child->pid();
    ASSERT_GT(pid, 0);
    std::string text;
    // The kernel's death signal ended it; read() sees the end without anyone killing it.
    EXPECT_EQ(child->read(text), ChildProcess::ReadStatus::Ended);
    EXPECT_EQ(child->finish().signal, SIGKILL);
    EXPECT_FALSE(fakeencoder::isRunning(pid));
}

TEST(ChildProcessTest, NiceValueIsApplied)
{
    testsupport::TempDir dir;
    const std::string script = fakeencoder::writeScript(dir / "n.mp4", "nicefile " + (dir / "nice").string() + "\n");
    ChildProcess child;
    ASSERT_TRUE(child.start({LUMARET_FAKE_ENCODER, "-i", script, "o.avi"}, ChildProcess::kNiceIdle, nullptr));
    readAll(child);
    EXPECT_TRUE(child.finish().success());
    EXPECT_EQ(fakeencoder::waitForPidFile(dir / "nice"), 19);
}

// A priority chosen while the encoder starts is in place as soon as the encoder is seen running.
TEST(ChildProcessTest, NiceValueChosenBeforeOrDuringTheStartIsInPlace)
{
    testsupport::TempDir dir;
    const std::string before = fakeencoder::writeScript(dir / "b.mp4", "nicefile " + (dir / "nice").string() + "\n");
    ChildProcess early;
    early.setNice(ChildProcess::kNiceIdle);
    ASSERT_TRUE(early.start({LUMARET_FAKE_ENCODER, "-i", before, "o.avi"}, ChildProcess::kNiceNormal, nullptr));
    readAll(early);
    EXPECT_TRUE(early.finish().success());
    EXPECT_EQ(fakeencoder::waitForPidFile(dir / "nice"), 19);

    const std::string during =
        fakeencoder::writeScript(dir / "d.mp4", "pidfile " + (dir / "pid").string() + "\nhang\n");
    ChildProcess child;
    std::thread chooser([&] {
        const pid_t pid = fakeencoder::waitForPidFile(dir / "pid");
        child.setNice(ChildProcess::kNiceIdle);
        errno = 0;
        EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(pid)), 19);
    });
    ASSERT_TRUE(child.start({LUMARET_FAKE_ENCODER, "-i", during, "o.avi"}, ChildProcess::kNiceNormal, nullptr));
    chooser.join();
    EXPECT_EQ(child.finish().signal, SIGKILL);
}

}  // namespace
