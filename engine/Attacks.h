#pragma once

#include <bit>
#include <cstdint>

#include "engine/SearchContext.h"
#include "engine/SquareSets.h"

namespace tavlor {

// IsAttacked for a colour known when compiling (+1 White, -1 Black): the evaluation asks it twice
// at every node.
template <std::int32_t Colour>
inline bool IsAttackedBy(const SearchContext& context, std::int32_t square) {
    const auto& board = context.SearchBoard;
    constexpr std::int32_t pawn = spPawn * Colour;
    // A white pawn attacks upwards, so it stands below the square; a black one above it.
    const std::int32_t below = square - 10 * Colour;
    if (board[static_cast<std::size_t>(below + 1)] == pawn ||
        board[static_cast<std::size_t>(below - 1)] == pawn)
        return true;
    const auto& pieces = context.PieceBits[Colour > 0 ? 0 : 1];
    const auto bit = static_cast<std::size_t>(BitOfIndex[static_cast<std::size_t>(square)]);
    if ((pieces[spKnight] & KnightReachSet[bit]) != 0) return true;
    if ((pieces[spKing] & KingReachSet[bit]) != 0) return true;
    // A slider attacks when it is the first piece on its ray: the nearest occupied square, the
    // lowest bit on rays that climb the board and the highest on rays that descend.
    const TSquareSet occupied = context.ColourBits[0] | context.ColourBits[1];
    const auto slidesTo = [&](TSquareSet sliders, std::size_t firstRay) {
        for (std::size_t d = firstRay; d < firstRay + 4; ++d) {
            if ((sliders & RaySet[d][bit]) == 0) continue;
            const TSquareSet blockers = RaySet[d][bit] & occupied;
            const std::int32_t first =
                RayClimbs[d] ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
            if ((sliders >> first & 1) != 0) return true;
        }
        return false;
    };
    const TSquareSet diagonal = (pieces[spBishop] | pieces[spQueen]) & DiagonalReachSet[bit];
    if (diagonal != 0 && slidesTo(diagonal, 0)) return true;
    const TSquareSet line = (pieces[spRook] | pieces[spQueen]) & LineReachSet[bit];
    return line != 0 && slidesTo(line, 4);
}

}  // namespace tavlor
