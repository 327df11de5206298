#include "platform/gui/SessionInhibitor.h"

#include "platform/gui/BusCall.h"
#include "platform/gui/QtBridge.h"

namespace platform {

namespace {
const QString kService = QStringLiteral("org.gnome.SessionManager");
const QString kPath = QStringLiteral("/org/gnome/SessionManager");
const QString kInterface = QStringLiteral("org.gnome.SessionManager");
}  // namespace

SessionInhibitor::~SessionInhibitor() { uninhibit(); }

BusStatus SessionInhibitor::inhibit(const std::string& appId, const std::string& reason, std::uint32_t flags)
{
    uninhibit();
    const BusReply reply = BusCall::call(bus_, kService, kPath, kInterface, QStringLiteral("Inhibit"),
                                         {toQString(appId), 0u, toQString(reason), flags}, timeoutMs_);
    if (reply.status != BusStatus::Done)
        return reply.status;
    if (reply.values.isEmpty())
        return BusStatus::Failed;
    cookie_ = reply.values.front().toUInt();
    held_ = true;
    return BusStatus::Done;
}

BusStatus SessionInhibitor::uninhibit()
{
    if (!held_)
        return BusStatus::Done;
    held_ = false;
    return BusCall::call(bus_, kService, kPath, kInterface, QStringLiteral("Uninhibit"), {cookie_}, timeoutMs_).status;
}

}  // namespace platform
