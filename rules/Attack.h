#pragma once

#include <cstdint>

#include "rules/ChessBoard.h"

namespace tavlor {

// Attack tests read straight from the squares, for callers that ask about one square at a time
// (the notation's legality and check-sign tests), where the move generator first copies the
// whole position.

// The squares beyond (file, rank) in the direction of a step of -1, 0 or 1 along files and ranks.
constexpr std::int32_t SquaresToEdge(std::int32_t file, std::int32_t rank, std::int32_t fileStep,
                                     std::int32_t rankStep) {
    const std::int32_t files = fileStep > 0 ? 8 - file : fileStep < 0 ? file - 1 : 8;
    const std::int32_t ranks = rankStep > 0 ? 8 - rank : rankStep < 0 ? rank - 1 : 8;
    return files < ranks ? files : ranks;
}

// Whether a piece of the side `byWhite` attacks the square (file and rank 1 to 8).
bool IsSquareAttacked(const TSquares& squares, std::int32_t file, std::int32_t rank, bool byWhite);

// The answer IsKingInCheck gives: the king of the side `white` attacked, the first one in the
// order of files, then ranks, when there are several; false without a king.
bool IsKingAttacked(const TSquares& squares, bool white);

}  // namespace tavlor
