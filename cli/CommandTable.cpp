#include <array>
#include <ostream>

#include "cli/Commands.h"
#include "cli/EngineCommands.h"
#include "cli/GameCommands.h"
#include "cli/NotationCommands.h"

namespace tavlor::cli {

namespace {

// Every command of the tool; a new command adds its line here.
constexpr std::array cCommands = {
    TCommandEntry{"moves", "moves FEN", MovesCommand},
    TCommandEntry{"perft", "perft FEN DEPTH [--divide]", PerftCommand},
    TCommandEntry{"state", "state FEN [MOVE...]", StateCommand},
    TCommandEntry{"search",
                  "search FEN [--depth N] [--material-only] [--absolute-deep] [--values Q,R,N,B,P]",
                  SearchCommand},
    TCommandEntry{"bench", "bench [--depth N]", BenchCommand},
    TCommandEntry{"uci", "uci", UciCommand},
    TCommandEntry{"save", "save FILE FEN [MOVE...]", SaveCommand},
    TCommandEntry{"load", "load FILE", LoadCommand},
    TCommandEntry{"fen", "fen FEN [MOVE...]", FenCommand},
    TCommandEntry{"pgn", "pgn FILE.TVG", PgnCommand},
    TCommandEntry{"import", "import FILE.pgn OUT.TVG [--game N]", ImportCommand},
};

}  // namespace

int UsageError(std::ostream& err) {
    err << "Aufruf: tavlor-cli BEFEHL ...\n";
    for (const TCommandEntry& command : cCommands)
        err << "  tavlor-cli " << command.Usage << '\n';
    err << "FEN: eine Stellung in Forsyth-Edwards-Notation oder \"startpos\"; "
           "MOVE: Koordinaten wie e2e4 oder e7e8q\n";
    return cExitBadInput;
}

int RunCommandLine(TArgs args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return UsageError(err);
    for (const TCommandEntry& command : cCommands)
        if (command.Name == args[0]) return command.Run(args.subspan(1), out, err);
    err << "Unbekannter Befehl: " << args[0] << '\n';
    return UsageError(err);
}

}  // namespace tavlor::cli
