#include "convert/page/MachinePower.h"

#include "platform/core/DebugOutput.h"
#include "platform/gui/LoginManager.h"
#include "platform/gui/SessionInhibitor.h"

#include <string>

namespace convert {

namespace {
constexpr const char* kWho = "Lumaret";
constexpr const char* kWhy = "正在转换文件";
}  // namespace

MachinePower::MachinePower(platform::BusAddress system, platform::BusAddress session)
    : system_(std::move(system)), session_(std::move(session))
{
}

MachinePower::~MachinePower() { keepAwake(false); }

bool MachinePower::isKeepingAwake() const { return sleepLock_ && sleepLock_->isHeld(); }

void MachinePower::keepAwake(bool on)
{
    if (!on) {
        sleepLock_.reset();
        if (sessionInhibitor_)
            sessionInhibitor_->uninhibit();
        sessionInhibitor_.reset();
        return;
    }
    // The session inhibitor stands for "asked already": a missing login manager is not asked
    // again for every file of the same run.
    if (sessionInhibitor_)
        return;
    platform::BusStatus status = platform::BusStatus::Done;
    sleepLock_ = std::make_unique<platform::InhibitLock>(
        platform::LoginManager(system_).inhibit("sleep:idle", kWho, kWhy, "block", &status));
    if (!sleepLock_->isHeld())
        platform::DebugOutput::line(std::string("no sleep inhibitor: ") + platform::busStatusName(status));
    sessionInhibitor_ = std::make_unique<platform::SessionInhibitor>(session_);
    status = sessionInhibitor_->inhibit(kWho, kWhy, platform::SessionInhibitor::kSuspend |
                                                        platform::SessionInhibitor::kIdle);
    if (status != platform::BusStatus::Done)
        platform::DebugOutput::line(std::string("no session inhibitor: ") + platform::busStatusName(status));
}

bool MachinePower::powerOff()
{
    // An inhibitor of our own would block or delay the very power-off we ask for.
    keepAwake(false);
    const platform::LoginManager login(system_);
    platform::BusStatus status = platform::BusStatus::Done;
    switch (login.canPowerOff(&status)) {
    case platform::LoginManager::PowerOffAllowed::Yes: return login.powerOff(false) == platform::BusStatus::Done;
    case platform::LoginManager::PowerOffAllowed::Challenge: return login.powerOff(true) == platform::BusStatus::Done;
    case platform::LoginManager::PowerOffAllowed::No:
    case platform::LoginManager::PowerOffAllowed::Unknown: break;
    }
    // Not allowed, or no login manager: the machine stays on, as with a refused privilege.
    platform::DebugOutput::line(std::string("no power-off: ") + platform::busStatusName(status));
    return false;
}

}  // namespace convert
