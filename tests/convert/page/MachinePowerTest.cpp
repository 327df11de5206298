// The conversion page's power-off and sleep inhibition against a fake login manager and session
// manager on a private bus (never the machine's own): which answers power off and how, that the
// inhibitions are held once and released at every end, and that a missing bus or service costs
// nothing but the inhibition.
#include "convert/page/MachinePower.h"
#include "platform/gui/LoginManager.h"
#include "tests/support/PrivateBus.h"

#include <gtest/gtest.h>

#include <string>

using convert::MachinePower;
using testsupport::PrivateBus;

namespace {

// The fake reports only the calls it receives, so an inhibition asked for after the power-off
// shows, by being the next line, that no PowerOff call came before it.
std::string callAfter(PrivateBus& bus)
{
    platform::LoginManager(bus.address()).inhibit("shutdown", "probe", "probe");
    return bus.nextCall();
}

platform::BusAddress unreachable()
{
    return platform::BusAddress::at("unix:path=/nonexistent/lumaret-test-bus");
}

}  // namespace

TEST(MachinePowerTest, PowersOffOnlyWhenTheLoginManagerAllowsIt)
{
    {
        PrivateBus bus({"--login1", "yes"});
        ASSERT_TRUE(bus.ready());
        EXPECT_TRUE(MachinePower(bus.address(), bus.address()).powerOff());
        EXPECT_EQ(bus.nextCall(), "PowerOff false");
    }
    {
        PrivateBus bus({"--login1", "challenge"});
        ASSERT_TRUE(bus.ready());
        EXPECT_TRUE(MachinePower(bus.address(), bus.address()).powerOff());
        EXPECT_EQ(bus.nextCall(), "PowerOff true") << "the desktop may ask for a password";
    }
    for (const char* answer : {"no", "na", "refuse"}) {
        PrivateBus bus({"--login1", answer});
        ASSERT_TRUE(bus.ready());
        EXPECT_FALSE(MachinePower(bus.address(), bus.address()).powerOff()) << answer;
        EXPECT_EQ(callAfter(bus), "Inhibit shutdown|probe|probe|block") << answer;
    }
    PrivateBus empty({});
    ASSERT_TRUE(empty.ready());
    EXPECT_FALSE(MachinePower(empty.address(), empty.address()).powerOff());
    EXPECT_FALSE(MachinePower(unreachable(), unreachable()).powerOff());
}

TEST(MachinePowerTest, KeepsAwakeOnceAndReleasesAtEveryEnd)
{
    PrivateBus bus({"--login1", "yes", "--session"});
    ASSERT_TRUE(bus.ready());
    {
        // Each call is asserted: after a missing one the next read would wait for a line that
        // never comes.
        MachinePower power(bus.address(), bus.address());
        power.keepAwake(true);
        ASSERT_EQ(bus.nextCall(), "Inhibit sleep:idle|Lumaret|正在转换文件|block");
        ASSERT_EQ(bus.nextCall(), "Inhibit Lumaret|0|正在转换文件|12");
        EXPECT_TRUE(power.isKeepingAwake());
        power.keepAwake(true);  // the next file of the same run
        EXPECT_EQ(bus.heldInhibitions(), 1u);

        // The end of the queue, or a stop.
        power.keepAwake(false);
        ASSERT_EQ(bus.nextCall(), "Uninhibit 42");
        EXPECT_EQ(bus.heldInhibitions(), 0u);
        EXPECT_FALSE(power.isKeepingAwake());

        // Before the power-off: our own inhibitor would block it.
        power.keepAwake(true);
        ASSERT_EQ(bus.nextCall(), "Inhibit sleep:idle|Lumaret|正在转换文件|block");
        ASSERT_EQ(bus.nextCall(), "Inhibit Lumaret|0|正在转换文件|12");
        EXPECT_TRUE(power.powerOff());
        ASSERT_EQ(bus.nextCall(), "Uninhibit 43");
        ASSERT_EQ(bus.nextCall(), "PowerOff false");
        EXPECT_EQ(bus.heldInhibitions(), 0u);

        power.keepAwake(true);
        ASSERT_EQ(bus.nextCall(), "Inhibit sleep:idle|Lumaret|正在转换文件|block");
        ASSERT_EQ(bus.nextCall(), "Inhibit Lumaret|0|正在转换文件|12");
    }
    // At exit.
    ASSERT_EQ(bus.nextCall(), "Uninhibit 44");
    EXPECT_EQ(bus.heldInhibitions(), 0u);
}

TEST(MachinePowerTest, WithoutABusOrServiceNothingIsHeldAndNothingWaits)
{
    MachinePower nowhere(unreachable(), unreachable());
    nowhere.keepAwake(true);
    EXPECT_FALSE(nowhere.isKeepingAwake());
    nowhere.keepAwake(false);

    // The session manager alone (a desktop without logind) still holds off its own suspend.
    PrivateBus sessionOnly({"--session"});
    ASSERT_TRUE(sessionOnly.ready());
    {
        MachinePower power(sessionOnly.address(), sessionOnly.address());
        power.keepAwake(true);
        EXPECT_FALSE(power.isKeepingAwake());
        EXPECT_EQ(sessionOnly.nextCall(), "Inhibit Lumaret|0|正在转换文件|12");
    }
    EXPECT_EQ(sessionOnly.nextCall(), "Uninhibit 42");
}
