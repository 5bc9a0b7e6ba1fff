#pragma once

#include <cstdint>
#include <vector>

#include "rules/ChessBoard.h"

namespace tavlor {

// Leaf count to `depth` half-moves through the game object's own generator, make and take back.
// A pawn move to the last rank counts once per promotion piece, as published perft tables do.
std::uint64_t Perft(TChessBoard& board, int depth);

struct TPerftEntry {
    TChessMove Move;  // with its promotion piece
    std::uint64_t Leaves = 0;
};

// The leaf count below each legal move of the side to move, in generation order (depth >= 1).
std::vector<TPerftEntry> PerftDivide(TChessBoard& board, int depth);

}  // namespace tavlor
