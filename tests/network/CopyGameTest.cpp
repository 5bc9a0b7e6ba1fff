#include <gtest/gtest.h>

#include <tuple>

#include "rules/ChessBoard.h"

namespace tavlor {
namespace {

// Switching opponent slots copies the game both ways; the position's en passant and castling
// state belong to the destination and must survive.
TEST(CopyGame, CopiesTheGameButNotThePositionFlags) {
    TChessBoard source;
    ASSERT_TRUE(source.MakeMove({5, 2, 5, 4, cEmpty}));
    ASSERT_TRUE(source.MakeMove({5, 7, 5, 5, cEmpty}));  // en passant possible now
    source.WhiteTime = 0.25;
    source.PromotionPending = true;
    source.SetComment(1, 2, "erhaltener");
    TChessBoard destination;
    destination.SetComment(0, 5, "alt");
    destination.CastlingRights.Fill(false);
    destination.SpecialMove = true;
    const auto game = [](const TChessBoard& board) {
        return std::tuple(board.Board, board.History[2].ToRank, board.PlyCount, board.HistoryTop,
                          board.WhiteTime, board.PromotionPending, board.Comments);
    };
    const auto flags = [](const TChessBoard& board) {
        return std::tuple(board.EnPassantPossible, board.CastlingRights, board.SpecialMove);
    };
    const auto before = flags(destination);
    source.CopyGame(destination);
    EXPECT_TRUE(game(destination) == game(source));
    EXPECT_TRUE(flags(destination) == before);
}

}  // namespace
}  // namespace tavlor
