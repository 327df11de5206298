#pragma once
// One external program (an encoder) run as a child process whose standard output and standard
// error arrive on one pipe. The child runs in a process group of its own, so that stopping it also
// ends whatever it started itself; it is killed when Lumaret ends (the kernel sends it SIGKILL when
// the thread that started it goes away, and every live group is killed at exit). Standard input is
// /dev/null.
//
// Threads: one owning thread calls start(), read(), finish() and the destructor. interrupt() and
// setNice() may be called from any thread at any time, also before start() and after finish().
// No call busy-waits: read() blocks in poll() until output arrives, the child ends, or interrupt()
// is called.
#include "kxlib/KXMutex.h"

#include <atomic>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

class ChildProcess {
public:
    // Nice values of the encoder priority classes. Raising the priority above normal needs
    // privileges; when the system refuses, the child simply keeps the normal value.
    static constexpr int kNiceRealtime = -15;
    static constexpr int kNiceHigh = -5;
    static constexpr int kNiceNormal = 0;
    static constexpr int kNiceIdle = 19;

    enum class ReadStatus {
        Data,         // bytes were appended to the caller's text
        Ended,        // the child has ended and everything it wrote has been read
        Interrupted,  // interrupt() was called; the child may still run
    };

    struct ExitStatus {
        bool exited = false;  // ended by exit(); false when ended by a signal or never started
        int code = -1;        // the exit code when exited
        int signal = 0;       // the signal that ended it otherwise
        bool success() const { return exited && code == 0; }
    };

    ChildProcess();
    // Kills the child's group and reaps it when it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Finds argv[0] (a path, or a bare name searched on PATH), then starts it with the given nice
    // value. Returns false, and a message naming the program in *error, when the program cannot be
    // found or started; nothing runs then. Only one start per object.
    bool start(const std::vector<std::string>& argv, int niceValue, std::string* error);

    // Waits for output. Appends at most maxBytes to text and returns Data; returns Ended once the
    // child has ended and the pipe is drained (also when its own children still hold the pipe:
    // their output is not waited for); Interrupted as soon as interrupt() has been called.
    ReadStatus read(std::string& text, size_t maxBytes = 8192);

    // Makes the current and every later read() return Interrupted. Any thread, any time.
    void interrupt();
    bool interrupted() const { return interrupted_.load(std::memory_order_acquire); }

    // Changes the nice value of the running child's group (the encoder and what it started).
    // Called before start(), the value replaces start()'s own; called while start() runs, it waits
    // until the child's id is known, so the child has the value when it returns. A refused raise is
    // ignored. Any thread.
    void setNice(int niceValue);

    // Kills the child's whole process group (if it still exists) and reaps the child. Returns how
    // it ended. Safe to call more than once; the later calls return the first result.
    ExitStatus finish();

    // The child's process id (also its group id); 0 when none was started or after finish().
    pid_t pid() const { return pid_.load(std::memory_order_acquire); }

    // Finds a program as start() would: a name with a "/" is taken as a path, a bare name is
    // searched on PATH. Returns the executable's path, or an empty string.
    static std::string findProgram(const std::string& name);

    // Kills every process group started through this class that still runs. Async-signal-safe:
    // meant for exit handlers and fatal-signal handlers of the programs.
    static void killAllGroups();

private:
    void closeDescriptors();
    ssize_t readInto(std::string& text, size_t maxBytes);
    ReadStatus drainAvailable(std::string& text, size_t maxBytes);
    bool childHasEnded();

    std::atomic<pid_t> pid_{0};
    // Held by start() from before the fork until pid_ is set.
    KXLib::KXMutex startMutex_;
    std::optional<int> niceBeforeStart_ KX_GUARDED_BY(startMutex_);
    int outputFd_ = -1;   // read end of the output pipe
    int processFd_ = -1;  // pidfd of the child: readable when it ends; -1 when the kernel has none
    int wakeFd_ = -1;     // eventfd written by interrupt()
    bool reaped_ = false;
    bool childEnded_ = false;     // the child has ended; the pipe is being drained
    size_t drainedAfterEnd_ = 0;  // bytes read since then
    bool ended_ = false;          // drained: read() returns Ended from now on
    ExitStatus status_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace platform
