#pragma once
// ShellRegistration: what the options page and the profile page need of the file-manager menus,
// without running the helper's work in the window's process. The registered state is whether our
// entries exist (ShellMenus::installed); changing it, or rewriting the entries after the profiles
// changed, is left to `lumaret-shellext`, started detached and not waited for, found beside the
// program first and on PATH otherwise.
//
// Threads: the window thread in the program (it reads the user's menu folders, which is quick).
#include <string>

namespace app {

class ShellRegistration {
public:
    // Whether any menu entry of ours exists.
    static bool isRegistered();

    // Starts `lumaret-shellext register` when `wanted` and not registered, `unregister` when not
    // wanted and registered; otherwise starts nothing. Returns whether a helper was started.
    static bool sync(bool wanted);

    // Starts `lumaret-shellext register` when registered, so that the entries follow the profiles
    // after a save. Returns whether a helper was started.
    static bool refresh();

    // The helper's path, empty when there is none.
    static std::string helperProgram();

private:
    static bool startHelper(const char* command);
};

}  // namespace app
