#include <gtest/gtest.h>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor {
namespace {

bool CanPlay(TChessBoard& board, const char* uci) {
    const auto move = UciToMove(uci, board.IsWhiteToMove());
    return move && IsLegalMove(board, *move);
}

TEST(ReadFen, InitialPosition) {
    TChessBoard board;
    ASSERT_TRUE(board.MakeMove(*UciToMove("e2e4", true)));
    board.SetComment(0, 1, "alt");
    ReadFen(board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    const TChessBoard initial;
    EXPECT_TRUE(SameBoard(board.Board, initial.Board));
    EXPECT_TRUE(SameBoard(board.StartBoard, initial.Board));
    EXPECT_TRUE(board.IsWhiteToMove());
    EXPECT_EQ(board.HistoryTop, 0);
    EXPECT_EQ(board.CastlingRights, initial.CastlingRights);
    EXPECT_TRUE(board.Comments[0].empty());
}

TEST(ReadFen, SideToMoveAndPassRecord) {
    TChessBoard board;
    ReadFen(board, "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    EXPECT_FALSE(board.IsWhiteToMove());
    EXPECT_EQ(board.HistoryTop, 1);
    EXPECT_TRUE(IsPassMove(board.GetHistoryMove(1)));
    for (int right = 1; right <= 4; ++right) EXPECT_FALSE(board.CastlingRights[right]);

    ReadFen(board, "8/8/8/8/8/8/8/8 w");
    EXPECT_TRUE(board.IsWhiteToMove());
    ReadFen(board, "8/8/8/8/8/8/8/8");
    EXPECT_FALSE(board.IsWhiteToMove());
    ReadFen(board, "xyz");
    EXPECT_FALSE(board.IsWhiteToMove());
    EXPECT_FALSE(board.HasBothKings());
}

TEST(ReadFen, EnPassantBecomesTheRecordedDoubleStep) {
    TChessBoard board;
    ReadFen(board, "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
    EXPECT_EQ(board.GetStartSquare(5, 2), cWhitePawn);
    EXPECT_EQ(board.GetSquare(5, 4), cWhitePawn);
    EXPECT_EQ(board.PlyCount, 1);
    EXPECT_TRUE(CanPlay(board, "d4e3"));

    ReadFen(board, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(board.GetStartSquare(4, 7), cBlackPawn);
    EXPECT_EQ(board.PlyCount, 2);
    EXPECT_TRUE(IsPassMove(board.GetHistoryMove(1)));
    EXPECT_TRUE(CanPlay(board, "e5d6"));

    // A square that does not match the board is ignored: no piece is lost on E2.
    ReadFen(board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq e3 0 1");
    EXPECT_EQ(board.GetSquare(5, 2), cWhitePawn);
    EXPECT_EQ(board.PlyCount, 1);
    EXPECT_TRUE(IsPassMove(board.GetHistoryMove(1)));
}

TEST(ReadFen, CastlingNeedsKingAndRookAtHome) {
    TChessBoard board;
    ReadFen(board, "r3k3/8/8/8/8/8/8/4K2R w KQkq - 0 1");
    EXPECT_TRUE(board.CastlingRights[cWhiteKingSide]);
    EXPECT_FALSE(board.CastlingRights[cWhiteQueenSide]);
    EXPECT_FALSE(board.CastlingRights[cBlackKingSide]);
    EXPECT_TRUE(board.CastlingRights[cBlackQueenSide]);
    EXPECT_EQ(board.StartCastlingRights, board.CastlingRights);
}

TEST(ReadFen, PlacementPastTheBoardIsSkipped) {
    TChessBoard board;
    ReadFen(board, "kkkkkkkkkkkk/8/8/8/8/8/8/8/8/8/PPPP w");
    for (int file = 1; file <= 8; ++file) EXPECT_EQ(board.GetSquare(file, 8), cBlackKing);
    int pieces = 0;
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 7; ++rank) pieces += board.GetSquare(file, rank) != cEmpty;
    EXPECT_EQ(pieces, 0);
    ReadFen(board, "99999999R/8 w - z9");  // digits run past too; unknown letters are ignored
    EXPECT_TRUE(board.IsWhiteToMove());
}

}  // namespace
}  // namespace tavlor
