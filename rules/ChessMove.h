#pragma once

#include <cstdint>

#include "rules/PieceCodes.h"

namespace tavlor {

// One half-move: the history record, the move list entry, the engine's answer and, as text, the
// network message. Its 8-byte layout is shared with saved games and must not grow.
struct TChessMove {
    std::uint8_t FromFile = 0;
    std::uint8_t FromRank = 0;
    std::uint8_t ToFile = 0;
    std::uint8_t ToRank = 0;
    TPieceCode Promotion = cEmpty;  // the piece a promoting pawn becomes; cEmpty until chosen
};
static_assert(sizeof(TChessMove) == 8);

// The record that hands the move to Black in a position set up with Black to move.
inline constexpr TChessMove cPassMove{1, 0, 1, 0, cEmpty};

// Two records are the same move when their squares agree; the promotion piece is not compared.
constexpr bool SameMove(const TChessMove& a, const TChessMove& b) {
    return a.FromFile == b.FromFile && a.FromRank == b.FromRank && a.ToFile == b.ToFile &&
           a.ToRank == b.ToRank;
}

constexpr bool IsPassMove(const TChessMove& move) { return SameMove(move, cPassMove); }

constexpr bool IsOnBoard(int file, int rank) {
    return file >= 1 && file <= 8 && rank >= 1 && rank <= 8;
}

// A record that can be made: both squares on the board, or the pass record.
constexpr bool HasValidSquares(const TChessMove& move) {
    return IsPassMove(move) ||
           (IsOnBoard(move.FromFile, move.FromRank) && IsOnBoard(move.ToFile, move.ToRank));
}

}  // namespace tavlor
