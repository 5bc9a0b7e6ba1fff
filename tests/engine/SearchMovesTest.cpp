#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "rules/MoveGeneration.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/rules/TestBoards.h"

namespace tavlor::test {
namespace {

// Leaf count through the search board's own moves, keeping only those that do not leave the
// mover's king attacked: it must match the published perft figures.
std::uint64_t SearchPerft(SearchContext& c, int depth) {
    if (depth == 0) return 1;
    GenerateSearchMoves(c, 1);
    const std::int32_t mover = c.SideToMove;
    std::uint64_t leaves = 0;
    for (std::int32_t i = c.PlyEnd[c.Ply - 1]; i < c.PlyEnd[c.Ply]; ++i) {
        MakeSearchMove(c, i);
        if (!KeptStateMatchesBoard(c)) {
            ADD_FAILURE() << "kept state out of step after stack entry " << i;
            return 0;
        }
        const std::int32_t king = mover > 0 ? c.WhiteKingSquare : c.BlackKingSquare;
        if (!IsAttacked(c, king, -mover)) leaves += SearchPerft(c, depth - 1);
        UnmakeSearchMove(c, i);
    }
    return leaves;
}

TEST(SearchMovesTest, PerftThroughTheSearchBoardMatchesPublishedCounts) {
    // The fourth and fifth are each other's colour mirror images.
    const std::tuple<const char*, int, std::uint64_t> rows[] = {
        {"startpos", 3, 8902},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
        {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", 3, 9467},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
    };
    for (const auto& [fen, depth, leaves] : rows) {
        TSearchFixture fixture(fen);
        EXPECT_EQ(SearchPerft(fixture.C, depth), leaves) << fen;
    }
}

// Pieces by square from a1 on; a capture is ordered by its victim less an eighth of its
// attacker, plus 300 for taking back on the square of the last move.
TEST(SearchMovesTest, MoveListsInGenerationOrderWithTheirOrderingScores) {
    struct TRow {
        const char* Fen;
        std::int32_t Depth;
        const char* Expected;
        std::vector<std::string_view> Played = {};
    };
    const TRow rows[] = {
        {"startpos", 1,
         "b1a3 b1c3 g1f3 g1h3 a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 "
         "g2g4 h2h3 h2h4 "},
        {"startpos", 0, ""},  // below the horizon only captures and promotions
        {"3r3k/4P3/8/8/8/8/8/K7 w - - 0 1", 0,
         "e7e8q e7e8n e7e8b e7e8r e7d8q/463 e7d8n/463 e7d8b/463 e7d8r/463 "},
        // Black takes towards the a file first.
        {"k7/8/8/8/8/8/4p3/3R1R1K b - - 0 1", 0,
         "e2e1q e2e1n e2e1b e2e1r e2d1q/463 e2d1n/463 e2d1b/463 e2d1r/463 e2f1q/463 e2f1n/463 "
         "e2f1b/463 e2f1r/463 "},
        {"4k3/8/8/8/3pPp2/8/8/4K3 b - e3 0 1", 0, "d4e3/100 f4e3/100 "},
        {"4k3/8/8/8/8/8/8/4R1Kr w - - 0 1", 0, "g1h1/475 "},  // a king is never taken
        {"4k3/8/2n5/8/3P4/8/4Q3/4K3 b - - 0 1", 0, "e2e5/463 d4e5/563 ", {"c6e5"}},
    };
    for (const auto& [fen, depth, expected, played] : rows) {
        TSearchFixture fixture(fen);
        fixture.Play(played);
        GenerateSearchMoves(fixture.C, depth);
        EXPECT_EQ(fixture.PlyMoves(), expected) << fen << " depth " << depth;
    }
}

// A record made without a legality test claims en passant onto White's own knight: the search
// board drops the right, and every root move keeps the square sets in step.
TEST(SearchMovesTest, EnPassantRightOntoAnOccupiedSquareIsDropped) {
    TChessBoard board = Play("startpos", {"d2d5", "a7a6", "b1e6", "e7e5"});
    ASSERT_TRUE(board.EnPassantPossible);
    TSearchFixture fixture("startpos");
    SearchContext& c = fixture.C;
    PrepareSearch(c, board, board.IsWhiteToMove(), 1, {}, nullptr);
    EXPECT_EQ(c.PlyEnPassant[0], 0);
    GenerateSearchMoves(c, 1);
    EXPECT_EQ(fixture.Find("d5e6"), -1);
    for (std::int32_t i = c.PlyEnd[-1]; i < c.PlyEnd[0]; ++i) {
        MakeSearchMove(c, i);
        EXPECT_TRUE(KeptStateMatchesBoard(c)) << fixture.Text(i);
        UnmakeSearchMove(c, i);
    }
    EXPECT_TRUE(KeptStateMatchesBoard(c));
    std::uint64_t nodes = 0;
    TChessMove best{};
    ComputeMove(board, true, 3, TSearchProgress{}, nodes, best, TComputerSettings{});
    EXPECT_TRUE(IsLegalMove(board, best)) << MoveToUci(best);
}

TEST(SearchMovesTest, CastlingOnlyWithUntouchedKingAndRookAndSafeSquares) {
    const std::tuple<const char*, bool, bool, std::vector<std::string_view>> rows[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", true, true, {}},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", false, true, {}},   // right lost in the game
        {"r3k2r/8/8/8/8/8/5r2/R3K2R w KQ - 0 1", false, true, {}},  // f1 attacked
        {"3rk2r/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, false, {}},    // d1 attacked
        {"1r2k2r/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, true, {}},    // only b1 attacked
        {"4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", false, false, {}},   // in check
        {"r3k2r/8/8/8/8/8/8/R3KB1R w KQ - 0 1", false, true, {}},   // f1 occupied
        {"r3k2r/8/8/8/8/B7/8/4K3 b kq - 0 1", false, true, {}},     // f8 attacked
        // A rook that has moved and come back inside the search has lost its castling.
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", false, true, {"h1h2", "a8a7", "h2h1", "a7a8"}},
    };
    for (const auto& [fen, kingSide, queenSide, played] : rows) {
        TSearchFixture fixture(fen);
        fixture.Play(played);
        GenerateSearchMoves(fixture.C, 0);  // castling is generated at any depth
        const bool white = fixture.C.SideToMove > 0;
        EXPECT_EQ(fixture.Find(white ? "e1g1" : "e8g8") >= 0, kingSide) << fen;
        EXPECT_EQ(fixture.Find(white ? "e1c1" : "e8c8") >= 0, queenSide) << fen;
    }
}

// The picker hands out the main-line move, then the killers in slot order, then the first of the
// highest order each time (the bench signature holds the order in the whole search).
TEST(SearchMovesTest, PickingStartsWithTheMainLineMoveAndTheKillers) {
    TSearchFixture fixture("startpos");
    SearchContext& c = fixture.C;
    c.MainLineTable[0][0] = {SearchSquare(5, 2), SearchSquare(5, 4), 0};  // e2e4
    c.Killers[0][0] = {SearchSquare(7, 1), SearchSquare(6, 3)};           // g1f3
    c.Killers[0][3] = {SearchSquare(4, 2), SearchSquare(4, 4)};           // d2d4
    GenerateSearchMoves(c, 1);
    std::string picked;
    for (std::int32_t i = PickNextMove(c); i >= 0; i = PickNextMove(c))
        picked += fixture.Text(i) + " ";
    EXPECT_EQ(picked.substr(0, 20), "e2e4 g1f3 d2d4 b1a3 ");
    EXPECT_EQ(picked.size(), 20u * 5);
}

TEST(SearchMovesTest, FullMoveStackKeepsTheMovesThatFit) {
    TSearchFixture fixture("startpos");
    fixture.C.PlyEnd[-1] = cMoveStackSize - 10;
    GenerateSearchMoves(fixture.C, 1);
    EXPECT_EQ(fixture.C.PlyEnd[0], cMoveStackSize);
    EXPECT_EQ(fixture.PlyMoves(), "b1a3 b1c3 g1f3 g1h3 a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 ");
}

}  // namespace
}  // namespace tavlor::test
