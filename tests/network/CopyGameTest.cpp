#include <gtest/gtest.h>

#include "rules/ChessBoard.h"

namespace tavlor {
namespace {

// Switching opponent slots copies the game both ways; the position's en passant and castling
// state belong to the destination and must survive.
TEST(CopyGame, CopiesTheGameButNotThePositionFlags) {
    TChessBoard source;
    ASSERT_TRUE(source.MakeMove({5, 2, 5, 4, cEmpty}));
    ASSERT_TRUE(source.MakeMove({5, 7, 5, 5, cEmpty}));
    source.SetStartSquare(1, 3, cWhiteQueen);
    source.WhiteTime = 0.25;
    source.BlackTime = 0.5;
    source.LastClockTime = 42.0;
    source.HistoryTop = 2;
    source.PromotionPending = true;
    source.PromotionFile = 3;
    source.PromotionRank = 8;
    source.SetComment(0, 1, "eigener");
    source.SetComment(1, 2, "erhaltener");

    TChessBoard destination;
    destination.SetComment(0, 5, "alt");
    destination.EnPassantPossible = false;
    destination.EnPassantFile = 7;
    destination.CastlingRights.Fill(false);
    destination.StartCastlingRights.Fill(false);
    destination.SpecialMove = true;
    const bool sourceEnPassant = source.EnPassantPossible;

    source.CopyGame(destination);

    EXPECT_EQ(destination.Board, source.Board);
    EXPECT_EQ(destination.StartBoard, source.StartBoard);
    for (int ply = 1; ply <= cMaxHistory; ++ply) {
        EXPECT_TRUE(SameMove(destination.History[ply], source.History[ply])) << ply;
        EXPECT_EQ(destination.History[ply].Promotion, source.History[ply].Promotion) << ply;
    }
    EXPECT_EQ(destination.PlyCount, 2);
    EXPECT_EQ(destination.HistoryPos, source.HistoryPos);
    EXPECT_EQ(destination.HistoryTop, 2);
    EXPECT_EQ(destination.WhiteTime, 0.25);
    EXPECT_EQ(destination.BlackTime, 0.5);
    EXPECT_EQ(destination.LastClockTime, 42.0);
    EXPECT_TRUE(destination.PromotionPending);
    EXPECT_EQ(destination.PromotionFile, 3);
    EXPECT_EQ(destination.PromotionRank, 8);
    EXPECT_EQ(destination.Comments, source.Comments);
    EXPECT_EQ(destination.GetComment(0, 5), "");

    EXPECT_TRUE(sourceEnPassant);  // e7-e5 made en passant possible in the source
    EXPECT_FALSE(destination.EnPassantPossible);
    EXPECT_EQ(destination.EnPassantFile, 7);
    for (int right = 1; right <= 4; ++right) {
        EXPECT_FALSE(destination.CastlingRights[right]);
        EXPECT_FALSE(destination.StartCastlingRights[right]);
    }
    EXPECT_TRUE(destination.SpecialMove);

    // Copying a game onto itself keeps it.
    source.CopyGame(source);
    EXPECT_EQ(source.GetComment(0, 1), "eigener");
}

}  // namespace
}  // namespace tavlor
