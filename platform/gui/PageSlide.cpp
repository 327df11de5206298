#include "platform/gui/PageSlide.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"

#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>

namespace platform {

struct PageSlide::Impl {
    Window& page;
    QPointer<QPropertyAnimation> animation;
    RECT target{};
    bool hasTarget = false;
};

PageSlide::PageSlide(Window& page) : impl_(std::make_unique<Impl>(Impl{page, nullptr, {}, false})) {}

PageSlide::~PageSlide() { finish(); }

void PageSlide::start(int durationMs)
{
    if (!isRunning())
        impl_->target = impl_->page.geometry();
    finish();
    impl_->hasTarget = true;
    QWidget* widget = widgetOf(impl_->page);
    const QPoint place(impl_->target.left, impl_->target.top);
    auto* animation = new QPropertyAnimation(widget, "pos", widget);
    animation->setDuration(std::max(durationMs, 1));
    animation->setStartValue(place + QPoint(impl_->target.width(), 0));
    animation->setEndValue(place);
    animation->setEasingCurve(QEasingCurve::Linear);
    impl_->animation = animation;
    widget->move(place + QPoint(impl_->target.width(), 0));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

bool PageSlide::isRunning() const
{
    return impl_->animation && impl_->animation->state() == QAbstractAnimation::Running;
}

void PageSlide::finish()
{
    if (!impl_->animation)
        return;
    QPropertyAnimation* animation = impl_->animation.data();
    impl_->animation = nullptr;
    // Stopping deletes it (DeleteWhenStopped); the page goes to its place first.
    if (QWidget* widget = widgetOf(impl_->page))
        widget->move(impl_->target.left, impl_->target.top);
    animation->stop();
}

RECT PageSlide::target() const { return impl_->hasTarget ? impl_->target : impl_->page.geometry(); }

}  // namespace platform
