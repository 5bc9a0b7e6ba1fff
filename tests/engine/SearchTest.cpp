#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Search.h"
#include "rules/MoveGeneration.h"
#include "tests/engine/EngineTestSupport.h"

namespace tavlor::test {
namespace {

struct TReport {
    std::int32_t Value;
    std::int32_t Depth;
    std::string Move;
    std::string MainLine;
};

// One ComputeMove with default settings that records every report and can stop at one.
struct TSearchRun {
    explicit TSearchRun(const char* fen, std::int32_t maxIterations, int stopAtReport = 0,
                        const TComputerSettings& settings = {}) {
        ReadFen(Board, fen == std::string("startpos") ? cStartFen : fen);
        const TSearchProgress progress = [&](std::int32_t& stop, std::int32_t value,
                                             std::int32_t depth, std::uint64_t,
                                             std::string_view move, std::string_view mainLine) {
            Reports.push_back({value, depth, std::string(move), std::string(mainLine)});
            if (static_cast<int>(Reports.size()) == stopAtReport) stop = 1;
        };
        Score = ComputeMove(Board, Board.IsWhiteToMove(), maxIterations, progress, Nodes, Best,
                            settings);
    }
    bool Found() const { return Best.FromFile != 0; }
    std::string BestText() const { return MoveToUci(Best); }

    TChessBoard Board;
    std::vector<TReport> Reports;
    std::uint64_t Nodes = 0;
    TChessMove Best{};
    double Score = 0;
};

TEST(SearchTest, DisplayValueTurnsMateScoresIntoMoves) {
    const std::pair<std::int32_t, std::int32_t> rows[] = {
        {0, 0},          {31949, 31949},    {-31949, -31949},  {31998, 100000},   {31996, 200000},
        {31994, 300000}, {-31997, -200000}, {-31995, -300000}, {-31999, -100000},
    };
    for (const auto& [score, shown] : rows)
        EXPECT_EQ(DisplayValue(score), shown) << score;
}

TEST(SearchTest, MateInOneIsFoundInTheFirstIterationAndEndsTheSearch) {
    const TSearchRun run("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 6);
    EXPECT_EQ(run.BestText(), "d1d8");
    EXPECT_EQ(run.Score, 31998);
    ASSERT_FALSE(run.Reports.empty());
    EXPECT_EQ(run.Reports.back().Value, 100000);
    for (const TReport& report : run.Reports)
        EXPECT_EQ(report.Depth, 1);

    // Black to move and mated next move sees it the other way round.
    const TSearchRun mated("3r2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", 6);
    EXPECT_EQ(mated.BestText(), "d8d1");
}

TEST(SearchTest, MateInTwoAndTheMatedSideSeesItToo) {
    const TSearchRun run("k7/8/2K5/8/8/8/8/7R w - - 0 1", 6);
    EXPECT_EQ(run.Score, 31996);
    ASSERT_FALSE(run.Reports.empty());
    EXPECT_EQ(run.Reports.back().Value, 200000);

    TChessBoard after = run.Board;
    after.HistoryTop = 0;
    ASSERT_TRUE(after.MakeMove(run.Best));
    std::uint64_t nodes = 0;
    TChessMove reply{};
    std::int32_t shown = 0;
    const TSearchProgress progress = [&](std::int32_t&, std::int32_t value, std::int32_t,
                                         std::uint64_t, std::string_view,
                                         std::string_view) { shown = value; };
    ComputeMove(after, after.IsWhiteToMove(), 6, progress, nodes, reply, TComputerSettings{});
    EXPECT_EQ(shown, -200000);
}

TEST(SearchTest, StalemateInsideTheTreeScoresZeroAndMateDoesNot) {
    struct TRow {
        const char* Move;
        std::int32_t Score;
    };
    const TRow rows[] = {{"f1f7", 0}, {"f1f8", -(MateScore - 2)}};
    for (const TRow& row : rows) {
        TSearchFixture fixture("7k/8/6K1/8/8/8/8/5Q2 w - - 0 1");
        SearchContext& c = fixture.C();
        c.MaxPly = 1;
        GenerateSearchMoves(c, 1);
        MakeSearchMove(c, fixture.Find(row.Move));
        EXPECT_EQ(Search(c, -MateScore, MateScore, 1), row.Score) << row.Move;
    }
}

TEST(SearchTest, ASideWithoutAnyMoveIsStalemateNotWorseThanMate) {
    // Set-up allows a side without a king; once its last pawn is taken it has no move at all.
    TSearchFixture fixture("8/8/8/8/8/8/1p6/K7 w - - 0 1");
    SearchContext& c = fixture.C();
    c.MaxPly = 1;
    GenerateSearchMoves(c, 1);
    MakeSearchMove(c, fixture.Find("a1b2"));
    EXPECT_EQ(Search(c, -MateScore, MateScore, 1), 0);
}

TEST(SearchTest, NoMoveWhenTheSideToMoveIsMatedOrStalemated) {
    for (const char* fen : {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "5Q1k/8/6K1/8/8/8/8/8 b - - 0 1"}) {
        const TSearchRun run(fen, 4);
        EXPECT_FALSE(run.Found()) << fen;
        EXPECT_LE(run.Score, -(MateScore - 1)) << fen;
        // Only the first root move of the first iteration is reported; no final report.
        EXPECT_EQ(run.Reports.size(), 1u) << fen;
    }
}

TEST(SearchTest, KillerOnlyAfterACutOffAboveBeta) {
    // After Rd8 mate every black reply lets the king be taken: each scores -31998.
    for (const auto& [beta, stored] :
         {std::pair{-(MateScore - 2), false}, std::pair{-(MateScore - 1), true}}) {
        TSearchFixture fixture("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
        SearchContext& c = fixture.C();
        c.MaxPly = 1;
        GenerateSearchMoves(c, 1);
        MakeSearchMove(c, fixture.Find("d1d8"));
        EXPECT_EQ(Search(c, -MateScore, beta, 0), -(MateScore - 2));
        EXPECT_EQ(c.Killers[1][0].From != 0, stored) << beta;
        EXPECT_NE(c.MainLineTable[1][0].From, 0);  // the cut-off at depth 1 updates the line
    }
}

TEST(SearchTest, ReportTextsAndFallbackMove) {
    TSearchFixture fixture("3r3k/4P3/8/8/8/8/8/K7 w - - 0 1");
    SearchContext& c = fixture.C();
    std::vector<TReport> reports;
    const TSearchProgress progress = [&](std::int32_t&, std::int32_t value, std::int32_t depth,
                                         std::uint64_t, std::string_view move,
                                         std::string_view mainLine) {
        reports.push_back({value, depth, std::string(move), std::string(mainLine)});
    };
    c.Progress = &progress;
    c.IterationDepth = 3;
    GenerateSearchMoves(c, 1);
    const std::int32_t promotion = fixture.Find("e7d8q");
    c.MainLineTable[1][0] = {SearchSquare(8, 8), SearchSquare(7, 7), 0};
    UpdateMainLine(c, promotion);
    ReportProgress(c, 42, promotion);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Move, "Be7xd8D");
    EXPECT_EQ(reports[0].MainLine, "e7-d8 h8-g7 ");
    EXPECT_EQ(reports[0].Value, 42);
    EXPECT_EQ(reports[0].Depth, 3);
    EXPECT_EQ(MoveToUci(c.FallbackMove), "e7d8q");

    // From inside the tree the root line is empty: the last main line and fallback stay.
    c.MainLineTable[0][0] = {};
    ReportProgress(c, 31998, fixture.Find("a1b2"));
    EXPECT_EQ(reports[1].Move, "Ka1-b2");
    EXPECT_EQ(reports[1].MainLine, "e7-d8 h8-g7 ");
    EXPECT_EQ(reports[1].Value, 100000);
    EXPECT_EQ(MoveToUci(c.FallbackMove), "e7d8q");
}

TEST(SearchTest, StopThroughTheCallbackPlaysTheLastReportedMainLineMove) {
    const TSearchRun run("startpos", 12, 40);
    // A stop inside a root re-search still sees that move's report, with nothing updated.
    ASSERT_GE(run.Reports.size(), 40u);
    ASSERT_LE(run.Reports.size(), 41u);
    std::string lastLine;
    for (const TReport& report : run.Reports)
        if (!report.MainLine.empty()) lastLine = report.MainLine;
    ASSERT_GE(lastLine.size(), 5u);
    EXPECT_EQ(run.BestText(), lastLine.substr(0, 2) + lastLine.substr(3, 2));
    EXPECT_LT(run.Reports.back().Depth, 12);
}

TEST(SearchTest, StopBeforeALegalMoveWasReportedStillPlaysALegalMove) {
    // In check: the first root move (the rook's) lets the king be taken and is reported first.
    const TSearchRun run("4k3/8/8/8/8/8/3q4/RN2K3 w - - 0 1", 6, 1);
    ASSERT_EQ(run.Reports.size(), 1u);
    EXPECT_EQ(run.Reports[0].MainLine, "a1-a2 ");
    ASSERT_TRUE(run.Found());
    TChessBoard board = run.Board;
    EXPECT_TRUE(IsLegalMove(board, run.Best)) << run.BestText();
    EXPECT_EQ(run.BestText(), "b1d2");
}

TEST(SearchTest, SameSearchSameNodesAndMove) {
    const char* fen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
    const TSearchRun first(fen, 4);
    const TSearchRun second(fen, 4);
    EXPECT_EQ(first.Nodes, second.Nodes);
    EXPECT_EQ(first.BestText(), second.BestText());
    EXPECT_EQ(first.Score, second.Score);
}

TEST(SearchTest, SettingsReachTheSearch) {
    // With the queen worth less than a pawn the pawn takes the knight instead, even though the
    // queen takes back.
    const char* fen = "4k3/8/8/3q1n2/4P3/8/8/4K3 w - - 0 1";
    EXPECT_EQ(TSearchRun(fen, 1).BestText(), "e4d5");
    TComputerSettings cheapQueen;
    cheapQueen.QueenValue = 50;
    cheapQueen.MaterialOnly = true;
    EXPECT_EQ(TSearchRun(fen, 1, 0, cheapQueen).BestText(), "e4f5");
}

}  // namespace
}  // namespace tavlor::test
