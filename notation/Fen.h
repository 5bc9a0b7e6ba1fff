#pragma once

#include <string_view>

#include "rules/ChessBoard.h"

namespace tavlor {

// Replaces the game with the position of a Forsyth-Edwards text and makes it the start of a new
// record. The reading is lenient and never fails: unknown characters are ignored, pieces that
// would fall off the board are skipped, a castling letter counts only with king and rook at home,
// and an en-passant square counts only when the pawn that made the double step stands on it with
// the two squares behind it empty. Black is to move unless the second field says "w".
void ReadFen(TChessBoard& board, std::string_view text);

// The initial position; the command-line tools accept "startpos" for it.
inline constexpr std::string_view cStartFen =
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

}  // namespace tavlor
