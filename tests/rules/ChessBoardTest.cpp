#include <gtest/gtest.h>

#include "rules/MoveGeneration.h"
#include "tests/rules/TestBoards.h"

namespace tavlor {
namespace {

using test::Move;
using test::Play;

TEST(ChessBoard, CreatedInTheInitialPosition) {
    TChessBoard board;
    EXPECT_EQ(board.GetSquare(5, 1), cWhiteKing);
    EXPECT_EQ(board.GetSquare(4, 8), cBlackQueen);
    EXPECT_EQ(board.GetSquare(1, 7), cBlackPawn);
    EXPECT_TRUE(board.IsWhiteToMove());
    for (int right = 1; right <= 4; ++right) EXPECT_TRUE(board.CastlingRights[right]);
    EXPECT_EQ(board.HistoryTop, 0);
    EXPECT_TRUE(board.HasBothKings());
}

TEST(ChessBoard, CommentPlaceholders) {
    TChessBoard board;
    EXPECT_EQ(board.GetComment(0, 5), "");
    board.SetComment(0, 3, "x");
    EXPECT_EQ(board.Comments[0], (std::vector<std::string>{"-/-", "-/-", "-/-", "x"}));
    EXPECT_EQ(board.GetComment(0, 1), "");
    EXPECT_EQ(board.GetComment(0, 3), "x");
    board.SetComment(0, 3, "");
    EXPECT_EQ(board.GetComment(0, 3), "x");  // an empty text leaves the comment
    board.SetComment(1, 2, "");
    EXPECT_EQ(board.Comments[1].size(), 3u);
    board.TruncateComments(0, 2);
    EXPECT_EQ(board.Comments[0].size(), 2u);
    board.ClearComments();
    EXPECT_TRUE(board.Comments[0].empty() && board.Comments[1].empty());
}

TEST(ChessBoard, ThinkingTimeGoesToTheSideToMove) {
    TChessBoard board;
    board.AddThinkingTime(100.0);  // the first call only starts the clock
    board.AddThinkingTime(100.0);
    EXPECT_EQ(board.WhiteTime, 0.0);
    board.AddThinkingTime(100.5);
    EXPECT_DOUBLE_EQ(board.WhiteTime, 0.5);
    ASSERT_TRUE(board.MakeMove(Move("e2e4")));
    board.AddThinkingTime(100.75);
    EXPECT_DOUBLE_EQ(board.BlackTime, 0.25);
    board.Reset();
    EXPECT_EQ(board.WhiteTime + board.BlackTime + board.LastClockTime, 0.0);
}

TEST(ChessBoard, CapturedPiecesAndKings) {
    TChessBoard board = Play("startpos", {"e2e4", "g8f6", "e4e5", "f6e4", "d2d3", "e4c3", "b2c3"});
    TCapturedPieces black = board.CountCapturedPieces(false);
    EXPECT_EQ(black.Knights, 1);
    EXPECT_EQ(black.Pawns + black.Queens + black.Rooks + black.Bishops, 0);
    EXPECT_EQ(board.CountCapturedPieces(true).Pawns, 0);
    // A promoted pawn is missing and its new piece counts below zero.
    TChessBoard promoted = Play("4k3/P7/8/8/8/8/8/4K3 w - - 0 1", {"a7a8q"});
    EXPECT_EQ(promoted.CountCapturedPieces(true).Pawns, 8);
    EXPECT_EQ(promoted.CountCapturedPieces(true).Queens, 0);

    TChessBoard kings = Play("4k3/8/8/8/8/8/8/K3K3 w - - 0 1", {});
    EXPECT_FALSE(kings.HasBothKings());
    EXPECT_FALSE(Play("8/8/8/8/8/8/8/8 w", {}).HasBothKings());
}

TEST(MakeMove, CastlingMovesTheRookAndClearsRights) {
    TChessBoard board =
        Play("startpos", {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "g8f6", "e1g1"});
    EXPECT_EQ(board.GetSquare(7, 1), cWhiteKing);
    EXPECT_EQ(board.GetSquare(6, 1), cWhiteRook);
    EXPECT_EQ(board.GetSquare(8, 1), cEmpty);
    EXPECT_EQ(board.GetSquare(5, 1), cEmpty);
    EXPECT_FALSE(board.CastlingRights[cWhiteKingSide] || board.CastlingRights[cWhiteQueenSide]);
    EXPECT_TRUE(board.CastlingRights[cBlackKingSide] && board.CastlingRights[cBlackQueenSide]);
    EXPECT_TRUE(board.SpecialMove);
}

TEST(MakeMove, EnPassantStateAndCapture) {
    TChessBoard board = Play("startpos", {"e2e4"});
    EXPECT_TRUE(board.EnPassantPossible);
    EXPECT_EQ(board.EnPassantFile, 5);
    ASSERT_TRUE(board.MakeMove(Move("g8f6")));
    EXPECT_FALSE(board.EnPassantPossible);

    board = Play("startpos", {"e2e4", "a7a6", "e4e5", "d7d5", "e5d6"});
    EXPECT_EQ(board.GetSquare(4, 5), cEmpty);
    EXPECT_EQ(board.GetSquare(4, 6), cWhitePawn);
    EXPECT_TRUE(board.SpecialMove);
}

TEST(MakeMove, RightsFollowRookCorners) {
    TChessBoard board = Play("r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1", {"a1a2", "a8a7", "a2a1"});
    EXPECT_FALSE(board.CastlingRights[cWhiteQueenSide]);  // even though the rook came back
    EXPECT_TRUE(board.CastlingRights[cWhiteKingSide]);
    board = Play("r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1", {"g2a8"});
    EXPECT_FALSE(board.CastlingRights[cBlackQueenSide]);
    EXPECT_TRUE(board.CastlingRights[cBlackKingSide]);
}

TEST(MakeMove, PromotionIsReplayedWithoutAsking) {
    TChessBoard board = Play("4k3/P7/8/8/8/8/8/4K3 w - - 0 1", {"a7a8"});
    EXPECT_TRUE(board.IsPromotionPending());
    EXPECT_EQ(board.GetSquare(1, 8), cWhitePawn);
    board.SetPromotionPiece(cWhiteKnight);
    EXPECT_FALSE(board.IsPromotionPending());
    EXPECT_EQ(board.GetHistoryMove(1).Promotion, cWhiteKnight);
    board.TakeBackMove();
    EXPECT_EQ(board.GetSquare(1, 7), cWhitePawn);
    board.RedoMove();
    EXPECT_EQ(board.GetSquare(1, 8), cWhiteKnight);
}

TEST(MakeMove, NewMoveCutsTheRedoChain) {
    TChessBoard board = Play("startpos", {"e2e4", "e7e5", "g1f3"});
    board.TakeBackMove();
    board.HistoryTop = 0;
    ASSERT_TRUE(board.MakeMove(Move("f1c4")));
    const TSquares after = board.Board;
    board.RedoMove();
    EXPECT_EQ(board.PlyCount, 3);
    EXPECT_TRUE(SameBoard(board.Board, after));
}

TEST(MakeMove, TakeBackAndRedoRoundTrip) {
    TChessBoard board = Play("startpos", {"e2e4", "d7d5", "e4d5", "e8d7", "d2d4", "c7c5"});
    const TChessBoard before = board;
    for (int i = 0; i < 3; ++i) board.TakeBackMove();
    EXPECT_EQ(board.PlyCount, 3);
    for (int i = 0; i < 3; ++i) board.RedoMove();
    EXPECT_TRUE(SameBoard(board.Board, before.Board));
    EXPECT_EQ(board.CastlingRights, before.CastlingRights);
    EXPECT_EQ(board.EnPassantPossible, before.EnPassantPossible);
    EXPECT_EQ(board.EnPassantFile, before.EnPassantFile);
    board.RedoMove();  // at the end of the chain: nothing happens
    EXPECT_EQ(board.PlyCount, 6);
}

TEST(MakeMove, PassRecordHandsTheMoveToBlack) {
    TChessBoard board = Play("4k3/8/8/8/8/8/8/4K3 b - - 0 1", {"e8d8"});
    EXPECT_EQ(board.PlyCount, 2);
    board.TakeBackMove();
    EXPECT_EQ(board.PlyCount, 1);
    EXPECT_FALSE(board.IsWhiteToMove());
    board.TakeBackMove();
    EXPECT_EQ(board.PlyCount, 0);
    EXPECT_TRUE(board.IsWhiteToMove());
    EXPECT_EQ(board.GetSquare(5, 8), cBlackKing);
}

TEST(MakeMove, RefusesAFullRecordAndSquaresOffTheBoard) {
    TChessBoard board;
    const TChessMove shuffle[4] = {Move("g1f3"), Move("g8f6"), Move("f3g1"), Move("f6g8")};
    for (int ply = 0; ply < cMaxHistory; ++ply) ASSERT_TRUE(board.MakeMove(shuffle[ply % 4]));
    const TSquares before = board.Board;
    EXPECT_FALSE(board.MakeMove(Move("e2e4")));
    EXPECT_EQ(board.PlyCount, cMaxHistory);
    EXPECT_TRUE(SameBoard(board.Board, before));
    board.TakeBackMove();
    EXPECT_TRUE(board.MakeMove(Move("f6g8", false)));

    TChessBoard fresh;
    EXPECT_FALSE(fresh.MakeMove(TChessMove{0, 2, 5, 4, 0}));
    EXPECT_FALSE(fresh.MakeMove(TChessMove{5, 2, 5, 9, 0}));
    EXPECT_EQ(fresh.PlyCount, 0);
}

}  // namespace
}  // namespace tavlor
