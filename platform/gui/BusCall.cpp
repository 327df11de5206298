#include "platform/gui/BusCall.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace platform {

namespace {

QDBusConnection connectionFor(const BusAddress& bus)
{
    switch (bus.kind) {
    case BusAddress::Kind::Session: return QDBusConnection::sessionBus();
    case BusAddress::Kind::System: return QDBusConnection::systemBus();
    case BusAddress::Kind::Private: break;
    }
    // One named connection per private address, kept for the life of the process like the two
    // standard ones.
    const QString address = QString::fromStdString(bus.address);
    const QString name = QStringLiteral("lumaret-bus:") + address;
    QDBusConnection existing(name);
    if (existing.isConnected())
        return existing;
    return QDBusConnection::connectToBus(address, name);
}

BusStatus statusOf(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod: return BusStatus::NoService;
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut: return BusStatus::TimedOut;
    case QDBusError::Disconnected:
    case QDBusError::NoServer: return BusStatus::NoBus;
    default: break;
    }
    // Names without a type of their own in the toolkit.
    if (error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return BusStatus::NoService;
    return BusStatus::Failed;
}

}  // namespace

BusReply BusCall::call(const BusAddress& bus, const QString& service, const QString& path, const QString& interface,
                       const QString& member, const QVariantList& arguments, int timeoutMs, bool autoStart)
{
    BusReply reply;
    QDBusConnection connection = connectionFor(bus);
    if (!connection.isConnected()) {
        reply.status = BusStatus::NoBus;
        reply.error = connection.lastError().message();
        return reply;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, member);
    message.setArguments(arguments);
    message.setAutoStartService(autoStart);
    const QDBusMessage answer = connection.call(message, QDBus::Block, timeoutMs);
    if (answer.type() == QDBusMessage::ReplyMessage) {
        reply.status = BusStatus::Done;
        reply.values = answer.arguments();
        return reply;
    }
    const QDBusError error(answer);
    reply.status = statusOf(error);
    reply.error = error.name() + QStringLiteral(": ") + error.message();
    return reply;
}

}  // namespace platform
