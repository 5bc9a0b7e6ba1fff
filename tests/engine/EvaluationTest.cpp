#include <gtest/gtest.h>

#include "engine/SearchContext.h"
#include "tests/engine/EngineTestSupport.h"

namespace tavlor::test {
namespace {

struct TEvaluation {
    std::int32_t Score;
    std::int32_t Material;
    bool InCheck;
};

// Evaluates the root position with the full window. With `listMoves` the root moves are
// generated first, so that the mobility estimate sees their number (no penalty above eight).
TEvaluation EvaluateFen(const char* fen, bool listMoves = true,
                        const TComputerSettings& settings = {}, std::int32_t alpha = -MateScore,
                        std::int32_t beta = MateScore) {
    TSearchFixture fixture(fen, settings);
    SearchContext& c = fixture.C();
    if (listMoves) GenerateSearchMoves(c, 1);
    TEvaluation result{};
    result.Material = c.PlyMaterial[0];
    result.Score = Evaluate(c, alpha, beta, c.SideToMove, result.InCheck);
    return result;
}

TEST(EvaluationTest, PositionalTermsOfSinglePieces) {
    struct TRow {
        const char* Fen;
        std::int32_t Positional;
        const char* Why;
    };
    const TRow rows[] = {
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", 212,
         "lone passed pawn on a7: 4x8 - 12 isolated + 16x8 passed + 8x8 pawn ending"},
        {"4k3/8/8/8/8/8/p7/4K3 b - - 0 1", 212, "the same for Black, from Black's view"},
        {"k7/8/8/8/8/3R4/8/K2R4 w - - 0 1", 84, "doubled rooks on an open d file: 2 x (4+13+25)"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0,
         "symmetric position: every term cancels"},
    };
    for (const TRow& row : rows) {
        const TEvaluation result = EvaluateFen(row.Fen);
        EXPECT_EQ(result.Score - result.Material, row.Positional) << row.Fen << ": " << row.Why;
    }
}

TEST(EvaluationTest, TooLittleMaterialWithoutPawnsIsADraw) {
    struct TRow {
        const char* Fen;
        bool Drawn;
    };
    const TRow rows[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", true},
        {"4k3/8/8/8/8/8/8/1NN1K3 w - - 0 1", true},    // two knights
        {"4k3/8/8/8/8/8/8/2B1K1n1 w - - 0 1", true},   // bishop against knight: 600, 50
        {"4k3/8/8/8/8/8/8/2B1KB2 w - - 0 1", false},   // two bishops: ahead by more than a pawn
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", false},     // rook
        {"4k3/8/8/8/8/8/P7/1NN1K3 w - - 0 1", false},  // a pawn is left
    };
    for (const TRow& row : rows) {
        const TEvaluation result = EvaluateFen(row.Fen);
        if (row.Drawn)
            EXPECT_EQ(result.Score, 0) << row.Fen;
        else
            EXPECT_NE(result.Score, 0) << row.Fen;
    }
}

TEST(EvaluationTest, KingCaptureScoresMateMinusPlyAndCountsOneNode) {
    for (bool materialOnly : {false, true}) {
        TComputerSettings settings;
        settings.MaterialOnly = materialOnly;
        TSearchFixture fixture("4k3/8/8/8/8/8/8/4R1K1 w - - 0 1", settings);
        SearchContext& c = fixture.C();
        bool inCheck = false;
        EXPECT_EQ(Evaluate(c, -MateScore, MateScore, 1, inCheck), MateScore);
        EXPECT_EQ(c.Nodes, 1u);
        EXPECT_FALSE(inCheck);

        // A move that exposes the own king: the opponent's evaluation one ply deeper.
        TSearchFixture exposed("4k3/8/8/8/8/8/4r3/6K1 w - - 0 1", settings);
        GenerateSearchMoves(exposed.C(), 1);
        MakeSearchMove(exposed.C(), exposed.Find("g1g2"));
        EXPECT_EQ(Evaluate(exposed.C(), -MateScore, MateScore, -1, inCheck), MateScore - 1);
    }
}

TEST(EvaluationTest, MaterialOnlyGivesTheBalanceButStillReportsCheck) {
    TComputerSettings settings;
    settings.MaterialOnly = true;
    const TEvaluation result = EvaluateFen("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", true, settings);
    EXPECT_EQ(result.Score, -475);
    EXPECT_TRUE(result.InCheck);
    const TEvaluation quiet = EvaluateFen("4k3/8/8/8/8/8/8/3QK3 w - - 0 1", true, settings);
    EXPECT_EQ(quiet.Score, 900);
    EXPECT_FALSE(quiet.InCheck);
}

TEST(EvaluationTest, EarlyExitOutsideTheWindowGivesMaterialAndMobility) {
    // No list at this ply yet: the mobility estimate is -25.
    const char* queenUp = "rnb1kbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R w KQkq - 0 1";
    EXPECT_EQ(EvaluateFen(queenUp, false, {}, 1100, 1200).Score, 900 - 25);
    EXPECT_EQ(EvaluateFen(queenUp, false, {}, 600, 700).Score, 900 - 25);
    // Inside the window the board is scanned: the knight on f3 adds its centre value.
    EXPECT_EQ(EvaluateFen(queenUp, false, {}, 850, 950).Score, 900 - 25 + 24);
}

}  // namespace
}  // namespace tavlor::test
