#pragma once
// A dbus-daemon of the test's own, with no services it could start by itself, and the fake desktop
// services of FakeDesktopBus.cpp on it, so the bus clients are tested without ever touching the
// user's session bus or the machine's system bus.
//
// Threads: the test's thread. Both processes end with the object.
#include "platform/gui/BusAddress.h"
#include "platform/core/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

namespace testsupport {

// Reads one line of a child's output at a time.
class LineReader {
public:
    explicit LineReader(platform::ChildProcess& child) : child_(child) {}
    // The next line, or "" once the child has ended.
    std::string next();

private:
    platform::ChildProcess& child_;
    std::string pending_;
};

class PrivateBus {
public:
    // `services`: the fake's options ("--login1", "yes", "--session", ...); none for an empty bus.
    // Throws std::runtime_error when a process cannot be started.
    explicit PrivateBus(const std::vector<std::string>& services);

    bool ready() const { return ready_ && !address_.empty(); }
    platform::BusAddress address() const { return platform::BusAddress::at(address_); }
    // The next call the fake services received, one line each ("PowerOff true", ...).
    std::string nextCall() { return fakeLines_.next(); }
    // How many of the login manager's inhibition descriptors are still open at our end.
    unsigned heldInhibitions() const;

private:
    TempDir dir_;
    platform::ChildProcess daemon_;
    platform::ChildProcess fake_;
    LineReader daemonLines_{daemon_};
    LineReader fakeLines_{fake_};
    std::string address_;
    bool ready_ = false;
};

}  // namespace testsupport
