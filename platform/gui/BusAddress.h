#pragma once
// Which message bus a desktop service is asked on, and how a call ended. The programs use the
// user's session bus and the system bus; tests name a private bus by its address, so that no test
// ever reaches the real services.
#include <string>

namespace platform {

// How a call to a desktop service over the bus ended.
enum class BusStatus {
    Done,       // the service answered
    NoBus,      // the bus cannot be reached
    NoService,  // nothing on the bus offers the service
    TimedOut,   // the service did not answer within the time-out
    Failed,     // the service answered with an error (refused, not allowed, bad arguments)
};

const char* busStatusName(BusStatus status);

struct BusAddress {
    enum class Kind { Session, System, Private };
    Kind kind = Kind::Session;
    std::string address;  // for Private: "unix:path=..." as dbus-daemon prints it

    static BusAddress session() { return BusAddress{Kind::Session, {}}; }
    static BusAddress system() { return BusAddress{Kind::System, {}}; }
    static BusAddress at(const std::string& address) { return BusAddress{Kind::Private, address}; }
};

}  // namespace platform
