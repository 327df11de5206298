#pragma once
// TerminationSignals: turns SIGTERM, SIGHUP and SIGINT into a call on the window thread, so the
// program can end the way its close button does (stopping its encoders, saving what it owns)
// instead of dying with an encoder still running in its own process group.
//
// Only one object may exist at a time. While it exists the three signals are caught; the previous
// dispositions come back when it goes. The handler is given the signal's number, so the program
// can end with that signal's status once it has cleaned up. Signals that arrive before the handler
// runs are folded into one call, which names the first of them.
//
// Threads: create and destroy on the window thread; the handler runs there.
#include <functional>
#include <memory>

namespace platform {

class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void(int signal)> handler);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the signals could not be caught (the program then ends as it would anyway).
    bool isActive() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
