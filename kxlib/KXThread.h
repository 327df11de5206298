#pragma once
// KXThread: runs one KXRunable on a thread of its own.
//
// Life cycle: constructed (no thread) -> start() -> running -> run() returns -> finished (still
// joinable) -> join() -> no thread, and start() may be called again. start() while a thread is
// held (running or finished but not joined) is a programming error and throws
// KXSystemException("KXThread::start fail, repeat start !").
//
// Owners call join() before dropping the KXThread. A KXThread destroyed with a thread still held
// detaches it (the thread keeps its own reference to the runable and ends on its own); it never
// waits and never ends the process.
//
// Threads: start() and join() are meant for one controlling thread (the window thread); name()
// and isStarted() may be read from it at any time. Each constructor takes the next number of a
// process-wide counter, so the first KXThread is named "KXThread[1]".
#include "kxlib/KXRunable.h"
#include "kxlib/KXShared.h"
#include "kxlib/KXSmartPtr.h"

#include <string>
#include <thread>

namespace KXLib {

class KXThread : public virtual KXShared {
public:
    explicit KXThread(KXSmartPtr<KXRunable> runable);
    ~KXThread() override;
    KXThread(const KXThread&) = delete;
    KXThread& operator=(const KXThread&) = delete;

    // Starts the thread and returns its id. A null runable still starts a thread, which returns at
    // once. When the system refuses a new thread, returns an empty id (std::thread::id()) and the
    // KXThread stays unstarted.
    std::thread::id start();
    // Waits without a time limit for the thread to end, then forgets it. Does nothing when no
    // thread was started (or it was joined already). Must not be called from the thread itself.
    void join();

    // "KXThread[<n>]": a label for diagnostics, not given to the system.
    const std::string& name() const { return name_; }
    // True from a successful start() until join().
    bool isStarted() const { return thread_.joinable(); }
    // The running thread's id; empty when no thread is held.
    std::thread::id threadId() const { return threadId_; }
    const KXSmartPtr<KXRunable>& runable() const { return runable_; }

private:
    static void threadEntry(KXRunable* runable);

    KXSmartPtr<KXRunable> runable_;
    std::string name_;
    std::thread thread_;
    std::thread::id threadId_;
};

}  // namespace KXLib
