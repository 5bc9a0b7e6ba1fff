#include <gtest/gtest.h>

#include "rules/MoveGeneration.h"
#include "tests/rules/TestBoards.h"

namespace tavlor {
namespace {

using test::Move;
using test::Play;

TEST(ChessBoard, CommentsClocksAndCapturedPieces) {
    TChessBoard board;
    EXPECT_EQ(board.GetComment(0, 5), "");
    board.SetComment(0, 3, "x");
    board.SetComment(0, 3, "");  // an empty text leaves the comment
    board.SetComment(1, 2, "");
    board.SetComment(0, 1, "y");
    board.SetComment(0, 1, " -/-\r\n");  // the placeholder, however it is framed, clears it
    EXPECT_EQ(board.Comments[0], (std::vector<std::string>{"-/-", "-/-", "-/-", "x"}));
    EXPECT_EQ(board.Comments[1].size(), 3u);
    EXPECT_EQ(board.GetComment(0, 1) + board.GetComment(0, 3), "x");

    board.AddThinkingTime(100.0);  // the first call only starts the clock
    board.AddThinkingTime(100.5);
    ASSERT_TRUE(board.MakeMove(Move("e2e4")));
    board.AddThinkingTime(100.75);
    EXPECT_DOUBLE_EQ(board.WhiteTime, 0.5);
    EXPECT_DOUBLE_EQ(board.BlackTime, 0.25);

    board = Play("startpos", {"e2e4", "g8f6", "e4e5", "f6e4", "d2d3", "e4c3", "b2c3"});
    const TCapturedPieces black = board.CountCapturedPieces(false);
    EXPECT_EQ(black.Knights * 10 + black.Pawns + black.Queens + black.Rooks + black.Bishops, 10);
    // A promoted pawn is missing and its new piece counts below zero.
    const TCapturedPieces white = Play("4k3/P7/8/8/8/8/8/4K3 w", {"a7a8q"}).CountCapturedPieces(true);
    EXPECT_EQ(white.Pawns, 8);
    EXPECT_EQ(white.Queens, 0);
    EXPECT_FALSE(Play("4k3/8/8/8/8/8/8/K3K3 w", {}).HasBothKings());
}

struct TAfterMoves {
    const char* Fen;
    std::vector<const char*> Moves;
    std::vector<std::pair<const char*, TPieceCode>> Squares;
    const char* Rights;  // rights 1 to 4 as "0"/"1"
    int EnPassantFile;
    bool Special;
};

TEST(MakeMove, SideEffects) {
    const char* kCorners = "r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1";
    const TAfterMoves rows[] = {
        {"startpos", {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "g8f6", "e1g1"},
         {{"g1", cWhiteKing}, {"f1", cWhiteRook}, {"h1", cEmpty}, {"e1", cEmpty}}, "1100", 0, true},
        {kCorners, {"a1b1", "e8c8"}, {{"c8", cBlackKing}, {"d8", cBlackRook}, {"a8", cEmpty}},
         "0010", 0, true},
        {"startpos", {"e2e4"}, {{"e4", cWhitePawn}}, "1111", 5, false},
        {"startpos", {"e2e4", "d7d5", "g1f3"}, {}, "1111", 0, false},
        {"startpos", {"e2e4", "a7a6", "e4e5", "d7d5", "e5d6"}, {{"d5", cEmpty}, {"d6", cWhitePawn}},
         "1111", 0, true},
        // A record made without a legality test: the pawn takes the knight on the square passed
        // over, not the pawn beside it as well.
        {"startpos", {"d2d5", "g8e6", "e7e5", "d5e6"}, {{"e6", cWhitePawn}, {"e5", cBlackPawn}},
         "1111", 0, false},
        // A rook that leaves its corner loses the right even when it comes back; a capture on a
        // corner takes the right of the rook that stood there.
        {kCorners, {"a1a2", "a8a7", "a2a1"}, {}, "1010", 0, false},
        {kCorners, {"g2a8"}, {{"a8", cWhiteBishop}}, "1011", 0, false},
        {"4k3/8/8/8/8/8/p7/4K3 b - - 0 1", {"a2a1n"}, {{"a1", cBlackKnight}}, "0000", 0, false},
    };
    for (const TAfterMoves& row : rows) {
        TChessBoard board = Play(row.Fen, std::initializer_list<std::string_view>{});
        for (const char* move : row.Moves) {
            ASSERT_TRUE(board.MakeMove(Move(move, board.IsWhiteToMove()))) << move;
        }
        const std::string context = std::string(row.Fen) + " " + row.Moves.back();
        for (const auto& [square, piece] : row.Squares)
            EXPECT_EQ(board.GetSquare(square[0] - 'a' + 1, square[1] - '0'), piece) << context;
        std::string rights;
        for (int right = 1; right <= 4; ++right) rights += board.CastlingRights[right] ? '1' : '0';
        EXPECT_EQ(rights, row.Rights) << context;
        EXPECT_EQ(board.EnPassantPossible ? board.EnPassantFile : 0, row.EnPassantFile) << context;
        EXPECT_EQ(board.SpecialMove, row.Special) << context;
    }
}

TEST(MakeMove, PromotionIsReplayedWithoutAsking) {
    TChessBoard board = Play("4k3/P7/8/8/8/8/8/4K3 w - - 0 1", {"a7a8"});
    EXPECT_TRUE(board.IsPromotionPending());
    EXPECT_EQ(board.GetSquare(1, 8), cWhitePawn);
    board.SetPromotionPiece(cWhiteKnight);
    EXPECT_TRUE(!board.IsPromotionPending() && board.SpecialMove);
    board.TakeBackMove();
    EXPECT_EQ(board.GetSquare(1, 7), cWhitePawn);
    board.RedoMove();
    EXPECT_EQ(board.GetSquare(1, 8), cWhiteKnight);
}

TEST(MakeMove, TakeBackRedoAndTheRedoChain) {
    TChessBoard board = Play("startpos", {"e2e4", "d7d5", "e4d5", "e8d7", "d2d4", "c7c5"});
    const TChessBoard before = board;
    for (int i = 0; i < 3; ++i) board.TakeBackMove();
    EXPECT_EQ(board.PlyCount, 3);
    for (int i = 0; i < 4; ++i) board.RedoMove();  // the fourth is past the end: nothing happens
    EXPECT_TRUE(SameBoard(board.Board, before.Board));
    EXPECT_EQ(board.PlyCount, 6);
    EXPECT_EQ(board.CastlingRights, before.CastlingRights);
    EXPECT_EQ(board.EnPassantFile, before.EnPassantFile);

    // A new move after taking back cuts the chain: redo changes nothing.
    board.TakeBackMove();
    board.HistoryTop = 0;
    ASSERT_TRUE(board.MakeMove(Move("g8f6", false)));
    const TSquares after = board.Board;
    board.RedoMove();
    EXPECT_TRUE(SameBoard(board.Board, after));
}

TEST(MakeMove, PassRecordHandsTheMoveToBlack) {
    TChessBoard board = Play("4k3/8/8/8/8/8/8/4K3 b - - 0 1", {"e8d8"});
    board.TakeBackMove();
    EXPECT_EQ(board.PlyCount, 1);
    EXPECT_FALSE(board.IsWhiteToMove());
    board.TakeBackMove();
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
