#include <gtest/gtest.h>

#include <random>

#include "rules/MoveGeneration.h"
#include "tests/rules/TestBoards.h"

namespace tavlor {
namespace {

using test::Move;
using test::Play;

TEST(CheckGameEnd, MateAndStalemate) {
    TChessBoard fools = Play("startpos", {"f2f3", "e7e5", "g2g4", "d8h4"});
    EXPECT_EQ(fools.CheckGameEnd(), TGameState::gsWhiteMated);
    EXPECT_STREQ(GameStateMessage(TGameState::gsWhiteMated), "Weiss ist matt!");
    fools.TakeBackMove();
    EXPECT_EQ(fools.CheckGameEnd(), TGameState::gsPlaying);

    EXPECT_EQ(Play("k7/8/1Q6/8/8/8/8/4K3 b - - 0 1", {}).CheckGameEnd(),
              TGameState::gsBlackStalemated);
    EXPECT_EQ(Play("k7/1Q6/1K6/8/8/8/8/8 b - - 0 1", {}).CheckGameEnd(), TGameState::gsBlackMated);
    EXPECT_EQ(Play("8/8/8/8/8/1k6/2q5/K7 w - - 0 1", {}).CheckGameEnd(),
              TGameState::gsWhiteStalemated);
}

TEST(CheckGameEnd, RepetitionBySquaresAndSideOnly) {
    TChessBoard board = Play("startpos", {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1"});
    EXPECT_EQ(board.CheckGameEnd(), TGameState::gsPlaying);
    ASSERT_TRUE(board.MakeMove(Move("f6g8", false)));
    EXPECT_EQ(board.CheckGameEnd(), TGameState::gsRepetition);

    // The king's walk loses the castling rights; the position still counts as the same.
    TChessBoard rights = Play("4k3/8/8/8/8/8/8/R3K3 w Q - 0 1",
                              {"e1d1", "e8d8", "d1e1", "d8e8", "e1d1", "e8d8", "d1e1", "d8e8"});
    EXPECT_EQ(rights.CheckGameEnd(), TGameState::gsRepetition);

    // The same squares with the other side to move do not count.
    TChessBoard sides = Play("4k3/8/8/8/8/8/8/R3K3 w - - 0 1",
                             {"a1a2", "e8d8", "a2a1", "d8e8", "a1a3", "e8d8", "a3a2", "d8e8",
                              "a2a1"});
    EXPECT_EQ(sides.CheckGameEnd(), TGameState::gsPlaying);

    // Three times the start position, but in a record of fewer than six plies: not looked at.
    EXPECT_EQ(Play("4k3/8/8/8/8/8/8/4K3 w", {"e1d1", "e8d8", "d1e1", "d8e8"}).CheckGameEnd(),
              TGameState::gsPlaying);
}

// Rooks walking along their back ranks in cycles of 7 and 6 squares: no position comes back a
// third time within 160 half-moves. With `pawnFirst`, White opens with a pawn move.
TChessBoard QuietGame(int quietPlies, bool pawnFirst) {
    TChessBoard board = Play("r7/7k/8/7K/8/3P4/8/R7 w - - 0 1", {});
    if (pawnFirst) {
        EXPECT_TRUE(board.MakeMove(Move("d3d4")));
    }
    int white = 0, black = 0;
    for (int i = 0; i < quietPlies; ++i) {
        const bool whiteMoves = board.IsWhiteToMove();
        int& step = whiteMoves ? white : black;
        const int period = whiteMoves ? 7 : 6;
        const std::uint8_t rank = whiteMoves ? 1 : 8;
        const TChessMove move{static_cast<std::uint8_t>(step % period + 1), rank,
                              static_cast<std::uint8_t>((step + 1) % period + 1), rank, cEmpty};
        ++step;
        EXPECT_TRUE(board.MakeMove(move));
    }
    return board;
}

TEST(CheckGameEnd, FiftyMoveRule) {
    struct TRow {
        int QuietPlies;
        bool PawnFirst;
        TGameState Expected;
    };
    const TRow rows[] = {
        {99, true, TGameState::gsPlaying},      // 99 after the pawn move
        {100, true, TGameState::gsFiftyMoves},  // 100 after it
        {99, false, TGameState::gsPlaying},     // record too short to be looked at
        {100, false, TGameState::gsFiftyMoves}, // no pawn move at all: counted from the start
    };
    for (const TRow& row : rows) {
        TChessBoard board = QuietGame(row.QuietPlies, row.PawnFirst);
        EXPECT_EQ(board.CheckGameEnd(), row.Expected) << row.QuietPlies << " " << row.PawnFirst;
    }
}

// The game-end test as a walk through the record, move by move: the reference that the single
// forward replay must match in result and in the state it leaves.
TGameState ReferenceCheckGameEnd(TChessBoard& board) {
    const bool white = board.IsWhiteToMove();
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, white ? 1 : 0, list, count);
    if (count == 0) {
        if (IsKingInCheck(board, white ? 1 : 0))
            return white ? TGameState::gsWhiteMated : TGameState::gsBlackMated;
        return white ? TGameState::gsWhiteStalemated : TGameState::gsBlackStalemated;
    }
    if (board.HistoryTop >= 6) {
        const TSquares copy = board.Board;
        const std::int32_t plies = board.PlyCount;
        while (board.PlyCount > 0) board.TakeBackMove();
        int matches = (white && SameBoard(board.Board, copy)) ? 1 : 0;
        while (board.PlyCount < plies) {
            board.RedoMove();
            if (board.IsWhiteToMove() == white && SameBoard(board.Board, copy)) ++matches;
        }
        if (matches >= 3) return TGameState::gsRepetition;
    }
    if (board.HistoryTop >= 100) {
        const std::int32_t plies = board.PlyCount;
        while (board.PlyCount > 0) board.TakeBackMove();
        std::int32_t last = 0;
        while (board.PlyCount < plies) {
            const TChessMove& next = board.GetHistoryMove(board.PlyCount + 1);
            if (!IsPassMove(next)) {
                const TPieceCode piece = board.GetSquare(next.FromFile, next.FromRank);
                if (piece == cWhitePawn || piece == cBlackPawn ||
                    board.GetSquare(next.ToFile, next.ToRank) != cEmpty)
                    last = board.PlyCount + 1;
            }
            board.RedoMove();
        }
        if (plies - last >= 100) return TGameState::gsFiftyMoves;
    }
    return TGameState::gsPlaying;
}

void ExpectSameState(const TChessBoard& a, const TChessBoard& b) {
    EXPECT_TRUE(SameBoard(a.Board, b.Board));
    EXPECT_EQ(a.PlyCount, b.PlyCount);
    EXPECT_EQ(a.HistoryTop, b.HistoryTop);
    EXPECT_EQ(a.CastlingRights, b.CastlingRights);
    EXPECT_EQ(a.EnPassantPossible, b.EnPassantPossible);
    EXPECT_EQ(a.EnPassantFile, b.EnPassantFile);
    EXPECT_EQ(a.PromotionPending, b.PromotionPending);
    EXPECT_EQ(a.SpecialMove, b.SpecialMove);
}

TEST(CheckGameEnd, MatchesTheWalkThroughTheRecord) {
    // Random games that favour the first few generated moves, so pieces shuffle and positions
    // repeat; judged at many plies, also after taking moves back.
    std::mt19937 random(20261206);
    int decided = 0;
    for (int game = 0; game < 12; ++game) {
        TChessBoard board;
        for (int ply = 0; ply < 260; ++ply) {
            TMoveList list;
            std::int32_t count = 0;
            GenerateMoves(board, board.IsWhiteToMove() ? 1 : 0, list, count);
            if (count == 0) break;
            TChessMove move = list[1 + static_cast<int>(random() % std::min(count, 3))];
            if (IsPromotionMove(board, move))
                move.Promotion = board.IsWhiteToMove() ? cWhiteQueen : cBlackQueen;
            ASSERT_TRUE(board.MakeMove(move));
            if (ply % 13 != 0) continue;
            TChessBoard judged = board;
            if (ply % 2 == 0)
                for (int back = 0; back < 5; ++back) judged.TakeBackMove();
            TChessBoard reference = judged;
            const TGameState expected = ReferenceCheckGameEnd(reference);
            EXPECT_EQ(judged.CheckGameEnd(), expected) << "game " << game << " ply " << ply;
            ExpectSameState(judged, reference);
            decided += expected != TGameState::gsPlaying;
        }
    }
    EXPECT_GT(decided, 0);  // the sample must reach some ends, or it proves little
}

}  // namespace
}  // namespace tavlor
