#pragma once
// The command-line front end: parses the command name and hands the rest to the command.
#include <ostream>
#include <string>
#include <vector>

namespace app {

class CliFrontEnd {
public:
    // Runs one command line (without the program name) and returns the exit status.
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    static void printUsage(std::ostream& stream);
};

}  // namespace app
