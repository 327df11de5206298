#pragma once
// ShellRegistration: what the options page and the profile page need of the file-manager menus,
// without running the helper's work in the window's process. The registered state is whether our
// entries exist (ShellMenus::installed); changing it, or rewriting the entries after the profiles
// changed, is left to `lumaret-shellext`, started detached and not waited for, found beside the
// program first and on PATH otherwise.
//
// Threads: the window thread in the program (it reads the user's menu folders, which is quick).
#include <functional>
#include <string>

namespace app {

class ShellRegistration {
public:
    // Starts `lumaret-shellext <command>` ("register" or "unregister") without waiting for it;
    // false when it could not be started. Tests put a recorder in its place.
    using Starter = std::function<bool(const char* command)>;

    // Whether any menu entry of ours exists.
    static bool isRegistered();

    // Starts `lumaret-shellext register` when `wanted` and not registered, `unregister` when not
    // wanted and registered; otherwise starts nothing. Returns whether a helper was started.
    static bool sync(bool wanted, const Starter& start = startHelper);

    // Starts `lumaret-shellext register` when registered, so that the entries follow the profiles
    // after a save. Returns whether a helper was started.
    static bool refresh(const Starter& start = startHelper);

    // The helper's path, empty when there is none.
    static std::string helperProgram();

    // The real starter: the helper found by helperProgram(), detached. A failure goes to the
    // debug output only, as the registered state shows the outcome anyway.
    static bool startHelper(const char* command);
};

}  // namespace app
