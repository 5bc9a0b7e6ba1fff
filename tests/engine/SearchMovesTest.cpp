#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/SearchContext.h"
#include "rules/MoveGeneration.h"
#include "tests/engine/EngineTestSupport.h"

namespace tavlor::test {
namespace {

using TMoves = std::vector<std::string>;

// The square sets kept beside the board must name exactly the pieces on it.
bool SetsMatchBoard(const SearchContext& context) {
    std::array<std::array<std::uint64_t, 7>, 2> pieces{};
    std::array<std::uint64_t, 2> colours{};
    for (std::int32_t rank = 1; rank <= 8; ++rank) {
        for (std::int32_t file = 1; file <= 8; ++file) {
            const std::int32_t code =
                context.SearchBoard[static_cast<std::size_t>(SearchSquare(file, rank))];
            if (code == spEmpty) continue;
            const auto colour = static_cast<std::size_t>(code > 0 ? 0 : 1);
            const std::uint64_t bit = std::uint64_t{1} << ((rank - 1) * 8 + file - 1);
            pieces[colour][static_cast<std::size_t>(std::abs(code))] |= bit;
            colours[colour] |= bit;
        }
    }
    return pieces == context.PieceBits && colours == context.ColourBits;
}

// Leaf count through the search board's own moves, keeping only those that do not leave the
// mover's king attacked: it must match the published perft figures.
std::uint64_t SearchPerft(SearchContext& context, int depth) {
    if (depth == 0) return 1;
    GenerateSearchMoves(context, 1);
    const std::int32_t mover = context.SideToMove;
    std::uint64_t leaves = 0;
    for (std::int32_t i = context.PlyEnd[context.Ply - 1]; i < context.PlyEnd[context.Ply]; ++i) {
        MakeSearchMove(context, i);
        if (!SetsMatchBoard(context)) {
            ADD_FAILURE() << "square sets out of step after stack entry " << i;
            return 0;
        }
        const std::int32_t king = mover > 0 ? context.WhiteKingSquare : context.BlackKingSquare;
        if (!IsAttacked(context, king, -mover)) leaves += SearchPerft(context, depth - 1);
        UnmakeSearchMove(context, i);
    }
    return leaves;
}

struct TPerftRow {
    const char* Fen;
    int Depth;
    std::uint64_t Leaves;
};

TEST(SearchMovesTest, PerftThroughTheSearchBoardMatchesPublishedCounts) {
    const TPerftRow rows[] = {
        {"startpos", 3, 8902},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
        {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", 3, 9467},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
    };
    for (const TPerftRow& row : rows) {
        TSearchFixture fixture(row.Fen);
        const auto before = fixture.C().SearchBoard;
        EXPECT_EQ(SearchPerft(fixture.C(), row.Depth), row.Leaves) << row.Fen;
        EXPECT_EQ(fixture.C().SearchBoard, before) << row.Fen;
        EXPECT_TRUE(SetsMatchBoard(fixture.C())) << row.Fen;
        EXPECT_EQ(fixture.C().Ply, 0) << row.Fen;
    }
}

TEST(SearchMovesTest, InitialPositionListsKnightsFirstThenPawnsByFile) {
    TSearchFixture fixture("startpos");
    GenerateSearchMoves(fixture.C(), 1);
    const TMoves expected = {"b1a3", "b1c3", "g1f3", "g1h3", "a2a3", "a2a4", "b2b3",
                             "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4",
                             "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4"};
    EXPECT_EQ(fixture.PlyMoves(), expected);
    EXPECT_EQ(fixture.C().MoveStack[5].EnPassant, SearchSquare(1, 3));  // a2-a4 passes a3

    TSearchFixture quiet("startpos");
    GenerateSearchMoves(quiet.C(), 0);
    EXPECT_TRUE(quiet.PlyMoves().empty());
    EXPECT_EQ(quiet.C().PlyEnd[0], 0);
}

TEST(SearchMovesTest, PromotionsComeQueenKnightBishopRookQuietFirst) {
    struct TRow {
        const char* Fen;
        TMoves Expected;
    };
    const TRow rows[] = {
        {"3r3k/4P3/8/8/8/8/8/K7 w - - 0 1",
         {"e7e8q", "e7e8n", "e7e8b", "e7e8r", "e7d8q", "e7d8n", "e7d8b", "e7d8r"}},
        // Black takes towards the a file first.
        {"k7/8/8/8/8/8/4p3/3R1R1K b - - 0 1",
         {"e2e1q", "e2e1n", "e2e1b", "e2e1r", "e2d1q", "e2d1n", "e2d1b", "e2d1r", "e2f1q", "e2f1n",
          "e2f1b", "e2f1r"}},
    };
    for (const TRow& row : rows) {
        TSearchFixture fixture(row.Fen);
        GenerateSearchMoves(fixture.C(), 0);
        EXPECT_EQ(fixture.PlyMoves(), row.Expected) << row.Fen;
    }

    TSearchFixture fixture(rows[0].Fen);
    GenerateSearchMoves(fixture.C(), 0);
    const auto& stack = fixture.C().MoveStack;
    EXPECT_EQ(stack[0].PromoteTo, spQueen);
    EXPECT_EQ(stack[1].PromoteTo, spKnight);
    EXPECT_EQ(stack[0].Order, 0);
    EXPECT_EQ(stack[4].Captured, spRook);
    EXPECT_EQ(stack[4].Order, 475 - 100 / 8);
    // The queen wins the tie of the four.
    EXPECT_EQ(PickNextMove(fixture.C()), 4);
    EXPECT_EQ(PickNextMove(fixture.C()), 5);
}

TEST(SearchMovesTest, EnPassantCapturesAndTheirTakeBack) {
    TSearchFixture fixture("4k3/8/8/8/3pPp2/8/8/4K3 b - e3 0 1");
    SearchContext& c = fixture.C();
    EXPECT_EQ(c.PlyEnPassant[0], SearchSquare(5, 3));
    GenerateSearchMoves(c, 0);
    EXPECT_EQ(fixture.PlyMoves(), (TMoves{"d4e3", "f4e3"}));
    const TSearchMove& capture = c.MoveStack[0];
    EXPECT_EQ(capture.Captured, spPawn);
    EXPECT_EQ(capture.EnPassant, SearchSquare(5, 4));
    EXPECT_EQ(capture.Order, 100);

    const auto before = c.SearchBoard;
    MakeSearchMove(c, 0);
    EXPECT_EQ(c.SearchBoard[static_cast<std::size_t>(SearchSquare(5, 4))], spEmpty);
    EXPECT_EQ(c.SearchBoard[static_cast<std::size_t>(SearchSquare(5, 3))], -spPawn);
    EXPECT_EQ(c.PlyMaterial[1], -200);  // White's view: two black pawns against none
    UnmakeSearchMove(c, 0);
    EXPECT_EQ(c.SearchBoard, before);

    // A double step offers the capture to the next ply.
    TSearchFixture start("startpos");
    GenerateSearchMoves(start.C(), 1);
    MakeSearchMove(start.C(), start.Find("e2e4"));
    EXPECT_EQ(start.C().PlyEnPassant[1], SearchSquare(5, 3));
}

TEST(SearchMovesTest, CastlingOnlyWithUntouchedKingAndRookAndSafeSquares) {
    struct TRow {
        const char* Fen;
        bool KingSide;
        bool QueenSide;
    };
    const TRow rows[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", true, true},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", false, true},  // right lost in the game
        {"r3k2r/8/8/8/8/8/8/R3K2R w K - 0 1", true, false},
        {"r3k2r/8/8/8/8/8/5r2/R3K2R w KQ - 0 1", false, true},  // f1 attacked
        {"3rk2r/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, false},    // d1 attacked
        {"1r2k2r/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, true},    // only b1 attacked
        {"4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", false, false},   // in check
        {"r3k2r/8/8/8/8/8/8/R3KB1R w KQ - 0 1", false, true},   // f1 occupied
        {"r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1", true, true},
        {"r3k2r/8/8/8/8/B7/8/4K3 b kq - 0 1", false, true},  // f8 attacked
    };
    for (const TRow& row : rows) {
        TSearchFixture fixture(row.Fen);
        GenerateSearchMoves(fixture.C(), 0);  // castling is generated at any depth
        const TMoves moves = fixture.PlyMoves();
        const bool white = fixture.C().SideToMove > 0;
        const auto has = [&](const char* move) {
            return std::find(moves.begin(), moves.end(), move) != moves.end();
        };
        EXPECT_EQ(has(white ? "e1g1" : "e8g8"), row.KingSide) << row.Fen;
        EXPECT_EQ(has(white ? "e1c1" : "e8c8"), row.QueenSide) << row.Fen;
    }

    // A rook that has moved and come back inside the search has lost its castling.
    TSearchFixture fixture("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    SearchContext& c = fixture.C();
    for (const char* move : {"h1h2", "a8a7", "h2h1", "a7a8"}) {
        GenerateSearchMoves(c, 1);
        MakeSearchMove(c, fixture.Find(move));
    }
    GenerateSearchMoves(c, 1);
    EXPECT_EQ(fixture.Find("e1g1"), -1);
    EXPECT_NE(fixture.Find("e1c1"), -1);
    const std::int32_t castle = fixture.Find("e1c1");
    EXPECT_EQ(c.MoveStack[static_cast<std::size_t>(castle)].Castle, 2);
    MakeSearchMove(c, castle);
    EXPECT_EQ(c.SearchBoard[static_cast<std::size_t>(sqD1)], spRook);
    EXPECT_EQ(c.SearchBoard[static_cast<std::size_t>(sqA1)], spEmpty);
    EXPECT_TRUE(c.Castled[0]);
    UnmakeSearchMove(c, castle);
    EXPECT_EQ(c.SearchBoard[static_cast<std::size_t>(sqA1)], spRook);
    EXPECT_FALSE(c.Castled[0]);
}

TEST(SearchMovesTest, RecaptureOnTheLastMoveSquareIsOrderedByVictimAndAttacker) {
    TSearchFixture fixture("4k3/8/2n5/8/3P4/8/4Q3/4K3 b - - 0 1");
    SearchContext& c = fixture.C();
    GenerateSearchMoves(c, 1);
    MakeSearchMove(c, fixture.Find("c6e5"));
    GenerateSearchMoves(c, 0);
    const std::int32_t pawnTakes = fixture.Find("d4e5");
    const std::int32_t queenTakes = fixture.Find("e2e5");
    ASSERT_GE(pawnTakes, 0);
    ASSERT_GE(queenTakes, 0);
    EXPECT_EQ(c.MoveStack[static_cast<std::size_t>(pawnTakes)].Order, 275 - 100 / 8 + 300);
    EXPECT_EQ(c.MoveStack[static_cast<std::size_t>(queenTakes)].Order, 275 - 900 / 8 + 300);
    EXPECT_EQ(PickNextMove(c), pawnTakes);
    EXPECT_EQ(PickNextMove(c), queenTakes);
    EXPECT_EQ(PickNextMove(c), -1);
}

TEST(SearchMovesTest, PickerPrefersMainLineThenKillersInSlotOrder) {
    TSearchFixture fixture("startpos");
    SearchContext& c = fixture.C();
    c.MainLineTable[0][0] = {SearchSquare(5, 2), SearchSquare(5, 4), 0};
    c.Killers[0][0] = {SearchSquare(7, 1), SearchSquare(6, 3)};
    c.Killers[0][3] = {SearchSquare(4, 2), SearchSquare(4, 4)};
    GenerateSearchMoves(c, 1);
    TMoves picked;
    for (std::int32_t i = PickNextMove(c); i >= 0; i = PickNextMove(c))
        picked.push_back(fixture.Text(i));
    ASSERT_EQ(picked.size(), 20u);
    EXPECT_EQ((TMoves{picked[0], picked[1], picked[2], picked[3]}),
              (TMoves{"e2e4", "g1f3", "d2d4", "b1a3"}));
}

TEST(SearchMovesTest, PickerHandsOutTheFirstOfTheHighestEachTime) {
    const char* fens[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "startpos",
    };
    for (const char* fen : fens) {
        for (std::int32_t depth : {1, 0}) {
            TSearchFixture fixture(fen);
            SearchContext& c = fixture.C();
            c.Killers[0][1] = {SearchSquare(5, 2), SearchSquare(5, 4)};
            GenerateSearchMoves(c, depth);
            // The plain rule on a copy of the orders.
            std::vector<std::int32_t> orders;
            for (std::int32_t i = 0; i < c.PlyEnd[0]; ++i)
                orders.push_back(c.MoveStack[static_cast<std::size_t>(i)].Order);
            std::vector<std::int32_t> expected;
            while (true) {
                std::int32_t best = -1;
                for (std::size_t i = 0; i < orders.size(); ++i)
                    if (orders[i] > cPickedOrder &&
                        (best < 0 || orders[i] > orders[static_cast<std::size_t>(best)]))
                        best = static_cast<std::int32_t>(i);
                if (best < 0) break;
                orders[static_cast<std::size_t>(best)] = cPickedOrder;
                expected.push_back(best);
            }
            std::vector<std::int32_t> picked;
            for (std::int32_t i = PickNextMove(c); i >= 0; i = PickNextMove(c))
                picked.push_back(i);
            EXPECT_EQ(picked, expected) << fen << " depth " << depth;
            EXPECT_EQ(PickNextMove(c), -1);
            for (std::int32_t i = 0; i < c.PlyEnd[0]; ++i)
                EXPECT_EQ(c.MoveStack[static_cast<std::size_t>(i)].Order, cPickedOrder);
        }
    }
}

TEST(SearchMovesTest, KingsAreNeverCapturedAndExposingMovesAreGenerated) {
    // The black king stands en prise on e8; the pinned white bishop may still move.
    TSearchFixture fixture("4k3/8/8/8/8/8/4B3/4K2r w - - 0 1");
    GenerateSearchMoves(fixture.C(), 1);
    const TMoves moves = fixture.PlyMoves();
    EXPECT_EQ(std::count_if(moves.begin(), moves.end(),
                            [](const std::string& m) { return m.substr(2) == "e8"; }),
              0);
    EXPECT_NE(std::find(moves.begin(), moves.end(), "e2d3"), moves.end());
}

TEST(SearchMovesTest, FullMoveStackKeepsTheMovesThatFit) {
    TSearchFixture fixture("startpos");
    SearchContext& c = fixture.C();
    c.PlyEnd[-1] = cMoveStackSize - 10;
    GenerateSearchMoves(c, 1);
    EXPECT_EQ(c.PlyEnd[0], cMoveStackSize);
    EXPECT_EQ(fixture.PlyMoves(), (TMoves{"b1a3", "b1c3", "g1f3", "g1h3", "a2a3", "a2a4", "b2b3",
                                          "b2b4", "c2c3", "c2c4"}));
}

TEST(SearchMovesTest, AttackTestAgreesWithTheRulesOnChecks) {
    const char* fens[] = {
        "startpos",
        "4k3/8/8/8/8/8/4r3/4K3 w - - 0 1",
        "4k3/8/8/8/1b6/8/8/4K3 w - - 0 1",
        "4k3/8/8/8/8/3n4/8/4K3 w - - 0 1",
        "4k3/8/8/8/8/8/3p4/4K3 w - - 0 1",
        "4k3/8/8/8/8/8/4p3/4K3 w - - 0 1",
        "4k3/8/8/8/8/8/8/4K2q w - - 0 1",
        "4k3/8/8/8/8/8/4N3/4K2q w - - 0 1",
        "8/8/8/8/8/8/3k4/4K3 w - - 0 1",
        "4k3/3P4/8/8/8/8/8/4K3 b - - 0 1",
        "4k3/4P3/8/8/8/8/8/4K3 b - - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    };
    for (const char* fen : fens) {
        TSearchFixture fixture(fen);
        const SearchContext& c = fixture.C();
        EXPECT_EQ(IsAttacked(c, c.WhiteKingSquare, -1), IsKingInCheck(fixture.Board, 1)) << fen;
        EXPECT_EQ(IsAttacked(c, c.BlackKingSquare, 1), IsKingInCheck(fixture.Board, 0)) << fen;
    }
}

TEST(SearchMovesTest, MakeKeepsMaterialPhaseAndKingSquaresAsARecountWould) {
    TSearchFixture fixture("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1");
    SearchContext& c = fixture.C();
    GenerateSearchMoves(c, 1);
    const auto before = c.SearchBoard;
    for (std::int32_t i = 0; i < c.PlyEnd[0]; ++i) {
        MakeSearchMove(c, i);
        std::int32_t material = 0;
        std::int32_t phase = 0;
        for (std::int32_t square = 21; square <= 98; ++square) {
            const std::int32_t code = c.SearchBoard[static_cast<std::size_t>(square)];
            if (code == spBorder || code == spEmpty || std::abs(code) == spKing) continue;
            const std::int32_t value = c.PieceValue[static_cast<std::size_t>(std::abs(code))];
            material += (code > 0) == (c.SideToMove > 0) ? value : -value;
            if (std::abs(code) != spPawn) phase += value;
            if (code == spKing) {
                EXPECT_EQ(square, c.WhiteKingSquare);
            }
        }
        EXPECT_EQ(c.PlyMaterial[1], material) << fixture.Text(i);
        EXPECT_EQ(c.PlyPhase[1], phase) << fixture.Text(i);
        EXPECT_EQ(c.SearchBoard[static_cast<std::size_t>(c.WhiteKingSquare)], spKing);
        UnmakeSearchMove(c, i);
        EXPECT_EQ(c.SearchBoard, before) << fixture.Text(i);
    }
    EXPECT_EQ(c.WhiteKingSquare, sqG1);
}

}  // namespace
}  // namespace tavlor::test
