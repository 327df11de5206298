#include "platform/gui/WindowThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace platform {

bool WindowThread::isCurrent()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

void WindowThread::run(const std::function<void()>& task)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || isCurrent()) {
        task();
        return;
    }
    QMetaObject::invokeMethod(application, [&task] { task(); }, Qt::BlockingQueuedConnection);
}

void WindowThread::post(std::function<void()> task)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || !task)
        return;
    QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
}

}  // namespace platform
