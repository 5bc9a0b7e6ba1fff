#include "rules/Perft.h"

#include <array>

#include "rules/MoveGeneration.h"

namespace tavlor {

namespace {

constexpr std::array<TPieceCode, 4> cPromotionKinds = {cWhiteQueen, cWhiteRook, cWhiteBishop,
                                                       cWhiteKnight};

// Makes each legal move of the side to move in turn, once per promotion piece, lets `visit` look
// at the position after it, and takes it back.
template <typename TVisit>
void ForEachChild(TChessBoard& board, TVisit&& visit) {
    const bool white = board.IsWhiteToMove();
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, white ? 1 : 0, list, count);
    for (std::int32_t i = 1; i <= count; ++i) {
        TChessMove move = list[i];
        const bool promotion = IsPromotionMove(board, move);
        for (TPieceCode kind : cPromotionKinds) {
            move.Promotion = promotion ? kind + (white ? 0 : cBlackBase) : cEmpty;
            if (!board.MakeMove(move)) return;  // the record is full: nothing deeper
            visit(move);
            board.TakeBackMove();
            if (!promotion) break;
        }
    }
}

}  // namespace

std::uint64_t Perft(TChessBoard& board, int depth) {
    if (depth <= 0) return 1;
    std::uint64_t leaves = 0;
    if (depth == 1) {
        // The last ply is counted from the list, without making the moves.
        const bool white = board.IsWhiteToMove();
        TMoveList list;
        std::int32_t count = 0;
        GenerateMoves(board, white ? 1 : 0, list, count);
        for (std::int32_t i = 1; i <= count; ++i)
            leaves += IsPromotionMove(board, list[i]) ? cPromotionKinds.size() : 1;
        return leaves;
    }
    ForEachChild(board, [&](const TChessMove&) { leaves += Perft(board, depth - 1); });
    return leaves;
}

std::vector<TPerftEntry> PerftDivide(TChessBoard& board, int depth) {
    std::vector<TPerftEntry> entries;
    ForEachChild(board, [&](const TChessMove& move) {
        entries.push_back({move, Perft(board, depth - 1)});
    });
    return entries;
}

}  // namespace tavlor
