#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/ChessBoard.h"

namespace tavlor {

// Replaces the game with the position of a Forsyth-Edwards text and makes it the start of a new
// record. The reading is lenient and never fails: unknown characters are ignored, pieces that
// would fall off the board are skipped, a castling letter counts only with king and rook at home,
// and an en-passant square counts only when the pawn that made the double step stands on it with
// the two squares behind it empty and the step can have been the last move. Black is to move unless
// the second field says "w".
void ReadFen(TChessBoard& board, std::string_view text);

// Why a Forsyth-Edwards text cannot be played from, in German (for "Ungültige Spielstellung: "),
// or nothing when it can. The placement field must be eight ranks of eight squares in piece
// letters and digits; the position ReadFen makes of the text must then pass PositionError. The
// other fields stay as lenient as ReadFen reads them.
std::optional<std::string> FenPositionError(std::string_view fen);

// Why the board's current position cannot be played from with the given side to move: a side
// without exactly one king, a pawn on the first or last rank, or the side not to move in check
// (its king could be taken). Nothing when the position is sound.
std::optional<std::string> PositionError(const TChessBoard& board, bool whiteToMove);

// Why the double step `step`, which the board shows made, cannot have been the last move, in
// German: before it the side that made it was to move, so the other king cannot have stood in
// check then. Nothing when it can have been.
std::optional<std::string> DoubleStepError(const TChessBoard& board, const TChessMove& step);

// The rights of `wanted` that can apply on `squares`: each needs its king and rook at home;
// otherwise castling would conjure a rook.
TCastlingRights PossibleCastlingRights(const TSquares& squares, TCastlingRights wanted);

// The initial position; the command-line tools accept "startpos" for it.
inline constexpr std::string_view cStartFen =
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

}  // namespace tavlor
