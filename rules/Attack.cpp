#include "rules/Attack.h"

#include <array>

namespace tavlor {

namespace {

struct TStep {
    std::int32_t File;
    std::int32_t Rank;
};

constexpr std::array<TStep, 8> cKnightSteps = {
    {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}}};

// The attackers found first along a line from the square: `slider` or the queen at any
// distance, the king and (on a diagonal towards its own side) a pawn right next to it.
struct TLine {
    TStep Step;
    TPieceCode Slider;
    TPieceCode PawnNextTo;  // cEmpty where no pawn attacks along the line
};

}  // namespace

bool IsSquareAttacked(const TSquares& squares, std::int32_t file, std::int32_t rank, bool byWhite) {
    const TPieceCode colour = byWhite ? cEmpty : cBlackBase;
    const TPieceCode knight = cWhiteKnight + colour;
    for (const TStep step : cKnightSteps) {
        const std::int32_t f = file + step.File;
        const std::int32_t r = rank + step.Rank;
        if (IsOnBoard(f, r) && squares[f][r] == knight) return true;
    }

    const TPieceCode rook = cWhiteRook + colour;
    const TPieceCode bishop = cWhiteBishop + colour;
    const TPieceCode queen = cWhiteQueen + colour;
    const TPieceCode king = cWhiteKing + colour;
    const TPieceCode pawn = cWhitePawn + colour;
    // A white pawn attacks from the rank below, a black one from the rank above.
    const TPieceCode pawnBelow = byWhite ? pawn : cEmpty;
    const TPieceCode pawnAbove = byWhite ? cEmpty : pawn;
    const std::array<TLine, 8> lines = {{{{1, 0}, rook, cEmpty},
                                         {{-1, 0}, rook, cEmpty},
                                         {{0, 1}, rook, cEmpty},
                                         {{0, -1}, rook, cEmpty},
                                         {{1, 1}, bishop, pawnAbove},
                                         {{-1, 1}, bishop, pawnAbove},
                                         {{1, -1}, bishop, pawnBelow},
                                         {{-1, -1}, bishop, pawnBelow}}};
    for (const TLine& line : lines) {
        // Counted to the edge, so that the walk needs no test per square.
        const std::int32_t length = SquaresToEdge(file, rank, line.Step.File, line.Step.Rank);
        std::int32_t f = file;
        std::int32_t r = rank;
        for (std::int32_t distance = 1; distance <= length; ++distance) {
            f += line.Step.File;
            r += line.Step.Rank;
            const TPieceCode piece = squares[f][r];
            if (piece == cEmpty) continue;
            if (piece == line.Slider || piece == queen) return true;
            if (distance == 1 && (piece == king || piece == line.PawnNextTo)) return true;
            break;
        }
    }
    return false;
}

bool IsKingAttacked(const TSquares& squares, bool white) {
    const TPieceCode king = white ? cWhiteKing : cBlackKing;
    for (std::int32_t file = 1; file <= 8; ++file)
        for (std::int32_t rank = 1; rank <= 8; ++rank)
            if (squares[file][rank] == king) return IsSquareAttacked(squares, file, rank, !white);
    return false;
}

}  // namespace tavlor
