// Entry point of lumaret-shellext.
#include "app/ShellExtFrontEnd.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return app::ShellExtFrontEnd::run(args, std::cout, std::cerr);
}
