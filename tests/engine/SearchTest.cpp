#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/Bench.h"
#include "engine/Profiler.h"
#include "tests/engine/EngineTestSupport.h"

namespace tavlor::test {
namespace {

struct TReport {
    std::int32_t Value;
    std::int32_t Depth;
    std::string Move;
    std::string MainLine;
};

// A progress callback that records every report and stops the search at report `stopAt`.
TSearchProgress Recorder(std::vector<TReport>& reports, std::size_t stopAt = 0) {
    return [&reports, stopAt](std::int32_t& stop, std::int32_t value, std::int32_t depth,
                              std::uint64_t, std::string_view move, std::string_view mainLine) {
        reports.push_back({value, depth, std::string(move), std::string(mainLine)});
        if (reports.size() == stopAt) stop = 1;
    };
}

// One ComputeMove with the default settings.
struct TSearchRun {
    TSearchRun(const char* fen, std::int32_t maxIterations, std::size_t stopAt = 0) {
        const TChessBoard board = Play(fen, {});
        std::uint64_t nodes = 0;
        Score = ComputeMove(board, board.IsWhiteToMove(), maxIterations, Recorder(Reports, stopAt),
                            nodes, Best, TComputerSettings{});
    }
    std::string BestText() const { return Best.FromFile != 0 ? MoveToUci(Best) : ""; }
    TReport Last() const { return Reports.empty() ? TReport{} : Reports.back(); }

    std::vector<TReport> Reports;
    TChessMove Best{};
    double Score = 0;
};

TEST(SearchTest, MatesInOneAndTwo) {
    const TSearchRun one("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 6);
    EXPECT_EQ(one.BestText(), "d1d8");
    EXPECT_EQ(one.Score, 31998);
    EXPECT_EQ(one.Last().Value, 100000);
    EXPECT_EQ(one.Last().Depth, 1);  // found in the first iteration, which ends the search

    const TSearchRun two("k7/8/2K5/8/8/8/8/7R w - - 0 1", 6);
    EXPECT_EQ(two.Score, 31996);
    EXPECT_EQ(two.Last().Value, 200000);
    // After Kb6 the mated side sees it too.
    EXPECT_EQ(TSearchRun("k7/8/1K6/8/8/8/8/7R b - - 1 1", 6).Last().Value, -200000);
}

TEST(SearchTest, NoMoveLeftInsideTheTreeIsStalemateUnlessInCheck) {
    const std::tuple<const char*, const char*, std::int32_t> rows[] = {
        {"7k/8/6K1/8/8/8/8/5Q2 w - - 0 1", "f1f7", 0},
        {"7k/8/6K1/8/8/8/8/5Q2 w - - 0 1", "f1f8", -(MateScore - 2)},
        // Set-up allows a side without a king; once its last pawn is taken it has no move.
        {"8/8/8/8/8/8/1p6/K7 w - - 0 1", "a1b2", 0},
    };
    for (const auto& [fen, move, score] : rows) {
        TSearchFixture fixture(fen);
        fixture.C.MaxPly = 1;
        fixture.Play({move});
        EXPECT_EQ(Search(fixture.C, -MateScore, MateScore, 1), score) << move;
    }
}

TEST(SearchTest, NoMoveWhenTheSideToMoveIsMatedOrStalemated) {
    for (const char* fen : {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "5Q1k/8/6K1/8/8/8/8/8 b - - 0 1"}) {
        const TSearchRun run(fen, 4);
        EXPECT_EQ(run.BestText(), "") << fen;
        EXPECT_LE(run.Score, -(MateScore - 1)) << fen;
    }
}

TEST(SearchTest, KillerOnlyAfterACutOffAboveBeta) {
    // After Rd8 mate every black reply lets the king be taken: each scores -31998.
    for (const auto& [beta, stored] :
         {std::pair{-(MateScore - 2), false}, std::pair{-(MateScore - 1), true}}) {
        TSearchFixture fixture("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
        fixture.C.MaxPly = 1;
        fixture.Play({"d1d8"});
        EXPECT_EQ(Search(fixture.C, -MateScore, beta, 0), -(MateScore - 2));
        EXPECT_EQ(fixture.C.Killers[1][0].From != 0, stored) << beta;
    }
}

TEST(SearchTest, ReportTexts) {
    TSearchFixture fixture("3r3k/4P3/8/8/8/8/8/K7 w - - 0 1");
    SearchContext& c = fixture.C;
    std::vector<TReport> reports;
    const TSearchProgress progress = Recorder(reports);
    c.Progress = &progress;
    GenerateSearchMoves(c, 1);
    const std::int32_t promotion = fixture.Find("e7d8q");
    c.MainLineTable[1][0] = {SearchSquare(8, 8), SearchSquare(7, 7), 0};
    UpdateMainLine(c, promotion);
    ReportProgress(c, 42, promotion);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Move, "Be7xd8D");
    EXPECT_EQ(reports[0].MainLine, "e7-d8 h8-g7 ");
}

TEST(SearchTest, StopThroughTheCallbackPlaysTheLastReportedMainLineMove) {
    const TSearchRun run("startpos", 12, 40);
    // A stop inside a root re-search still sees that move's report, with nothing updated.
    ASSERT_GE(run.Reports.size(), 40u);
    ASSERT_LE(run.Reports.size(), 41u);
    const std::string line = run.Last().MainLine;
    ASSERT_GE(line.size(), 5u);
    EXPECT_EQ(run.BestText(), line.substr(0, 2) + line.substr(3, 2));
    EXPECT_LT(run.Last().Depth, 12);
}

TEST(SearchTest, StopBeforeALegalMoveWasReportedStillPlaysALegalMove) {
    // In check: the first root move (the rook's) lets the king be taken and is reported first.
    const TSearchRun run("4k3/8/8/8/8/8/3q4/RN2K3 w - - 0 1", 6, 1);
    ASSERT_EQ(run.Reports.size(), 1u);
    EXPECT_EQ(run.Reports[0].MainLine, "a1-a2 ");
    EXPECT_EQ(run.BestText(), "b1d2");
}

TEST(SearchTest, OptionsNameRootMovesAndReportEveryFinishedIteration) {
    const TChessBoard board = Play("4k3/P7/8/8/8/8/8/4K3 w - - 0 1", {});
    const TChessMove wanted[] = {{1, 7, 1, 8, cWhiteKnight}, {5, 1, 4, 1, cEmpty}};
    std::vector<std::tuple<std::int32_t, std::uint64_t, std::string>> iterations;
    TSearchOptions options;
    options.RootMoves = wanted;
    options.IterationDone = [&](std::int32_t depth, std::int32_t, std::uint64_t nodes,
                                std::string_view mainLine) {
        iterations.emplace_back(depth, nodes, std::string(mainLine));
    };
    std::vector<TReport> reports;
    std::uint64_t nodes = 0;
    TChessMove best{};
    ComputeMove(board, true, 3, Recorder(reports), nodes, best, TComputerSettings{}, options);
    const auto named = [](std::string_view line) {
        return line.starts_with("a7-a8") || line.starts_with("e1-d1");
    };
    EXPECT_TRUE(MoveToUci(best) == "a7a8n" || MoveToUci(best) == "e1d1") << MoveToUci(best);
    ASSERT_EQ(iterations.size(), 3u);
    for (std::size_t i = 0; i < iterations.size(); ++i) {
        EXPECT_EQ(std::get<0>(iterations[i]), static_cast<std::int32_t>(i + 1));
        EXPECT_TRUE(named(std::get<2>(iterations[i]))) << std::get<2>(iterations[i]);
    }
    EXPECT_LE(std::get<1>(iterations.back()), nodes);
    for (const TReport& report : reports)
        EXPECT_TRUE(named(report.MainLine)) << report.MainLine;

    // The promotion piece counts where one is named: the knight, not the engine's queen.
    options.RootMoves = std::span(wanted, 1);
    ComputeMove(board, true, 2, Recorder(reports), nodes, best, TComputerSettings{}, options);
    EXPECT_EQ(MoveToUci(best), "a7a8n");
}

// The bench's node count at a small depth: a change to the search, its move order or the
// evaluation changes it (and a search that is not deterministic). Update the figure only for a
// change that is meant to alter the search.
TEST(SearchTest, BenchSignatureAtDepthFour) {
    std::uint64_t total = 0;
    for (const TBenchPosition& position : cBenchPositions)
        total += RunBenchPosition(position, 4).Nodes;
    EXPECT_EQ(total, 109100u);
}

TEST(SearchTest, ProfileTableAndText) {
    ClearProfile();
    ProfileTable()[5] = {"Search", 0, 1.5 / 86400, 3};
    ProfileTable()[2] = {"Evaluate", 0, 0, 0};
    EXPECT_EQ(ProfileText(), "Evaluate : 0.00 sec. - 0 calls\r\nSearch : 1.50 sec. - 3 calls\r\n");

    // Every search is one section; names are cut to 128 characters; a full table takes no more.
    ClearProfile();
    for (int i = 0; i < 2; ++i)
        const TSearchRun run("startpos", 1);
    ProfileStop("never started");
    EXPECT_EQ(ProfileTable()[0].Name, "ComputeMove");
    EXPECT_EQ(ProfileTable()[0].Calls, 2);
    ProfileStart(std::string(200, 'x'));
    EXPECT_EQ(ProfileTable()[1].Name, std::string(128, 'x'));
    for (int i = 0; i < 200; ++i)
        ProfileStart("Name " + std::to_string(i));
    EXPECT_EQ(ProfileTable()[127].Name, "Name 125");
}

// The static score of the root position with the full window. With `listMoves` the root moves
// are generated first, so that the mobility estimate sees their number (no penalty above eight).
std::int32_t EvaluateFen(const char* fen, const TComputerSettings& settings = {},
                         bool listMoves = true, std::int32_t alpha = -MateScore,
                         std::int32_t beta = MateScore) {
    TSearchFixture fixture(fen, settings);
    if (listMoves) GenerateSearchMoves(fixture.C, 1);
    bool inCheck = false;
    return Evaluate(fixture.C, alpha, beta, fixture.C.SideToMove, inCheck);
}

TEST(EvaluationTest, PositionalTermsAndDrawsByMaterial) {
    // The score, or nothing for any score but a draw.
    const std::tuple<const char*, std::optional<std::int32_t>> rows[] = {
        // Lone passed pawn on a7: 4x8 - 12 isolated + 16x8 passed + 8x8 pawn ending.
        {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", 100 + 212},
        {"4k3/8/8/8/8/8/p7/4K3 b - - 0 1", 100 + 212},
        {"k7/8/8/8/8/3R4/8/K2R4 w - - 0 1", 950 + 84},  // doubled rooks, open file: 2 x (4+13+25)
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0},
        // Too little material without pawns is a draw.
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0},
        {"4k3/8/8/8/8/8/8/1NN1K3 w - - 0 1", 0},
        {"4k3/8/8/8/8/8/8/2B1K1n1 w - - 0 1", 0},            // bishop against knight
        {"4k3/8/8/8/8/8/8/2B1KB2 w - - 0 1", std::nullopt},  // ahead by more than a pawn
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", std::nullopt},
        {"4k3/8/8/8/8/8/P7/1NN1K3 w - - 0 1", std::nullopt},  // a pawn is left
    };
    for (const auto& [fen, score] : rows) {
        if (score)
            EXPECT_EQ(EvaluateFen(fen), *score) << fen;
        else
            EXPECT_NE(EvaluateFen(fen), 0) << fen;
    }
}

TEST(EvaluationTest, MaterialOnlyAndKingCapture) {
    TComputerSettings materialOnly;
    materialOnly.MaterialOnly = true;
    TSearchFixture check("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", materialOnly);
    bool inCheck = false;
    EXPECT_EQ(Evaluate(check.C, -MateScore, MateScore, 1, inCheck), -475);
    EXPECT_TRUE(inCheck);
    for (const TComputerSettings& settings : {TComputerSettings{}, materialOnly}) {
        // The side to move can take the king: mate at this ply, or one ply deeper after a move
        // that exposed it.
        EXPECT_EQ(EvaluateFen("4k3/8/8/8/8/8/8/4R1K1 w - - 0 1", settings), MateScore);
        TSearchFixture exposed("4k3/8/8/8/8/8/4r3/6K1 w - - 0 1", settings);
        exposed.Play({"g1g2"});
        EXPECT_EQ(Evaluate(exposed.C, -MateScore, MateScore, -1, inCheck), MateScore - 1);
    }
}

TEST(EvaluationTest, EarlyExitOutsideTheWindowGivesMaterialAndMobility) {
    // No list at this ply yet: the mobility estimate is -25.
    const char* queenUp = "rnb1kbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R w KQkq - 0 1";
    EXPECT_EQ(EvaluateFen(queenUp, {}, false, 1100, 1200), 900 - 25);
    EXPECT_EQ(EvaluateFen(queenUp, {}, false, 600, 700), 900 - 25);
    // Inside the window the board is scanned: the knight on f3 adds its centre value.
    EXPECT_EQ(EvaluateFen(queenUp, {}, false, 850, 950), 900 - 25 + 24);
}

}  // namespace
}  // namespace tavlor::test
