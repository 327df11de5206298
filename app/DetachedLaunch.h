#pragma once
// DetachedLaunch: starts a program that outlives the caller, as a file manager starts an
// application: in a session of its own (no signal of the caller's terminal or process group
// reaches it), standard input from /dev/null, not waited for, and not a child of the caller (so a
// long-running caller collects no finished process). Used by lumaret-shellext to start lumaret and
// by ShellRegistration to start lumaret-shellext.
//
// Threads: any thread.
#include <string>
#include <vector>

namespace app {

class DetachedLaunch {
public:
    // Starts argv[0] (a path; PATH is not searched) with the arguments that follow, and returns
    // once it runs. Returns false, with a sentence naming the program and the system's reason in
    // *error when given, when it could not be started (no such file, not executable).
    static bool start(const std::vector<std::string>& argv, std::string* error);
};

}  // namespace app
