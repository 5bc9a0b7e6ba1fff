#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/EngineCommands.h"

namespace tavlor::test {
namespace {

struct TCommandRun {
    int Code = 0;
    std::vector<std::string> Lines;
    std::string Errors;
};

// The words of a line, for checking its layout.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool IsNumber(const std::string& word) {
    const std::size_t start = !word.empty() && word[0] == '-' ? 1 : 0;
    return word.size() > start && word.find_first_not_of("0123456789", start) == std::string::npos;
}

TCommandRun RunTool(std::vector<std::string_view> args) {
    std::ostringstream out;
    std::ostringstream err;
    TCommandRun run;
    run.Code = cli::RunCommandLine(args, out, err);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);)
        run.Lines.push_back(line);
    run.Errors = err.str();
    return run;
}

TEST(EngineCommandsTest, SearchPrintsEveryReportAndTheBestMove) {
    const TCommandRun run =
        RunTool({"search", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "--depth", "3"});
    ASSERT_EQ(run.Code, 0) << run.Errors;
    ASSERT_GE(run.Lines.size(), 2u);
    EXPECT_EQ(run.Lines.front(), "info depth 1 value 507 nodes 1 move Td1-c1 mainline d1-c1");
    for (std::size_t i = 0; i + 1 < run.Lines.size(); ++i) {
        const std::vector<std::string> words = Words(run.Lines[i]);
        ASSERT_GE(words.size(), 10u) << run.Lines[i];
        EXPECT_EQ(words[0] + words[1] + words[3] + words[5] + words[7], "infodepthvaluenodesmove");
        EXPECT_TRUE(IsNumber(words[2]) && IsNumber(words[4]) && IsNumber(words[6]));
        EXPECT_EQ(words[9], "mainline");
    }
    EXPECT_EQ(run.Lines.back(), "bestmove d1d8 value 100000 nodes 33");
}

TEST(EngineCommandsTest, SearchOptionsReachTheEngine) {
    const char* fen = "4k3/8/8/3q1n2/4P3/8/8/4K3 w - - 0 1";
    EXPECT_EQ(RunTool({"search", fen, "--depth", "1"}).Lines.back().substr(0, 13), "bestmove e4d5");
    const TCommandRun cheapQueen = RunTool(
        {"search", fen, "--depth", "1", "--material-only", "--values", "50,475,275,325,100"});
    EXPECT_EQ(cheapQueen.Lines.back().substr(0, 13), "bestmove e4f5");
    EXPECT_EQ(RunTool({"search", "startpos", "--depth", "2", "--absolute-deep"}).Code, 0);
    EXPECT_EQ(RunTool({"search", "5Q1k/8/6K1/8/8/8/8/8 b - - 0 1"}).Lines.back(), "bestmove none");
}

TEST(EngineCommandsTest, BadArgumentsAreRefusedInGerman) {
    struct TRow {
        std::vector<std::string_view> Args;
        const char* Message;
    };
    const TRow rows[] = {
        {{"search", "startpos", "--depth", "0"}, "Ungültige Tiefe: 0"},
        {{"search", "startpos", "--depth", "x"}, "Ungültige Tiefe: x"},
        {{"search", "startpos", "--values", "900,475"}, "Ungültige Materialwerte: 900,475"},
        {{"search", "startpos", "--values", "900,475,275,325,0"}, "Ungültige Materialwerte"},
        {{"search", "startpos", "--values", "900,475,275,325,100,1"}, "Ungültige Materialwerte"},
        {{"search", "startpos", "--fast"}, "Unbekannte Angabe: --fast"},
        {{"search"}, "Aufruf:"},
        {{"bench", "--depth"}, "Aufruf:"},
        {{"uci", "extra"}, "Aufruf:"},
    };
    for (const TRow& row : rows) {
        const TCommandRun run = RunTool(row.Args);
        EXPECT_EQ(run.Code, 2) << row.Message;
        EXPECT_NE(run.Errors.find(row.Message), std::string::npos) << run.Errors;
        EXPECT_TRUE(run.Lines.empty());
    }
}

TEST(EngineCommandsTest, BenchListsEveryPositionAndTheTotal) {
    const TCommandRun run = RunTool({"bench", "--depth", "2"});
    ASSERT_EQ(run.Code, 0);
    ASSERT_EQ(run.Lines.size(), 11u);
    for (std::size_t i = 0; i < 10; ++i) {
        const std::vector<std::string> words = Words(run.Lines[i]);
        ASSERT_EQ(words.size(), 9u) << run.Lines[i];
        EXPECT_EQ(words[0], "position");
        EXPECT_EQ(words[1], std::to_string(i + 1));
        EXPECT_EQ(words[2].back(), ':');
        EXPECT_TRUE(IsNumber(words[3]) && IsNumber(words[5])) << run.Lines[i];
        EXPECT_EQ(words[4] + words[6] + words[7], "nodesmsbestmove");
        EXPECT_GE(words[8].size(), 4u);
    }
    const std::vector<std::string> total = Words(run.Lines[10]);
    ASSERT_EQ(total.size(), 6u) << run.Lines[10];
    EXPECT_TRUE(IsNumber(total[0]) && IsNumber(total[2]) && IsNumber(total[4]));
    EXPECT_EQ(total[1] + total[3] + total[5], "nodesmsnps");
}

}  // namespace
}  // namespace tavlor::test
