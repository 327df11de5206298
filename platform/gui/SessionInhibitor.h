#pragma once
// Asks the GNOME session manager (org.gnome.SessionManager on the session bus) not to log out,
// switch users, suspend or idle while work runs. One inhibition at a time; it ends with
// uninhibit() or when the object goes.
//
// Threads: one thread at a time; each call blocks its caller for at most the time-out.
#include "platform/gui/BusAddress.h"

#include <cstdint>
#include <string>

namespace platform {

class SessionInhibitor {
public:
    static constexpr int kTimeoutMs = 3000;
    // The session manager's flags.
    static constexpr std::uint32_t kLogout = 1;
    static constexpr std::uint32_t kSwitchUser = 2;
    static constexpr std::uint32_t kSuspend = 4;
    static constexpr std::uint32_t kIdle = 8;

    explicit SessionInhibitor(BusAddress bus = BusAddress::session(), int timeoutMs = kTimeoutMs)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs)
    {
    }
    ~SessionInhibitor();
    SessionInhibitor(const SessionInhibitor&) = delete;
    SessionInhibitor& operator=(const SessionInhibitor&) = delete;

    // Inhibit(appId, 0, reason, flags). An inhibition already held is ended first.
    BusStatus inhibit(const std::string& appId, const std::string& reason, std::uint32_t flags);
    // Uninhibit with the cookie of the inhibition held; Done without a call when none is held.
    BusStatus uninhibit();
    bool isInhibiting() const { return held_; }
    std::uint32_t cookie() const { return cookie_; }

private:
    BusAddress bus_;
    int timeoutMs_;
    bool held_ = false;
    std::uint32_t cookie_ = 0;
};

}  // namespace platform
