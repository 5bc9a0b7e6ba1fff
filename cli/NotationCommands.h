#pragma once

#include <iosfwd>

#include "cli/Commands.h"

namespace tavlor::cli {

// fen FEN [MOVE...]: the FEN of the position after the moves.
int FenCommand(TArgs args, std::ostream& out, std::ostream& err);
// pgn FILE: the saved game as PGN.
int PgnCommand(TArgs args, std::ostream& out, std::ostream& err);
// import FILE.pgn OUT [--game N]: a PGN game written as a saved game file.
int ImportCommand(TArgs args, std::ostream& out, std::ostream& err);

}  // namespace tavlor::cli
