#pragma once
// A single-shot or repeating timer on the window thread; the callback runs there. Destroying the
// timer stops it, so a callback never reaches a destroyed owner. The callback may stop or restart
// its own timer, and may destroy it.
#include <functional>
#include <memory>

namespace platform {

class Timer {
public:
    explicit Timer(std::function<void()> callback);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // (Re)starts the timer: it fires once after `ms` milliseconds, or every `ms` when `repeat`.
    void start(int ms, bool repeat = false);
    void stop();
    bool isActive() const;
    // The interval of the last start().
    int interval() const;
    // Runs the callback now, as an expiry would (the timer's state is not changed first).
    void fire();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
