#pragma once
// The login manager (org.freedesktop.login1 on the system bus): whether this user may power the
// machine off, powering it off, and holding off sleep or shut-down while work runs.
//
// Threads: any; each call blocks its caller for at most its time-out.
#include "platform/gui/BusAddress.h"
#include "platform/gui/InhibitLock.h"

#include <string>

namespace platform {

class LoginManager {
public:
    static constexpr int kTimeoutMs = 3000;

    enum class PowerOffAllowed {
        Yes,        // allowed without asking
        Challenge,  // allowed after the user authenticates
        No,         // not allowed
        Unknown,    // no answer (see the status) or an answer this program does not know
    };

    explicit LoginManager(BusAddress bus = BusAddress::system(), int timeoutMs = kTimeoutMs)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs)
    {
    }

    // CanPowerOff. `status` receives how the call ended.
    PowerOffAllowed canPowerOff(BusStatus* status = nullptr) const;
    // PowerOff; `interactive` lets the login manager ask the user to authenticate. Done means the
    // request was accepted, not that the machine is already going down.
    BusStatus powerOff(bool interactive) const;
    // Inhibit: `what` is a colon-separated list ("shutdown:sleep:idle"), `mode` "block" or
    // "delay". The returned lock holds the descriptor; it does not hold one when the call failed
    // (`status` says why).
    InhibitLock inhibit(const std::string& what, const std::string& who, const std::string& why,
                        const std::string& mode = "block", BusStatus* status = nullptr) const;

private:
    BusAddress bus_;
    int timeoutMs_;
};

}  // namespace platform
