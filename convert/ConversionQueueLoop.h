#pragma once
// The owner's loop of a conversion queue that has no window: lumaret-cli and the engine tests run
// the queue's reports here. Any thread posts functions; the owner's thread runs them in order.
//
// Threads: post() and poster()'s function from any thread; the run functions on the owner's
// thread only. Lifetime: the loop must outlive every queue that posts into it.
#include "convert/ConversionQueue.h"
#include "kxlib/KXCondition.h"
#include "kxlib/KXMutex.h"
#include "kxlib/KXThreadSafety.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>

namespace convert {

class ConversionQueueLoop {
public:
    // Queues a function to run on the owner's thread.
    void post(std::function<void()> function);
    // A poster for ConversionQueue that posts here.
    ConversionQueue::Poster poster();

    // Waits, without a time limit, until a function is queued, then runs it.
    void runOne();
    // As runOne(), but gives up after `limit` (the tests' safety net against a lost report);
    // false when nothing arrived in time.
    bool runOneWithin(std::chrono::milliseconds limit);
    // Runs what is queued now (and what those functions post) without waiting; returns how many ran.
    std::size_t runPending();

private:
    // Takes the next function, waiting at most `limit` (none: forever); empty when none came.
    std::function<void()> take(const std::chrono::milliseconds* limit);
    // Takes the first queued function; empty when none is queued.
    std::function<void()> popFront() KX_REQUIRES(mutex_);

    // Jobs and the probe post while they hold their own locks, so this one comes last; it is never
    // held while a function runs.
    KXLib::KXMutex mutex_ KX_ACQUIRED_AFTER(convertFile::jobLock);
    KXLib::KXCondition arrived_;
    std::deque<std::function<void()>> functions_ KX_GUARDED_BY(mutex_);
};

}  // namespace convert
