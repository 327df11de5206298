// The desktop services over the message bus, each against a fake service on a private bus that the
// test starts (never the user's own bus): the file manager with its fallback, the login manager's
// power-off and inhibition, the session manager's inhibition, and the bounded wait.
#include "platform/gui/Desktop.h"
#include "platform/gui/FileManager.h"
#include "platform/gui/LoginManager.h"
#include "platform/gui/SessionInhibitor.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>

namespace {

using testsupport::PrivateBus;

// Keeps the desktop's opener from launching anything; records what it was asked to open.
class OpenerRecorder {
public:
    explicit OpenerRecorder(bool succeeds)
    {
        platform::Desktop::setOpener([this, succeeds](const std::string& target) {
            opened.push_back(target);
            return succeeds;
        });
    }
    ~OpenerRecorder() { platform::Desktop::setOpener({}); }
    std::vector<std::string> opened;
};

TEST(DesktopBusTest, FileManagerShowsTheFileSelected)
{
    PrivateBus bus({"--filemanager"});
    ASSERT_TRUE(bus.ready());
    OpenerRecorder opener(true);
    testsupport::TempDir dir;
    const std::string file = (dir / "clip 1.avi").string();
    std::ofstream(file) << "x";
    platform::BusStatus status = platform::BusStatus::Failed;
    EXPECT_EQ(platform::FileManager::showItem(file, bus.address(), 3000, &status),
              platform::FileManager::Shown::Selected);
    EXPECT_EQ(status, platform::BusStatus::Done);
    EXPECT_EQ(bus.nextCall(), "ShowItems file://" + dir.path().string() + "/clip%201.avi");
    EXPECT_TRUE(opener.opened.empty());
}

TEST(DesktopBusTest, WithoutAFileManagerTheFolderIsOpened)
{
    PrivateBus bus({});
    ASSERT_TRUE(bus.ready());
    testsupport::TempDir dir;
    const std::string file = (dir / "clip.avi").string();
    std::ofstream(file) << "x";
    {
        OpenerRecorder opener(true);
        platform::BusStatus status = platform::BusStatus::Done;
        EXPECT_EQ(platform::FileManager::showItem(file, bus.address(), 3000, &status),
                  platform::FileManager::Shown::FolderOpened);
        EXPECT_EQ(status, platform::BusStatus::NoService);
        EXPECT_EQ(opener.opened, (std::vector<std::string>{"file://" + dir.path().string()}));
    }
    OpenerRecorder refusing(false);
    EXPECT_EQ(platform::FileManager::showItem(file, bus.address()), platform::FileManager::Shown::Failed);
    // An unreachable bus is not a file manager either.
    platform::BusStatus status = platform::BusStatus::Done;
    EXPECT_EQ(platform::FileManager::showItem(file, platform::BusAddress::at("unix:path=" + (dir / "none").string()),
                                              3000, &status),
              platform::FileManager::Shown::Failed);
    EXPECT_EQ(status, platform::BusStatus::NoBus);
}

TEST(DesktopBusTest, LoginManagerAnswersAndPowersOff)
{
    PrivateBus bus({"--login1", "challenge"});
    ASSERT_TRUE(bus.ready());
    const platform::LoginManager login(bus.address());
    platform::BusStatus status = platform::BusStatus::Failed;
    EXPECT_EQ(login.canPowerOff(&status), platform::LoginManager::PowerOffAllowed::Challenge);
    EXPECT_EQ(status, platform::BusStatus::Done);
    EXPECT_EQ(login.powerOff(false), platform::BusStatus::Done);
    EXPECT_EQ(bus.nextCall(), "PowerOff false");

    PrivateBus refusing({"--login1", "refuse"});
    ASSERT_TRUE(refusing.ready());
    const platform::LoginManager strict(refusing.address());
    EXPECT_EQ(strict.canPowerOff(), platform::LoginManager::PowerOffAllowed::No);
    EXPECT_EQ(strict.powerOff(true), platform::BusStatus::Failed) << "a refusal is not reported as success";
}

TEST(DesktopBusTest, LoginManagerMissingOrSilentGivesAClearAnswerInBoundedTime)
{
    PrivateBus empty({});
    ASSERT_TRUE(empty.ready());
    platform::BusStatus status = platform::BusStatus::Done;
    EXPECT_EQ(platform::LoginManager(empty.address()).canPowerOff(&status),
              platform::LoginManager::PowerOffAllowed::Unknown);
    EXPECT_EQ(status, platform::BusStatus::NoService);
    EXPECT_EQ(platform::LoginManager(empty.address()).powerOff(false), platform::BusStatus::NoService);

    PrivateBus silent({"--login1", "hang"});
    ASSERT_TRUE(silent.ready());
    const platform::LoginManager hanging(silent.address(), 200);
    EXPECT_EQ(hanging.canPowerOff(&status), platform::LoginManager::PowerOffAllowed::Unknown);
    EXPECT_EQ(status, platform::BusStatus::TimedOut);
    EXPECT_EQ(hanging.powerOff(false), platform::BusStatus::TimedOut);
}

TEST(DesktopBusTest, LoginInhibitionLastsWhileTheDescriptorIsHeld)
{
    PrivateBus bus({"--login1", "yes"});
    ASSERT_TRUE(bus.ready());
    const platform::LoginManager login(bus.address());
    platform::BusStatus status = platform::BusStatus::Failed;
    platform::InhibitLock lock = login.inhibit("shutdown:sleep", "Lumaret", "正在转换文件", "block", &status);
    EXPECT_EQ(status, platform::BusStatus::Done);
    ASSERT_TRUE(lock.isHeld());
    EXPECT_GE(::fcntl(lock.fd(), F_GETFD), 0);
    EXPECT_EQ(bus.nextCall(), "Inhibit shutdown:sleep|Lumaret|正在转换文件|block");

    const auto held = [&] { return bus.heldInhibitions(); };
    EXPECT_EQ(held(), 1u);
    platform::InhibitLock moved = std::move(lock);
    EXPECT_FALSE(lock.isHeld());
    EXPECT_EQ(held(), 1u);
    moved.release();
    EXPECT_EQ(held(), 0u);

    PrivateBus empty({});
    ASSERT_TRUE(empty.ready());
    EXPECT_FALSE(platform::LoginManager(empty.address()).inhibit("sleep", "Lumaret", "x", "block", &status).isHeld());
    EXPECT_EQ(status, platform::BusStatus::NoService);
}

TEST(DesktopBusTest, SessionInhibitionIsEndedWithItsCookie)
{
    PrivateBus bus({"--session"});
    ASSERT_TRUE(bus.ready());
    {
        platform::SessionInhibitor inhibitor(bus.address());
        EXPECT_EQ(inhibitor.inhibit("lumaret", "正在转换文件", platform::SessionInhibitor::kSuspend),
                  platform::BusStatus::Done);
        EXPECT_TRUE(inhibitor.isInhibiting());
        EXPECT_EQ(inhibitor.cookie(), 42u);
        EXPECT_EQ(bus.nextCall(), "Inhibit lumaret|0|正在转换文件|4");
        // A second inhibition replaces the first.
        EXPECT_EQ(inhibitor.inhibit("lumaret", "again", platform::SessionInhibitor::kLogout),
                  platform::BusStatus::Done);
        EXPECT_EQ(bus.nextCall(), "Uninhibit 42");
        EXPECT_EQ(bus.nextCall(), "Inhibit lumaret|0|again|1");
    }
    EXPECT_EQ(bus.nextCall(), "Uninhibit 43") << "going ends the inhibition";

    PrivateBus empty({});
    ASSERT_TRUE(empty.ready());
    platform::SessionInhibitor missing(empty.address());
    EXPECT_EQ(missing.inhibit("lumaret", "x", platform::SessionInhibitor::kIdle), platform::BusStatus::NoService);
    EXPECT_FALSE(missing.isInhibiting());
    EXPECT_EQ(missing.uninhibit(), platform::BusStatus::Done);
}

}  // namespace
