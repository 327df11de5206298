#include "platform/core/ChildProcess.h"

#include "kxlib/KXMutexLock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// Process groups that may still run, for killAllGroups(). A fixed table of atomics so that the
// exit and signal handlers can walk it without locks; a group that finds no free slot is still
// covered by the death signal of its leader.
constexpr size_t kGroupSlots = 128;
std::array<std::atomic<pid_t>, kGroupSlots> liveGroups{};

void registerGroup(pid_t group)
{
    for (auto& slot : liveGroups) {
        pid_t expected = 0;
        if (slot.compare_exchange_strong(expected, group))
            return;
    }
}

void unregisterGroup(pid_t group)
{
    for (auto& slot : liveGroups) {
        pid_t expected = group;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

void installExitHandler()
{
    static std::once_flag once;
    std::call_once(once, [] { std::atexit(ChildProcess::killAllGroups); });
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

int openPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#endif
    return -1;
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Runs in the child between fork() and exec: only async-signal-safe calls.
[[noreturn]] void execChild(const char* path, char* const* argv, int outputFd, int nullFd, int errorFd,
                            pid_t parent, int niceValue)
{
    ::setpgid(0, 0);
    // The encoder dies with the thread that started it; if the parent is already gone, give up.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &defaults, nullptr);
    ::sigaction(SIGINT, &defaults, nullptr);
    ::sigaction(SIGTERM, &defaults, nullptr);
    ::setpriority(PRIO_PROCESS, 0, niceValue);  // a refused raise keeps the normal priority
    if (::dup2(nullFd, STDIN_FILENO) < 0 || ::dup2(outputFd, STDOUT_FILENO) < 0 ||
        ::dup2(outputFd, STDERR_FILENO) < 0) {
        const int code = errno;
        [[maybe_unused]] auto written = ::write(errorFd, &code, sizeof code);
        ::_exit(127);
    }
    ::execve(path, argv, environ);
    const int code = errno;
    [[maybe_unused]] auto written = ::write(errorFd, &code, sizeof code);
    ::_exit(127);
}

}  // namespace

ChildProcess::ChildProcess()
{
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

ChildProcess::~ChildProcess()
{
    finish();
    closeFd(wakeFd_);
}

std::string ChildProcess::findProgram(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? name : std::string();
    const char* pathList = std::getenv("PATH");
    std::string path = pathList ? pathList : "/usr/local/bin:/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find(':', begin);
        if (end == std::string::npos)
            end = path.size();
        // An empty entry means the current folder.
        const std::string folder = end > begin ? path.substr(begin, end - begin) : std::string(1, '.');
        std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        begin = end + 1;
    }
    return {};
}

bool ChildProcess::start(const std::vector<std::string>& argv, int niceValue, std::string* error)
{
    auto fail = [error](std::string message) {
        if (error)
            *error = std::move(message);
        return false;
    };
    if (pid_.load() != 0 || reaped_)
        return fail("the process object was already used");
    if (argv.empty() || argv.front().empty())
        return fail("no program given");
    const std::string path = findProgram(argv.front());
    if (path.empty())
        return fail("cannot start \"" + argv.front() + "\": program not found");
    if (wakeFd_ < 0)
        return fail("cannot start \"" + argv.front() + "\": " + std::strerror(errno));

    // Everything the child needs is prepared before fork(): after it only async-signal-safe calls
    // may run in the child of a threaded program.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int output[2] = {-1, -1};
    int errors[2] = {-1, -1};
    int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nullFd < 0 || ::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(errors, O_CLOEXEC) != 0) {
        const std::string reason = std::strerror(errno);
        closeFd(nullFd);
        closeFd(output[0]), closeFd(output[1]), closeFd(errors[0]), closeFd(errors[1]);
        return fail("cannot start \"" + argv.front() + "\": " + reason);
    }

    installExitHandler();
    KXLib::KXMutexLock startGuard(startMutex_);
    if (niceBeforeStart_)
        niceValue = *niceBeforeStart_;
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0)
        execChild(path.c_str(), args.data(), output[1], nullFd, errors[1], parent, niceValue);

    const int forkError = errno;
    closeFd(output[1]);
    closeFd(errors[1]);
    closeFd(nullFd);
    if (child < 0) {
        closeFd(output[0]), closeFd(errors[0]);
        return fail("cannot start \"" + argv.front() + "\": " + std::strerror(forkError));
    }
    // Both sides set the group, so that it exists before either goes on.
    ::setpgid(child, child);
    registerGroup(child);

    // The error pipe closes on a successful exec; otherwise it carries the errno of the failure.
    int execError = 0;
    ssize_t got;
    do {
        got = ::read(errors[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    closeFd(errors[0]);
    if (got == static_cast<ssize_t>(sizeof execError)) {
        int ignored;
        while (::waitpid(child, &ignored, 0) < 0 && errno == EINTR) {
        }
        unregisterGroup(child);
        closeFd(output[0]);
        return fail("cannot start \"" + argv.front() + "\": " + std::strerror(execError));
    }

    outputFd_ = output[0];
    ::fcntl(outputFd_, F_SETFL, ::fcntl(outputFd_, F_GETFL) | O_NONBLOCK);
    processFd_ = openPidFd(child);
    pid_.store(child, std::memory_order_release);
    return true;
}

bool ChildProcess::childHasEnded()
{
    const pid_t child = pid_.load();
    if (child == 0)
        return true;
    siginfo_t info {};
    // WNOWAIT leaves the child for finish() to reap, so its group id stays reserved until then.
    if (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return errno == ECHILD;
    return info.si_pid == child;
}

ssize_t ChildProcess::readInto(std::string& text, size_t maxBytes)
{
    const size_t before = text.size();
    text.resize(before + maxBytes);
    ssize_t got;
    do {
        got = ::read(outputFd_, text.data() + before, maxBytes);
    } while (got < 0 && errno == EINTR);
    text.resize(before + (got > 0 ? static_cast<size_t>(got) : 0));
    return got;
}

ChildProcess::ReadStatus ChildProcess::drainAvailable(std::string& text, size_t maxBytes)
{
    // The child is gone: what it wrote is in the pipe already. Take that, but wait neither for
    // children of its own that may still hold the pipe open nor read their chatter for ever.
    constexpr size_t kMaxAfterEnd = 1 << 20;
    if (outputFd_ >= 0 && drainedAfterEnd_ < kMaxAfterEnd) {
        maxBytes = std::min(maxBytes, kMaxAfterEnd - drainedAfterEnd_);
        const ssize_t got = readInto(text, maxBytes);
        if (got > 0) {
            drainedAfterEnd_ += static_cast<size_t>(got);
            return ReadStatus::Data;
        }
    }
    ended_ = true;
    return ReadStatus::Ended;
}

ChildProcess::ReadStatus ChildProcess::read(std::string& text, size_t maxBytes)
{
    if (maxBytes == 0)
        maxBytes = 1;
    for (;;) {
        if (interrupted())
            return ReadStatus::Interrupted;
        if (ended_ || pid_.load() == 0)
            return ReadStatus::Ended;
        if (childEnded_)
            return drainAvailable(text, maxBytes);

        // Slots of descriptors that are closed hold -1, which poll() skips.
        pollfd fds[3] = {{wakeFd_, POLLIN, 0}, {outputFd_, POLLIN, 0}, {processFd_, POLLIN, 0}};
        // Without a pidfd (old kernels) the end of a child whose own children keep the pipe open
        // is noticed by a check every quarter second; with one, poll wakes for it.
        const int timeout = processFd_ >= 0 ? -1 : 250;
        const int ready = ::poll(fds, 3, timeout);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            ended_ = true;
            return ReadStatus::Ended;
        }
        if (fds[0].revents != 0 || interrupted())
            return ReadStatus::Interrupted;

        const bool processEnded =
            (processFd_ >= 0 && fds[2].revents != 0) || (processFd_ < 0 && childHasEnded());
        if (processEnded) {
            childEnded_ = true;
            return drainAvailable(text, maxBytes);
        }
        if (outputFd_ >= 0 && fds[1].revents != 0) {
            const ssize_t got = readInto(text, maxBytes);
            if (got > 0)
                return ReadStatus::Data;
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                // Every writer closed the pipe; what remains is to wait for the child's end.
                closeFd(outputFd_);
            }
            continue;
        }
    }
}

void ChildProcess::interrupt()
{
    interrupted_.store(true, std::memory_order_release);
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
    }
}

void ChildProcess::setNice(int niceValue)
{
    KXLib::KXMutexLock startGuard(startMutex_);
    const pid_t group = pid_.load(std::memory_order_acquire);
    if (group != 0)
        ::setpriority(PRIO_PGRP, static_cast<id_t>(group), niceValue);  // refusal ignored
    else
        niceBeforeStart_ = niceValue;  // also after finish(), where nothing reads it any more
}

ChildProcess::ExitStatus ChildProcess::finish()
{
    const pid_t child = pid_.load();
    if (child == 0 || reaped_)
        return status_;
    // The group is killed before the leader is reaped: until then its id cannot be reused, so the
    // signal cannot reach a stranger. An ended leader is a zombie and keeps its exit status.
    ::kill(-child, SIGKILL);
    unregisterGroup(child);
    pid_.store(0, std::memory_order_release);
    int raw = 0;
    pid_t got;
    do {
        got = ::waitpid(child, &raw, 0);
    } while (got < 0 && errno == EINTR);
    reaped_ = true;
    if (got == child) {
        if (WIFEXITED(raw)) {
            status_.exited = true;
            status_.code = WEXITSTATUS(raw);
        } else if (WIFSIGNALED(raw)) {
            status_.signal = WTERMSIG(raw);
        }
    }
    closeDescriptors();
    return status_;
}

void ChildProcess::closeDescriptors()
{
    closeFd(outputFd_);
    closeFd(processFd_);
}

void ChildProcess::killAllGroups()
{
    for (auto& slot : liveGroups) {
        const pid_t group = slot.load();
        if (group > 0)
            ::kill(-group, SIGKILL);
    }
}

}  // namespace platform
