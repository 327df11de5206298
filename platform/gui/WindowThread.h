#pragma once
// The window thread: the one thread that may create and touch windows. A few operations (showing a
// message box) may be asked for from other threads and are carried over to it.
#include <functional>

namespace platform {

class WindowThread {
public:
    // True on the thread that runs the application's event loop.
    static bool isCurrent();
    // Runs `task` on the window thread and returns when it has finished: directly when called there,
    // else queued to it while the caller waits. The window thread's event loop must be running (or
    // about to run) for a queued task to be done.
    static void run(const std::function<void()>& task);
    // Queues `task` to the window thread and returns at once; tasks run in the order they were
    // posted. Safe from any thread. Without an application object the task is dropped, since no
    // window thread exists to run it.
    static void post(std::function<void()> task);
};

}  // namespace platform
