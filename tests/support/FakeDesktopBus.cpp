// A stand-in for the desktop services on a private message bus, for the tests of platform/'s bus
// clients: the file manager (org.freedesktop.FileManager1), the login manager
// (org.freedesktop.login1) and the GNOME session manager (org.gnome.SessionManager).
//   fake_desktop_bus ADDRESS [--filemanager] [--login1 yes|challenge|no|refuse|hang] [--session]
// It prints "ready" once it owns the names asked for, then one line per call it receives
// ("ShowItems file:///...", "PowerOff true", "Inhibit sleep|lumaret|why|block", "Uninhibit 42").
// The login manager's extra method Held answers how many inhibition descriptors it handed out are
// still open at the caller's end. "hang" makes CanPowerOff and PowerOff never answer; "refuse"
// answers "no" and refuses PowerOff.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QStringList>

#include <cstdio>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class FileManager1 : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("ShowItems"))
            return false;
        say(QStringLiteral("ShowItems ") + message.arguments().value(0).toStringList().join(QLatin1Char(' ')));
        connection.send(message.createReply());
        return true;
    }
};

class Login1 : public QDBusVirtualObject {
public:
    explicit Login1(QString mode) : mode_(std::move(mode)) {}
    ~Login1() override
    {
        for (int fd : readEnds_)
            ::close(fd);
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QString member = message.member();
        if (member == QLatin1String("CanPowerOff")) {
            if (mode_ != QLatin1String("hang"))
                connection.send(message.createReply(mode_ == QLatin1String("refuse") ? QStringLiteral("no") : mode_));
        } else if (member == QLatin1String("PowerOff")) {
            say(QStringLiteral("PowerOff ") + (message.arguments().value(0).toBool() ? "true" : "false"));
            if (mode_ == QLatin1String("refuse"))
                connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                                                         QStringLiteral("not allowed")));
            else if (mode_ != QLatin1String("hang"))
                connection.send(message.createReply());
        } else if (member == QLatin1String("Inhibit")) {
            QStringList texts;
            for (const QVariant& argument : message.arguments())
                texts << argument.toString();
            say(QStringLiteral("Inhibit ") + texts.join(QLatin1Char('|')));
            int ends[2];
            if (::pipe(ends) != 0)
                return false;
            readEnds_.push_back(ends[0]);
            connection.send(message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
            ::close(ends[1]);
        } else if (member == QLatin1String("Held")) {
            connection.send(message.createReply(held()));
        } else {
            return false;
        }
        return true;
    }

private:
    // Descriptors whose far end is still open: the read end reports a hang-up once every copy of
    // the write end is closed.
    uint held() const
    {
        uint count = 0;
        for (int fd : readEnds_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 0) == 0 || !(p.revents & POLLHUP))
                ++count;
        }
        return count;
    }

    QString mode_;
    std::vector<int> readEnds_;
};

class SessionManager : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QList<QVariant> arguments = message.arguments();
        if (message.member() == QLatin1String("Inhibit")) {
            say(QStringLiteral("Inhibit %1|%2|%3|%4")
                    .arg(arguments.value(0).toString(), arguments.value(1).toString(), arguments.value(2).toString(),
                         arguments.value(3).toString()));
            connection.send(message.createReply(QVariant::fromValue(nextCookie_++)));
        } else if (message.member() == QLatin1String("Uninhibit")) {
            say(QStringLiteral("Uninhibit ") + arguments.value(0).toString());
            connection.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

private:
    uint nextCookie_ = 42;
};

bool offer(QDBusConnection& bus, const QString& service, const QString& path, QDBusVirtualObject* object)
{
    return bus.registerVirtualObject(path, object) && bus.registerService(service);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: fake_desktop_bus ADDRESS [--filemanager] [--login1 MODE] [--session]\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(arguments[1], QStringLiteral("fake"));
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake_desktop_bus: cannot connect to %s\n", argv[1]);
        return 1;
    }
    FileManager1 fileManager;
    SessionManager session;
    std::unique_ptr<Login1> login;
    bool ok = true;
    for (int i = 2; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--filemanager")) {
            ok &= offer(bus, QStringLiteral("org.freedesktop.FileManager1"),
                        QStringLiteral("/org/freedesktop/FileManager1"), &fileManager);
        } else if (arguments[i] == QLatin1String("--login1") && i + 1 < arguments.size()) {
            login = std::make_unique<Login1>(arguments[++i]);
            ok &= offer(bus, QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                        login.get());
        } else if (arguments[i] == QLatin1String("--session")) {
            ok &= offer(bus, QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
                        &session);
        }
    }
    if (!ok) {
        std::fprintf(stderr, "fake_desktop_bus: cannot offer the services\n");
        return 1;
    }
    say(QStringLiteral("ready"));
    return application.exec();
}
