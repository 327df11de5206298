// Entry point of lumaret-cli.
#include "app/CliFrontEnd.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return app::CliFrontEnd::run(args, std::cout, std::cerr);
}
