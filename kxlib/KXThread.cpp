#include "kxlib/KXThread.h"

#include "kxlib/KXSystemException.h"

#include <atomic>
#include <system_error>
#include <utility>

namespace KXLib {

namespace {

// Threads are normally built on the window thread only, but an atomic counter costs nothing and
// keeps the numbering right if that ever changes.
std::atomic<unsigned> constructedThreads{0};

}  // namespace

KXThread::KXThread(KXSmartPtr<KXRunable> runable)
    : runable_(std::move(runable)),
      name_("KXThread[" + std::to_string(constructedThreads.fetch_add(1) + 1) + "]")
{
}

KXThread::~KXThread()
{
    // A forgotten join() must not end the process, as destroying a joinable std::thread would:
    // the thread owns a reference to its runable and finishes by itself.
    if (thread_.joinable())
        thread_.detach();
}

std::thread::id KXThread::start()
{
    if (thread_.joinable())
        throw KXSystemException(__FILE__, __LINE__, "KXThread::start fail, repeat start !");

    // The new thread's reference is taken here, before the thread exists, and handed over to it:
    // were it taken on the new thread, an owner that dropped this KXThread right after start()
    // could delete the runable before the thread got to it.
    KXRunable* runable = runable_.raw();
    if (runable)
        runable->addRef();
    try {
        thread_ = std::thread(&KXThread::threadEntry, runable);
    } catch (const std::system_error&) {
        if (runable)
            runable->release();
        return {};
    }
    threadId_ = thread_.get_id();
    return threadId_;
}

void KXThread::join()
{
    if (!thread_.joinable())
        return;
    thread_.join();
    threadId_ = std::thread::id();
}

void KXThread::threadEntry(KXRunable* runable)
{
    if (!runable)
        return;
    try {
        runable->run();
    } catch (...) {
        runable->release();
        throw;
    }
    runable->release();
}

}  // namespace KXLib
