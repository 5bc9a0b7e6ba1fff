#pragma once

#include <cstdint>

#include "rules/ChessBoard.h"

namespace tavlor {

// Leaf count to `depth` half-moves through the game object's own generator, make and take back.
// A pawn move to the last rank counts once per promotion piece, as published perft tables do.
std::uint64_t Perft(TChessBoard& board, int depth);

}  // namespace tavlor
