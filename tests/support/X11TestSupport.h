#pragma once
// Helpers of the tests that drive windows with real input in a real X server: waiting for a
// condition while the event loop runs, and sending pointer input through xdotool (XTest).
#include "platform/gui/Timer.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

namespace x11test {

// Runs the event loop until `done` holds or `seconds` pass; false on time-out. A 20 ms timer wakes
// the loop, so it sleeps between events instead of spinning.
inline bool waitUntil(const std::function<bool()>& done, int seconds = 20)
{
    platform::Timer tick([] {});
    tick.start(20, true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs xdotool with the arguments; true when it succeeded.
inline bool xdotool(const std::string& arguments)
{
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

inline std::string at(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

}  // namespace x11test
