#pragma once

#include <cstdint>
#include <string>

#include "rules/ChessBoard.h"

namespace tavlor {

// The Forsyth-Edwards text of the current position, as other chess programs read it: placement,
// side to move, the castling rights whose king and rook still stand at home, the en-passant
// square after every double step, the half-moves since the last pawn move or capture and the
// move number. Both counters start at the game's start position (0 and 1); the pass record that
// hands a set-up position to Black is no half-move.
std::string WriteFen(const TChessBoard& board);

// The text of a position given field by field; `enPassantFile` 0 writes "-". The square is on
// rank 6 when White is to move, else on rank 3.
std::string FenOf(const TSquares& squares, bool whiteToMove, const TCastlingRights& castling,
                  std::int32_t enPassantFile, std::int32_t halfMoveClock, std::int32_t moveNumber);

}  // namespace tavlor
