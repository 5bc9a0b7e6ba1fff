#include <gtest/gtest.h>

#include <string>

#include "tests/cli/RunCli.h"
#include "tests/platform/TempFolder.h"

namespace tavlor::cli {
namespace {

TEST(CliNotation, FenAfterMoves) {
    EXPECT_EQ(RunCli({"fen", "startpos", "e2e4", "c7c5"}).Out,
              "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 0 2\n");
    const TRun bad = RunCli({"fen", "startpos", "e2e5"});
    EXPECT_EQ(bad.Code, 2);
    EXPECT_EQ(bad.Out, "");
}

TEST(CliNotation, SavedGameToPgnAndBack) {
    testing::TTempFolder folder;
    const std::string game = folder.File("mate.TVG");
    ASSERT_EQ(RunCli({"save", game, "startpos", "f2f3", "e7e5", "g2g4", "d8h4"}).Code, 0);
    const TRun pgn = RunCli({"pgn", game});
    ASSERT_EQ(pgn.Code, 0) << pgn.Err;
    EXPECT_NE(pgn.Out.find("[Result \"0-1\"]\n\n1. f3 e5 2. g4 Qh4# 0-1\n"), std::string::npos)
        << pgn.Out;

    const std::string games = folder.File("two.pgn");
    testing::WriteBytes(games, pgn.Out + "1. e4 e5 2. Nf3 *\n");
    const std::string imported = folder.File("second.TVG");
    ASSERT_EQ(RunCli({"import", games, imported, "--game", "2"}).Code, 0);
    EXPECT_EQ(RunCli({"load", imported}).Out,
              "  1. E2 - E4     E7 - E5  \n  2. G1 - F3     ...\n0\n");

    testing::WriteBytes(games, "1. e4 e5 2. Ke3 *\n");
    const TRun refused = RunCli({"import", games, imported});
    EXPECT_EQ(refused.Code, 2);
    EXPECT_NE(refused.Err.find("Zug 2. \"Ke3\""), std::string::npos) << refused.Err;
    EXPECT_EQ(RunCli({"import", games, imported, "--game", "0"}).Code, 2);
    EXPECT_EQ(RunCli({"pgn", folder.File("none.TVG")}).Code, 2);
}

}  // namespace
}  // namespace tavlor::cli
