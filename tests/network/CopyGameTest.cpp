#include <gtest/gtest.h>

#include <tuple>

#include "rules/ChessBoard.h"

namespace tavlor {
namespace {

// Switching opponent slots copies the game both ways; the castling and en passant state belong
// to the game's position and travel with it, or the other slot's game would decide them.
TEST(CopyGame, CopiesTheGameWithItsPositionFlags) {
    TChessBoard source;
    ASSERT_TRUE(source.MakeMove({5, 2, 5, 4, cEmpty}));
    ASSERT_TRUE(source.MakeMove({5, 7, 5, 5, cEmpty}));
    ASSERT_TRUE(source.MakeMove({5, 1, 5, 2, cEmpty}));  // White gives up castling
    ASSERT_TRUE(source.MakeMove({4, 7, 4, 5, cEmpty}));  // en passant possible on the D file
    source.StartCastlingRights[cBlackQueenSide] = false;
    source.SpecialMove = true;
    source.WhiteTime = 0.25;
    source.PromotionPending = true;
    source.SetComment(1, 2, "erhaltener");
    TChessBoard destination;
    destination.SetComment(0, 5, "alt");
    const auto game = [](const TChessBoard& board) {
        return std::tuple(board.StartBoard, board.Board, board.History[4].ToRank, board.PlyCount,
                          board.HistoryPos, board.HistoryTop, board.WhiteTime, board.BlackTime,
                          board.LastClockTime, board.PromotionPending, board.PromotionFile,
                          board.PromotionRank, board.Comments, board.EnPassantPossible,
                          board.EnPassantFile, board.CastlingRights, board.StartCastlingRights,
                          board.SpecialMove);
    };
    source.CopyGame(destination);
    EXPECT_TRUE(game(destination) == game(source));
    EXPECT_TRUE(destination.EnPassantPossible && destination.EnPassantFile == 4);
    EXPECT_FALSE(destination.CastlingRights[cWhiteKingSide]);
}

}  // namespace
}  // namespace tavlor
