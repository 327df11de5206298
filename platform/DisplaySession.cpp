#include "platform/DisplaySession.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Connects to a Unix socket by name; `abstractName` uses Linux's abstract namespace, where X
// servers listen too.
bool socketAnswers(const std::string& path, bool abstractName)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstractName ? 1 : 0;
    if (path.size() + offset >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return connected;
}

// ":N" and ":N.S" are local X displays with a socket we can try; anything else (a host name, a
// launchd path) is left for the toolkit to judge.
std::string localXProblem(const std::string& display)
{
    if (display.empty() || display[0] != ':')
        return {};
    const std::string number = display.substr(1, display.find('.') - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return {};
    const std::string socketPath = "/tmp/.X11-unix/X" + number;
    if (socketAnswers(socketPath, false) || socketAnswers(socketPath, true))
        return {};
    return "lumaret: cannot open display " + display + ": no X server answers there";
}

// The toolkit ends the process with a page of advice when its display connection fails after all
// (a server that accepts the socket but refuses the client, say). The program says it in one line.
// Warnings of the start are held back until the start succeeds, so a failed start says one line.
std::string& heldMessages()
{
    static std::string held;
    return held;
}

void onToolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtFatalMsg) {
        heldMessages() += text.toLocal8Bit().toStdString() + "\n";
        return;
    }
    const std::string display = environment("WAYLAND_DISPLAY").empty() ? environment("DISPLAY") : environment("WAYLAND_DISPLAY");
    std::fprintf(stderr, "lumaret: cannot open display %s\n", display.c_str());
    std::_Exit(1);
}

}  // namespace

struct DisplaySession::Impl {
    Impl(int& argc, char** argv) : previousHandler(qInstallMessageHandler(onToolkitMessage)), application(argc, argv)
    {
        // Once the display is open, the toolkit's messages go their usual way again.
        qInstallMessageHandler(previousHandler);
        std::fputs(heldMessages().c_str(), stderr);
        heldMessages().clear();
    }
    QtMessageHandler previousHandler;
    QApplication application;
};

std::string DisplaySession::displayProblem()
{
    const std::string platformName = environment("QT_QPA_PLATFORM");
    if (!platformName.empty() && platformName.rfind("xcb", 0) != 0 && platformName.rfind("wayland", 0) != 0)
        return {};
    const std::string x = environment("DISPLAY");
    const std::string wayland = environment("WAYLAND_DISPLAY");
    if (platformName.rfind("wayland", 0) == 0 || (platformName.empty() && !wayland.empty() && x.empty()))
        return wayland.empty() ? "lumaret: no display: WAYLAND_DISPLAY is not set" : "";
    if (x.empty())
        return wayland.empty() ? "lumaret: no display: neither DISPLAY nor WAYLAND_DISPLAY is set" : "";
    // With a Wayland display beside a dead X one the toolkit still has somewhere to go.
    const std::string problem = localXProblem(x);
    return wayland.empty() ? problem : std::string();
}

std::unique_ptr<DisplaySession> DisplaySession::open(int& argc, char** argv, std::string& error)
{
    error = displayProblem();
    if (!error.empty())
        return nullptr;
    return std::unique_ptr<DisplaySession>(new DisplaySession(argc, argv));
}

DisplaySession::DisplaySession(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv))
{
    // The program ends when its main window's modal run ends, not when a box closes.
    QApplication::setQuitOnLastWindowClosed(false);
}

DisplaySession::~DisplaySession() = default;

}  // namespace platform
