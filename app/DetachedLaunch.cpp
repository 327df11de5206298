#include "app/DetachedLaunch.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace app {

namespace {

// Runs in the grandchild, between fork and exec: only async-signal-safe calls (the caller may
// have other threads). An exec failure is reported through the pipe as the errno value.
[[noreturn]] void execDetached(char* const* arguments, int reportFd)
{
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        if (null != STDIN_FILENO)
            ::close(null);
    }
    ::execv(arguments[0], arguments);
    const int error = errno;
    ssize_t ignored = ::write(reportFd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

bool DetachedLaunch::start(const std::vector<std::string>& argv, std::string* error)
{
    if (argv.empty())
        return false;
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    // The program is started by a short-lived intermediate process that ends at once, so the
    // program belongs to no one here: a long-running caller (the main window) collects no zombie
    // and the program outlives the caller. The intermediate starts a session of its own first,
    // so closing the caller's terminal does not end the program either.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        if (error)
            *error = "无法启动 " + argv.front() + " (" + std::strerror(errno) + ")";
        return false;
    }
    const pid_t intermediate = ::fork();
    if (intermediate == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0)
            execDetached(arguments.data(), report[1]);
        ::_exit(program < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int reason = intermediate < 0 ? errno : 0;
    if (intermediate > 0) {
        const int status = waitFor(intermediate);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            reason = EAGAIN;
        // The pipe closes without a word when the exec succeeds.
        int execError = 0;
        ssize_t got;
        while ((got = ::read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
        }
        if (got == static_cast<ssize_t>(sizeof execError))
            reason = execError;
    }
    ::close(report[0]);
    if (reason != 0) {
        if (error)
            *error = "无法启动 " + argv.front() + " (" + std::strerror(reason) + ")";
        return false;
    }
    return true;
}

}  // namespace app
