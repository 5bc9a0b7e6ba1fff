#pragma once

#include <iosfwd>

#include "cli/Commands.h"

namespace tavlor::cli {

// search FEN [--depth N] [--material-only] [--absolute-deep] [--values Q,R,N,B,P]
int SearchCommand(TArgs args, std::ostream& out, std::ostream& err);
// bench [--depth N]
int BenchCommand(TArgs args, std::ostream& out, std::ostream& err);
// uci: the engine behind the UCI protocol on standard input and output.
int UciCommand(TArgs args, std::ostream& out, std::ostream& err);

// The UCI session itself: commands are read from `in` on a second thread while a search runs
// on the calling thread. Returns when "quit" arrives or the input ends.
void RunUciSession(std::istream& in, std::ostream& out);

}  // namespace tavlor::cli
