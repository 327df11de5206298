#pragma once
// DetachedLaunch: starts a program that outlives the caller, as a file manager starts an
// application: in a session of its own (no signal of the caller's terminal or process group
// reaches it), standard input from /dev/null, not waited for. Used by lumaret-shellext, which
// ends right after it started lumaret.
//
// Threads: any thread.
#include <string>
#include <vector>

namespace app {

class DetachedLaunch {
public:
    // Starts argv[0] (a path) with the arguments that follow. Returns false, with a sentence
    // naming the program in *error when given, when it could not be started.
    static bool start(const std::vector<std::string>& argv, std::string* error);
};

}  // namespace app
