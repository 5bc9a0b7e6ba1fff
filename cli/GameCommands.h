#pragma once

#include <iosfwd>

#include "cli/Commands.h"

namespace tavlor::cli {

// save FILE FEN [MOVE...]: plays the moves from the position and writes the game file.
int SaveCommand(TArgs args, std::ostream& out, std::ostream& err);
// load FILE: prints the move list of the saved game and the state at its end.
int LoadCommand(TArgs args, std::ostream& out, std::ostream& err);

}  // namespace tavlor::cli
