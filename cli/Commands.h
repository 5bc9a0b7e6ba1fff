#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "rules/ChessBoard.h"

namespace tavlor::cli {

// Every command gets its arguments after the command name and returns the exit code:
// 0 done, 2 bad usage or bad input (the message is on `err`).
using TArgs = std::span<const std::string_view>;
using TCommand = int (*)(TArgs args, std::ostream& out, std::ostream& err);

struct TCommandEntry {
    std::string_view Name;
    std::string_view Usage;  // argument synopsis shown in the usage text
    TCommand Run;
};

inline constexpr int cExitOk = 0;
inline constexpr int cExitBadInput = 2;

// Runs the command named by the first argument; unknown or missing: usage on `err`, exit code 2.
int RunCommandLine(TArgs args, std::ostream& out, std::ostream& err);

// Prints the usage of all commands on `err` and returns cExitBadInput.
int UsageError(std::ostream& err);

// Reads a FEN text, or "startpos" for the initial position, into a fresh game.
void ReadPosition(std::string_view fen, TChessBoard& board);

// Makes moves in coordinates ("e2e4", "e7e8q") as a person at the board would: each must be
// legal, a pawn reaching the last rank needs its letter, the piece is set after the move.
// On the first bad move: a message naming it on `err`, false.
bool PlayUciMoves(TChessBoard& board, TArgs moves, std::ostream& err);

// Prints the game-end code of the position, and for a finished game a blank and its message.
void PrintGameState(TChessBoard& board, std::ostream& out);

int MovesCommand(TArgs args, std::ostream& out, std::ostream& err);
int PerftCommand(TArgs args, std::ostream& out, std::ostream& err);
int StateCommand(TArgs args, std::ostream& out, std::ostream& err);

}  // namespace tavlor::cli
