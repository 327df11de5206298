#include "platform/gui/Timer.h"

#include <QTimer>

#include <algorithm>

namespace platform {

struct Timer::Impl {
    QTimer timer;
    std::function<void()> callback;
};

Timer::Timer(std::function<void()> callback) : impl_(std::make_unique<Impl>())
{
    impl_->callback = std::move(callback);
    QObject::connect(&impl_->timer, &QTimer::timeout, [this] { fire(); });
}

Timer::~Timer() = default;

void Timer::start(int ms, bool repeat)
{
    impl_->timer.setSingleShot(!repeat);
    impl_->timer.start(std::max(ms, 0));
}

void Timer::stop() { impl_->timer.stop(); }
bool Timer::isActive() const { return impl_->timer.isActive(); }
int Timer::interval() const { return impl_->timer.interval(); }

void Timer::fire()
{
    // A copy, so the callback may destroy this timer while it runs.
    const auto callback = impl_->callback;
    if (callback)
        callback();
}

}  // namespace platform
