#include <gtest/gtest.h>

#include <vector>

#include "tests/cli/RunCli.h"

namespace tavlor::cli {
namespace {

TEST(Cli, MovesAndPerft) {
    const TRun moves = RunCli({"moves", "startpos"});
    EXPECT_EQ(moves.Code, 0);
    EXPECT_EQ(moves.Out.substr(0, 20), "A2 - A3  \nA2 - A4  \n");
    const TRun perft = RunCli({"perft", "startpos", "3"});
    EXPECT_EQ(perft.Out, "Nodes searched: 8902\n");
    // Promotions count once per piece; the divide names them in lower case.
    const TRun divide = RunCli({"perft", "4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "1", "--divide"});
    EXPECT_NE(divide.Out.find("a7a8q: 1\na7a8r: 1\na7a8b: 1\na7a8n: 1\n"), std::string::npos);
    EXPECT_TRUE(divide.Out.ends_with("\nNodes searched: 9\n"));
}

TEST(Cli, State) {
    struct TRow {
        std::vector<std::string_view> Args;
        int Code;
        std::string Out;
    };
    const TRow rows[] = {
        {{"state", "startpos"}, 0, "0\n"},
        {{"state", "startpos", "f2f3", "e7e5", "g2g4", "d8h4"}, 0, "1 Weiss ist matt!\n"},
        {{"state", "k7/8/1Q6/8/8/8/8/4K3 w - - 0 1", "e1d2"}, 0, "4 Unentschieden - Schwarz ist patt!\n"},
        {{"state", "7k/P5pp/8/8/8/8/8/4K3 w - - 0 1", "a7a8q"}, 0, "2 Schwarz ist matt!\n"},
        {{"state", "7k/P7/8/8/8/8/8/4K3 w - - 0 1", "a7a8n"}, 0, "0\n"},
        {{"state", "startpos", "e2e5"}, 2, ""},
        {{"state", "startpos", "e7e5"}, 2, ""},
        {{"state", "7k/P7/8/8/8/8/8/4K3 w - - 0 1", "a7a8"}, 2, ""},
        {{"state", "startpos", "xyz"}, 2, ""},
        {{"state"}, 2, ""},
        {{"perft", "startpos"}, 2, ""},
        {{"nonsense"}, 2, ""},
        {{}, 2, ""},
    };
    for (const TRow& row : rows) {
        const TRun run = RunCli(row.Args);
        EXPECT_EQ(run.Code, row.Code) << run.Err;
        EXPECT_EQ(run.Out, row.Out);
        EXPECT_EQ(run.Err.empty(), row.Code == 0) << run.Err;
    }
}

TEST(Cli, BadMoveIsNamed) {
    EXPECT_NE(RunCli({"state", "startpos", "e2e4", "e2e4"}).Err.find("e2e4"), std::string::npos);
}

}  // namespace
}  // namespace tavlor::cli
