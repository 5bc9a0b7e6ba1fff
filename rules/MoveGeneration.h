#pragma once

#include <cstdint>

#include "rules/ChessBoard.h"
#include "rules/ChessMove.h"
#include "rules/IndexedFrom1.h"

namespace tavlor {

// Room for every move of any position that set-up can produce; entries count from 1.
inline constexpr std::int32_t cMaxListMoves = 1000;
using TMoveList = TIndexedFrom1<TChessMove, cMaxListMoves>;

// `white` is 1 for White and 0 for Black; any other value is no side at all.
bool IsKingInCheck(const TChessBoard& board, std::uint8_t white);

// Makes list entry `index` temporarily and tells whether it leaves the own king attacked.
bool LeavesKingInCheck(TChessBoard& board, const TMoveList& list, std::int32_t index,
                       std::uint8_t white);

// All legal moves of the given side, whoever is to move, in the generation order: pieces by
// file then rank, per piece the candidate order of its kind. Only the squares of each entry are
// written; a pawn reaching the last rank is listed once, without a promotion piece.
void GenerateMoves(TChessBoard& board, std::uint8_t white, TMoveList& list, std::int32_t& count);

// The test of a move a person entered: a piece of the side to move on the from-square and the
// squares of a generated move. The promotion piece is ignored.
bool IsLegalMove(TChessBoard& board, const TChessMove& move);

// True when the legal move `move` of the side to move puts a pawn on its last rank.
bool IsPromotionMove(const TChessBoard& board, const TChessMove& move);

}  // namespace tavlor
