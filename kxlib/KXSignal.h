#pragma once
// KXSignal: owns one waitable KXSemaphore, created by the signal's owner and handed over at
// construction (the media probe uses a semaphore with count 0 and ceiling kKXSignalMaximum).
// post() adds one unit; wait(ms) takes one, waiting up to ms milliseconds (kKXInfinite: no
// limit). A signal without a semaphore refuses to post and never waits.
//
// Threads: post() and wait() may be called from any thread; the signal must outlive them.
#include "kxlib/KXSemaphore.h"

#include <cstdint>
#include <memory>

namespace KXLib {

class KXSignal {
public:
    explicit KXSignal(std::unique_ptr<KXSemaphore> semaphore);
    virtual ~KXSignal();
    KXSignal(const KXSignal&) = delete;
    KXSignal& operator=(const KXSignal&) = delete;

    // False when the semaphore is at its ceiling (or missing).
    bool post();
    // True when a unit was taken, false on time-out (at once without a semaphore).
    bool wait(uint32_t milliseconds);

private:
    std::unique_ptr<KXSemaphore> semaphore_;
};

}  // namespace KXLib
