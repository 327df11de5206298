#include "platform/gui/Application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

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

// True when a Unix socket at `path` accepts a connection (the abstract name first when asked).
bool socketAnswers(const std::string& path, bool abstractFirst)
{
    const auto tryConnect = [](const std::string& name, bool abstract) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const size_t offset = abstract ? 1 : 0;
        if (name.size() + offset >= sizeof(address.sun_path))
            return false;
        std::memcpy(address.sun_path + offset, name.data(), name.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + name.size());
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
        ::close(fd);
        return connected;
    };
    return (abstractFirst && tryConnect(path, true)) || tryConnect(path, false);
}

// Why the X server of DISPLAY cannot be reached; empty when it can (or cannot be checked here: a
// display on another host is left to the toolkit).
std::string x11Problem()
{
    const std::string display = environment("DISPLAY");
    if (display.empty())
        return "DISPLAY is not set";
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos)
        return "DISPLAY \"" + display + "\" is not a display name";
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix" && host.front() != '/')
        return {};
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    // A launchd-style DISPLAY names the socket itself; otherwise the server listens on the
    // numbered socket (and, on Linux, on the abstract name of the same path).
    const bool isPath = !host.empty() && host.front() == '/';
    const std::string socket = isPath ? host : "/tmp/.X11-unix/X" + number;
    if (socketAnswers(socket, !isPath))
        return {};
    return "cannot connect to the X server at DISPLAY \"" + display + "\"";
}

std::string waylandProblem()
{
    const std::string name = environment("WAYLAND_DISPLAY");
    if (name.empty())
        return "WAYLAND_DISPLAY is not set";
    const std::string socket = name.front() == '/' ? name : environment("XDG_RUNTIME_DIR") + "/" + name;
    return socketAnswers(socket, false) ? std::string() : "cannot connect to the Wayland display \"" + name + "\"";
}

bool drawsWithoutScreen(std::string_view platform)
{
    return platform.starts_with("offscreen") || platform.starts_with("minimal") || platform.starts_with("vnc") ||
           platform.starts_with("linuxfb") || platform.starts_with("eglfs");
}

// The toolkit ends the process with a page of advice when its display connection fails after all
// (a server that accepts the socket but refuses the client, say): the program says it in one line.
// Warnings of the start are held back until the start succeeds, for the same reason.
std::string& heldMessages()
{
    static std::string held;
    return held;
}

std::string& startingProgram()
{
    static std::string name;
    return name;
}

void onStartMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtFatalMsg) {
        heldMessages() += text.toLocal8Bit().toStdString() + "\n";
        return;
    }
    const std::string wayland = environment("WAYLAND_DISPLAY");
    std::fprintf(stderr, "%s: no display: cannot open %s\n", startingProgram().c_str(),
                 (wayland.empty() ? environment("DISPLAY") : wayland).c_str());
    std::_Exit(1);
}

}  // namespace

struct Application::Impl {
    QtMessageHandler previousHandler;
    QApplication application;
    Impl(int& argc, char** argv) : previousHandler(qInstallMessageHandler(onStartMessage)), application(argc, argv)
    {
        qInstallMessageHandler(previousHandler);
        std::fputs(heldMessages().c_str(), stderr);
        heldMessages().clear();
    }
};

std::string Application::missingDisplayReason()
{
    const std::string platform = environment("QT_QPA_PLATFORM");
    if (drawsWithoutScreen(platform))
        return {};
    if (platform.starts_with("wayland"))
        return waylandProblem();
    if (platform.starts_with("xcb"))
        return x11Problem();
    // The toolkit picks a Wayland display when there is one, else the X server.
    if (waylandProblem().empty())
        return {};
    return x11Problem();
}

std::unique_ptr<Application> Application::create(int& argc, char** argv, const std::string& programName)
{
    const std::string problem = missingDisplayReason();
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: no display: %s\n", programName.c_str(), problem.c_str());
        return nullptr;
    }
    startingProgram() = programName;
    return std::unique_ptr<Application>(new Application(argc, argv));
}

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv))
{
    QApplication::setQuitOnLastWindowClosed(false);
}

Application::~Application() = default;

bool Application::loadToolkitTranslations(const std::string& locale)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    // The translator lives as long as the application, which owns it.
    auto* translator = new QTranslator(application);
    if (!translator->load(QLocale(QString::fromStdString(locale)), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

int Application::run() { return QApplication::exec(); }

void Application::quit(int code) { QApplication::exit(code); }

}  // namespace platform
