// tavlor-cli: the game's rules, notation and engine on the command line, for scripts and tests.

#include <iostream>
#include <string_view>
#include <vector>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return tavlor::cli::RunCommandLine(args, std::cout, std::cerr);
}
