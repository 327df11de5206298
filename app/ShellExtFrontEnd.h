#pragma once
// ShellExtFrontEnd: the program lumaret-shellext, which puts Lumaret into the file managers'
// context menus and is what those menu entries run.
//   register     writes the entries (ShellMenus) for the profiles marked for the menu, in the
//                menus of the file managers found (installed, or used in the home folder)
//   unregister   removes exactly what register wrote
//   status       prints "registered" or "not registered", then one line per file manager:
//                "<name>: found|not found, entries present|no entries"
//   convert [--media-only] PROFILE FILE...
//                hands the files to a new `lumaret contextmenu` through a command file of their
//                own in the command folder (CommandFolder).
//                PROFILE is a profile name, "自定义转换", or --id=<identifier> as the menus pass
//                it; every argument after it is a file, whatever it looks like. With
//                --media-only, files that are not video or audio by content or name
//                (MediaFileCheck) are left out.
// register and unregister hold the data folder lock, so two of them (or one and a profile save)
// never interleave. Messages go to standard error; the exit status is 0 on success, 1 when
// something could not be done (what could be done is done), 2 for a bad command line.
#include <ostream>
#include <string>
#include <vector>

namespace app {

class ShellExtFrontEnd {
public:
    // Runs one command line (without the program name).
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    static void printUsage(std::ostream& stream);

private:
    static int status(std::ostream& out);
    static int registerMenus(std::ostream& err);
    static int unregisterMenus(std::ostream& err);
    static int convert(const std::vector<std::string>& args, std::ostream& err);
};

}  // namespace app
