#include "convert/ConversionQueueLoop.h"

#include <utility>

namespace convert {

void ConversionQueueLoop::post(std::function<void()> function)
{
    {
        std::lock_guard lock(mutex_);
        functions_.push_back(std::move(function));
    }
    arrived_.notify_one();
}

ConversionQueue::Poster ConversionQueueLoop::poster()
{
    return [this](std::function<void()> function) { post(std::move(function)); };
}

std::function<void()> ConversionQueueLoop::take(const std::chrono::milliseconds* limit)
{
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return !functions_.empty(); };
    if (!limit)
        arrived_.wait(lock, ready);
    else if (!arrived_.wait_for(lock, *limit, ready))
        return {};
    std::function<void()> next = std::move(functions_.front());
    functions_.pop_front();
    return next;
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
            std::lock_guard lock(mutex_);
            if (functions_.empty())
                return count;
            next = std::move(functions_.front());
            functions_.pop_front();
        }
        next();
        ++count;
    }
}

}  // namespace convert
