#include "rules/Perft.h"

#include <array>

#include "rules/MoveGeneration.h"

namespace tavlor {

namespace {

constexpr std::array<TPieceCode, 4> cPromotionKinds = {cWhiteQueen, cWhiteRook, cWhiteBishop,
                                                       cWhiteKnight};

}  // namespace

std::uint64_t Perft(TChessBoard& board, int depth) {
    if (depth <= 0) return 1;
    const bool white = board.IsWhiteToMove();
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, white ? 1 : 0, list, count);

    std::uint64_t leaves = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        TChessMove move = list[i];
        const bool promotion = IsPromotionMove(board, move);
        if (depth == 1) {
            leaves += promotion ? cPromotionKinds.size() : 1;
            continue;
        }
        for (TPieceCode kind : cPromotionKinds) {
            move.Promotion = promotion ? kind + (white ? 0 : cBlackBase) : cEmpty;
            if (!board.MakeMove(move)) return leaves;  // the record is full: nothing deeper
            leaves += Perft(board, depth - 1);
            board.TakeBackMove();
            if (!promotion) break;
        }
    }
    return leaves;
}

}  // namespace tavlor
