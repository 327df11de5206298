#pragma once
// AwakeClock: the time the machine has been awake. Durations measured on it leave out the hours a
// laptop spends suspended, so a conversion paused by a closed lid does not look slow. Tests give
// the estimators a scripted clock of their own instead of the machine's.
//
// Threads: system() may be called and read from any thread; a scripted clock is the test's affair.
#include <cstdint>

namespace platform {

class AwakeClock {
public:
    virtual ~AwakeClock();

    // Milliseconds since a start point of the clock's choosing. Never goes back; stands still
    // while the machine is suspended.
    virtual int64_t nowMillis() const = 0;

    // The machine's clock: CLOCK_MONOTONIC, which on Linux does not advance during a suspend
    // (unlike CLOCK_BOOTTIME). The object lives as long as the program.
    static const AwakeClock& system();
};

}  // namespace platform
