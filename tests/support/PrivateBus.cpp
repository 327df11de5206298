#include "tests/support/PrivateBus.h"

#include "platform/gui/BusCall.h"

#include <fstream>
#include <stdexcept>

namespace testsupport {

std::string LineReader::next()
{
    while (true) {
        const size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        if (child_.read(pending_) != platform::ChildProcess::ReadStatus::Data)
            return {};
    }
}

PrivateBus::PrivateBus(const std::vector<std::string>& services)
{
    const std::string config = (dir_ / "bus.conf").string();
    std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig><type>session</type><listen>unix:dir="
                          << dir_.path().string()
                          << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                             "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                             "<allow own=\"*\"/></policy></busconfig>\n";
    std::string error;
    if (!daemon_.start({"dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"}, 0, &error))
        throw std::runtime_error(error);
    address_ = daemonLines_.next();
    std::vector<std::string> argv{LUMARET_FAKE_DESKTOP_BUS, address_};
    argv.insert(argv.end(), services.begin(), services.end());
    if (!fake_.start(argv, 0, &error))
        throw std::runtime_error(error);
    ready_ = fakeLines_.next() == "ready";
}

unsigned PrivateBus::heldInhibitions() const
{
    return platform::BusCall::call(address(), QStringLiteral("org.freedesktop.login1"),
                                   QStringLiteral("/org/freedesktop/login1"),
                                   QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Held"), {})
        .values.value(0)
        .toUInt();
}

}  // namespace testsupport
