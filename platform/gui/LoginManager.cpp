#include "platform/gui/LoginManager.h"

#include "platform/gui/BusCall.h"
#include "platform/gui/QtBridge.h"

#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");

LoginManager::PowerOffAllowed allowedFrom(const QString& answer)
{
    if (answer == QLatin1String("yes"))
        return LoginManager::PowerOffAllowed::Yes;
    if (answer == QLatin1String("challenge"))
        return LoginManager::PowerOffAllowed::Challenge;
    if (answer == QLatin1String("no") || answer == QLatin1String("na"))
        return LoginManager::PowerOffAllowed::No;
    return LoginManager::PowerOffAllowed::Unknown;
}

}  // namespace

LoginManager::PowerOffAllowed LoginManager::canPowerOff(BusStatus* status) const
{
    const BusReply reply =
        BusCall::call(bus_, kService, kPath, kInterface, QStringLiteral("CanPowerOff"), {}, timeoutMs_);
    if (status)
        *status = reply.status;
    if (reply.status != BusStatus::Done || reply.values.isEmpty())
        return PowerOffAllowed::Unknown;
    return allowedFrom(reply.values.front().toString());
}

BusStatus LoginManager::powerOff(bool interactive) const
{
    return BusCall::call(bus_, kService, kPath, kInterface, QStringLiteral("PowerOff"), {interactive}, timeoutMs_)
        .status;
}

InhibitLock LoginManager::inhibit(const std::string& what, const std::string& who, const std::string& why,
                                  const std::string& mode, BusStatus* status) const
{
    const BusReply reply =
        BusCall::call(bus_, kService, kPath, kInterface, QStringLiteral("Inhibit"),
                      {toQString(what), toQString(who), toQString(why), toQString(mode)}, timeoutMs_);
    BusStatus result = reply.status;
    int fd = -1;
    if (result == BusStatus::Done) {
        const auto descriptor =
            reply.values.isEmpty() ? QDBusUnixFileDescriptor() : reply.values.front().value<QDBusUnixFileDescriptor>();
        // The toolkit's object closes its copy when it goes; the lock keeps a copy of its own.
        fd = descriptor.isValid() ? ::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 3) : -1;
        if (fd < 0)
            result = BusStatus::Failed;
    }
    if (status)
        *status = result;
    return InhibitLock(fd);
}

}  // namespace platform
