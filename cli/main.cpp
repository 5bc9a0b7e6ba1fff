// tavlor-cli: the game's rules, notation and engine on the command line, for scripts and tests.

#include <array>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/Commands.h"

namespace tavlor::cli {

namespace {

constexpr std::array cCommands = {
    TCommandEntry{"moves", "moves FEN", MovesCommand},
    TCommandEntry{"perft", "perft FEN DEPTH [--divide]", PerftCommand},
    TCommandEntry{"state", "state FEN [MOVE...]", StateCommand},
};

}  // namespace

int UsageError(std::ostream& err) {
    err << "Aufruf: tavlor-cli BEFEHL ...\n";
    for (const TCommandEntry& command : cCommands) err << "  tavlor-cli " << command.Usage << '\n';
    err << "FEN: eine Stellung in Forsyth-Edwards-Notation oder \"startpos\"; "
           "MOVE: Koordinaten wie e2e4 oder e7e8q\n";
    return cExitBadInput;
}

}  // namespace tavlor::cli

int main(int argc, char** argv) {
    using namespace tavlor::cli;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError(std::cerr);
    for (const TCommandEntry& command : cCommands)
        if (command.Name == args[0])
            return command.Run(TArgs(args).subspan(1), std::cout, std::cerr);
    std::cerr << "Unbekannter Befehl: " << args[0] << '\n';
    return UsageError(std::cerr);
}
