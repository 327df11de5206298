#pragma once
// One method call on a message bus with a bounded wait, for the desktop services of this layer
// (file manager, login manager, session manager). Qt side: included by platform/ sources only.
#include "platform/gui/BusAddress.h"

#include <QString>
#include <QVariantList>

namespace platform {

struct BusReply {
    BusStatus status = BusStatus::NoBus;
    QVariantList values;  // the reply's arguments when status is Done
    QString error;        // the bus error's name and message otherwise
};

class BusCall {
public:
    static constexpr int kDefaultTimeoutMs = 3000;

    // Calls `member` of `interface` on `path` of `service` and waits at most `timeoutMs` for the
    // answer (window thread or any other; the caller is blocked meanwhile, without spinning).
    // With `autoStart` false the bus is asked not to start the service for the call.
    static BusReply call(const BusAddress& bus, const QString& service, const QString& path, const QString& interface,
                         const QString& member, const QVariantList& arguments, int timeoutMs = kDefaultTimeoutMs,
                         bool autoStart = true);
};

}  // namespace platform
