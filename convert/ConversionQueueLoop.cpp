#include "convert/ConversionQueueLoop.h"

#include "kxlib/KXMutexLock.h"

#include <utility>

namespace convert {

using KXLib::KXMutexLock;

void ConversionQueueLoop::post(std::function<void()> function)
{
    {
        KXMutexLock lock(mutex_);
        functions_.push_back(std::move(function));
    }
    arrived_.signal();
}

ConversionQueue::Poster ConversionQueueLoop::poster()
{
    return [this](std::function<void()> function) { post(std::move(function)); };
}

std::function<void()> ConversionQueueLoop::popFront()
{
    if (functions_.empty())
        return {};
    std::function<void()> next = std::move(functions_.front());
    functions_.pop_front();
    return next;
}

std::function<void()> ConversionQueueLoop::take(const std::chrono::milliseconds* limit)
{
    const auto deadline = std::chrono::steady_clock::now() + (limit ? *limit : std::chrono::milliseconds(0));
    KXMutexLock lock(mutex_);
    while (functions_.empty()) {
        if (!limit)
            arrived_.wait(mutex_);
        else if (!arrived_.waitUntil(mutex_, deadline))
            break;
    }
    return popFront();
}

void ConversionQueueLoop::runOne()
{
    // Run outside the lock: the function may post again.
    take(nullptr)();
}

bool ConversionQueueLoop::runOneWithin(std::chrono::milliseconds limit)
{
    std::function<void()> next = take(&limit);
    if (!next)
        return false;
    next();
    return true;
}

std::size_t ConversionQueueLoop::runPending()
{
    std::size_t count = 0;
    for (;;) {
        std::function<void()> next;
        {
            KXMutexLock lock(mutex_);
            next = popFront();
        }
        if (!next)
            return count;
        next();
        ++count;
    }
}

}  // namespace convert
