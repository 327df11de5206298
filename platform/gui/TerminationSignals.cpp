#include "platform/gui/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};
// The write end of the self-pipe; the handler may only do async-signal-safe work, so it writes a
// byte and the window thread does the rest.
volatile sig_atomic_t g_writeEnd = -1;

extern "C" void onSignal(int signal)
{
    const int savedErrno = errno;
    // The byte carries the signal's number (all three are below 128).
    const char byte = static_cast<char>(signal);
    if (g_writeEnd >= 0)
        (void)!::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

struct TerminationSignals::Impl {
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    std::array<struct sigaction, kSignals.size()> previous{};
    bool active = false;
};

TerminationSignals::TerminationSignals(std::function<void(int signal)> handler) : impl_(std::make_unique<Impl>())
{
    if (::pipe2(impl_->pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_writeEnd = impl_->pipe[1];
    impl_->notifier = std::make_unique<QSocketNotifier>(impl_->pipe[0], QSocketNotifier::Read);
    const int readEnd = impl_->pipe[0];
    QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, [readEnd, handler = std::move(handler)] {
        char bytes[64];
        int first = 0;
        for (ssize_t count; (count = ::read(readEnd, bytes, sizeof bytes)) > 0;)
            if (first == 0)
                first = static_cast<unsigned char>(bytes[0]);
        if (handler && first != 0)
            handler(first);
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &impl_->previous[i]);
    impl_->active = true;
}

TerminationSignals::~TerminationSignals()
{
    if (impl_->active)
        for (size_t i = 0; i < kSignals.size(); ++i)
            ::sigaction(kSignals[i], &impl_->previous[i], nullptr);
    g_writeEnd = -1;
    impl_->notifier.reset();
    for (int fd : impl_->pipe)
        if (fd >= 0)
            ::close(fd);
}

bool TerminationSignals::isActive() const { return impl_->active; }

}  // namespace platform
