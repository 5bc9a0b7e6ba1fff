#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"
#include "tests/rules/TestBoards.h"

namespace tavlor {
namespace {

using test::Move;
using test::Play;

std::vector<std::string> LegalMoves(TChessBoard& board, std::uint8_t white) {
    TMoveList list;
    std::int32_t count = -1;
    GenerateMoves(board, white, list, count);
    std::vector<std::string> moves;
    for (std::int32_t i = 1; i <= count; ++i) moves.push_back(MoveToUci(list[i]));
    return moves;
}

bool Lists(TChessBoard& board, std::string_view uci) {
    const auto moves = LegalMoves(board, board.IsWhiteToMove() ? 1 : 0);
    return std::find(moves.begin(), moves.end(), uci) != moves.end();
}

TEST(GenerateMoves, InitialPositionInScanOrder) {
    TChessBoard board;
    const auto white = LegalMoves(board, 1);
    ASSERT_EQ(white.size(), 20u);
    EXPECT_EQ((std::vector<std::string>(white.begin(), white.begin() + 6)),
              (std::vector<std::string>{"a2a3", "a2a4", "b1a3", "b1c3", "b2b3", "b2b4"}));
    EXPECT_EQ(LegalMoves(board, 0).size(), 20u);
}

TEST(GenerateMoves, CandidateOrderPerPiece) {
    // Pawn: en passant right then left, single, double, captures right then left; the queen takes
    // the bishop's directions first, then the rook's; the king's castling comes last.
    TChessBoard pawn = Play("4k3/8/8/8/1p1pP3/2N5/8/4K3 b - e3 0 1", {});
    const auto pawnMoves = LegalMoves(pawn, 0);
    EXPECT_EQ((std::vector<std::string>(pawnMoves.begin(), pawnMoves.begin() + 5)),
              (std::vector<std::string>{"b4b3", "b4c3", "d4e3", "d4d3", "d4c3"}));
    TChessBoard queen = Play("4k3/8/8/8/8/8/8/Q3K3 w - - 0 1", {});
    const auto moves = LegalMoves(queen, 1);
    EXPECT_EQ(moves.front(), "a1b2");
    EXPECT_EQ(moves[7], "a1b1");  // after the seven diagonal squares, the first rook ray (file+)
    TChessBoard castle = Play("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", {});
    std::vector<std::string> kingMoves;
    for (const std::string& move : LegalMoves(castle, 1))
        if (move.starts_with("e1")) kingMoves.push_back(move);
    EXPECT_EQ((std::vector<std::string>(kingMoves.end() - 2, kingMoves.end())),
              (std::vector<std::string>{"e1g1", "e1c1"}));
}

struct TRefusalRow {
    const char* Fen;
    std::initializer_list<std::string_view> Moves;  // made first
    const char* Move;
    bool Listed;
};

TEST(GenerateMoves, PinsEnPassantAndCastling) {
    const TRefusalRow rows[] = {
        // A pinned knight and a pinned bishop off the pin line.
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", {}, "e2c3", false},
        {"4k3/8/8/8/8/2b5/3B4/4K3 w - - 0 1", {}, "d2e3", false},
        {"4k3/8/8/8/8/2b5/3B4/4K3 w - - 0 1", {}, "d2c3", true},
        // En passant: only right after the double step, only towards its file, not when both
        // pawns leaving the rank expose the king.
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", {}, "e5d6", true},
        {"4k3/8/8/2ppP3/8/8/8/4K3 w - d6 0 1", {}, "e5c6", false},
        {"8/8/8/K2pP2r/8/8/8/7k w - d6 0 1", {}, "e5d6", false},
        // Castling refused in check, through or onto an attacked square, over a piece; the
        // attacked B-file square does not matter.
        {"4k3/4r3/8/8/8/8/8/R3K2R w KQ - 0 1", {}, "e1g1", false},
        {"4k3/5r2/8/8/8/8/8/R3K2R w KQ - 0 1", {}, "e1g1", false},
        {"4k3/6r1/8/8/8/8/8/R3K2R w KQ - 0 1", {}, "e1g1", false},
        {"4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", {}, "e1c1", false},
        {"4k3/1r6/8/8/8/8/8/R3K2R w KQ - 0 1", {}, "e1c1", true},
        {"r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1", {}, "e8c8", true},
        {"r3k2r/8/8/8/8/8/8/4K1R1 b kq - 0 1", {}, "e8g8", false},
        {"4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1", {"d7d5"}, "e5d6", true},
        {"4k3/3p4/8/4P3/8/8/7P/4K3 b - - 0 1", {"d7d5", "h2h3", "e8f8"}, "e5d6", false},
    };
    for (const TRefusalRow& row : rows) {
        TChessBoard board = Play(row.Fen, row.Moves);
        EXPECT_EQ(Lists(board, row.Move), row.Listed) << row.Fen << " " << row.Move;
    }
}

TEST(GenerateMoves, OddSidesAndBoards) {
    TChessBoard promotion = Play("4k3/P7/8/8/8/8/8/4K3 w - - 0 1", {});
    const auto moves = LegalMoves(promotion, 1);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), "a7a8"), 1);  // once, not once per piece


    TChessBoard board;
    TMoveList list;
    list[1] = TChessMove{9, 9, 9, 9, 7};
    std::int32_t count = 5;
    GenerateMoves(board, 2, list, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(list[1].FromFile, 9);
    EXPECT_FALSE(IsKingInCheck(board, 2));

    TChessBoard kingless = Play("4k3/8/8/8/8/8/8/R6R w - - 0 1", {});
    EXPECT_EQ(LegalMoves(kingless, 1).size(), 26u);  // every pseudo-legal move counts
    EXPECT_FALSE(IsKingInCheck(kingless, 1));

    // Two white kings: the one on A1 comes first in scan order and only its safety counts.
    TChessBoard twoKings = Play("4k3/8/8/8/8/8/r7/K6K w - - 0 1", {});
    EXPECT_TRUE(IsKingInCheck(twoKings, 1));
    EXPECT_FALSE(Lists(twoKings, "h1g1"));
    EXPECT_TRUE(Lists(twoKings, "a1a2"));
}

// A loaded or received record is made without a legality test, so its position may hold what play
// never leads to; the rules must still offer no move that takes an own piece or moves a rook that
// is not there.
TEST(GenerateMoves, TrustsNoStateThatARecordMadeWithoutATestLeftBehind) {
    TChessBoard ontoOwnKnight = Play("startpos", {"d2d5", "a7a6", "b1e6", "e7e5"});
    EXPECT_FALSE(Lists(ontoOwnKnight, "d5e6"));
    EXPECT_FALSE(IsLegalMove(ontoOwnKnight, Move("d5e6")));

    const std::pair<const char*, std::vector<const char*>> rightsWithoutPieces[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", {"e1g1", "e1c1"}},    // no rooks
        {"4k3/8/8/8/R3K2R/8/8/8 w - - 0 1", {"e4g4", "e4c4"}},  // king and rooks away
        {"r3k2r/8/8/8/8/8/8/4K3 w - - 0 1", {"e1g1", "e1c1"}},  // the other side's rooks
    };
    for (const auto& [fen, moves] : rightsWithoutPieces) {
        TChessBoard board = Play(fen, {});
        board.CastlingRights.Fill(true);
        for (const char* move : moves)
            EXPECT_FALSE(Lists(board, move)) << fen << " " << move;
    }
}

TEST(LeavesKingInCheck, RestoresTheBoard) {
    TChessBoard board = Play("4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", {});
    TMoveList list;
    list[1] = Move("e2c3");
    list[2] = Move("e1d1");
    const TSquares before = board.Board;
    EXPECT_TRUE(LeavesKingInCheck(board, list, 1, 1));
    EXPECT_FALSE(LeavesKingInCheck(board, list, 2, 1));
    EXPECT_TRUE(SameBoard(board.Board, before));
}

TEST(IsLegalMove, PromotionFieldIgnoredAndSideToMoveRequired) {
    TChessBoard board;
    TChessMove move = Move("e2e4");
    move.Promotion = 12345;
    EXPECT_TRUE(IsLegalMove(board, move));
    EXPECT_FALSE(IsLegalMove(board, Move("e7e5", false)));
    EXPECT_FALSE(IsLegalMove(board, Move("e3e4")));
    EXPECT_FALSE(IsLegalMove(board, Move("e2e5")));
    EXPECT_FALSE(IsLegalMove(board, cPassMove));
    EXPECT_FALSE(IsLegalMove(board, TChessMove{0, 9, 1, 1, 0}));
}

}  // namespace
}  // namespace tavlor
