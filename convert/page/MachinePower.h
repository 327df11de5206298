#pragma once
// What the conversion page asks of the machine itself, without a window: keeping it awake while
// the queue converts, and powering it off once the shutdown countdown runs out.
//
// Keeping awake holds the login manager's sleep and idle inhibitor (its descriptor) and, on GNOME,
// the session manager's suspend and idle inhibition; both are released when asked, before a
// power-off and when the object goes. Without a bus or a service the machine is simply not held,
// with a debug line; a conversion never waits for that.
//
// Power-off asks the login manager whether this user may: "yes" powers off at once, "challenge"
// powers off interactively so the desktop can ask for a password; any other answer, or no system
// bus, does nothing, as a refused privilege would.
//
// Threads: one thread at a time (the window thread); each bus call blocks it for at most the bus
// clients' time-outs.
#include "platform/gui/BusAddress.h"

#include <memory>

namespace platform {
class InhibitLock;
class SessionInhibitor;
}  // namespace platform

namespace convert {

class MachinePower {
public:
    explicit MachinePower(platform::BusAddress system = platform::BusAddress::system(),
                          platform::BusAddress session = platform::BusAddress::session());
    ~MachinePower();
    MachinePower(const MachinePower&) = delete;
    MachinePower& operator=(const MachinePower&) = delete;

    // On: takes both inhibitions unless already held. Off: releases whatever is held.
    void keepAwake(bool on);
    // Whether the login manager's inhibitor is held.
    bool isKeepingAwake() const;
    // Releases the inhibitions, then powers off as described above. True when the login manager
    // accepted the request.
    bool powerOff();

private:
    platform::BusAddress system_;
    platform::BusAddress session_;
    std::unique_ptr<platform::InhibitLock> sleepLock_;
    std::unique_ptr<platform::SessionInhibitor> sessionInhibitor_;
};

}  // namespace convert
