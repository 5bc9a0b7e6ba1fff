#include <gtest/gtest.h>

#include <string>

#include "tests/cli/RunCli.h"
#include "tests/platform/TempFolder.h"

namespace tavlor::cli {
namespace {

TEST(CliGameFiles, SaveThenLoad) {
    testing::TTempFolder folder;
    const std::string fileName = folder.File("mate.TVG");
    const TRun saved = RunCli({"save", fileName, "startpos", "f2f3", "e7e5", "g2g4", "d8h4"});
    ASSERT_EQ(saved.Code, 0) << saved.Err;
    const TRun loaded = RunCli({"load", fileName});
    EXPECT_EQ(loaded.Code, 0) << loaded.Err;
    EXPECT_EQ(loaded.Out,
              "  1. F2 - F3     E7 - E5  \n"
              "  2. G2 - G4     D8 - H4  \n"
              "1 Weiss ist matt!\n");

    // A set-up position with Black to move and promotions of both sides.
    const TRun promoted =
        RunCli({"save", fileName, "8/P6k/8/8/8/8/p6K/8 b - - 0 1", "a2a1n", "a7a8q"});
    ASSERT_EQ(promoted.Code, 0) << promoted.Err;
    EXPECT_EQ(RunCli({"load", fileName}).Out,
              "  1. ...         A2 - A1 N\n"
              "  2. A7 - A8 Q   ...\n"
              "0\n");
}

TEST(CliGameFiles, Failures) {
    testing::TTempFolder folder;
    const std::string fileName = folder.File("bad.TVG");
    EXPECT_EQ(RunCli({"save", fileName, "startpos", "e2e5"}).Code, 2);
    EXPECT_FALSE(testing::FileExists(fileName));

    ASSERT_EQ(RunCli({"save", fileName, "startpos", "e2e4"}).Code, 0);
    std::string bytes = testing::ReadBytes(fileName);
    bytes.replace(bytes.find("E2 - E4"), 7, "E2 - Z4");
    testing::WriteBytes(fileName, bytes);
    const TRun damaged = RunCli({"load", fileName});
    EXPECT_EQ(damaged.Code, 2);
    EXPECT_EQ(damaged.Out, "");
    EXPECT_NE(damaged.Err.find(fileName), std::string::npos) << damaged.Err;
    EXPECT_NE(damaged.Err.find("Zeile 86"), std::string::npos) << damaged.Err;

    const TRun unwritable = RunCli({"save", folder.File("none") + "/x.TVG", "startpos"});
    EXPECT_EQ(unwritable.Code, 2);
    EXPECT_NE(unwritable.Err.find("x.TVG"), std::string::npos);
    EXPECT_EQ(RunCli({"load"}).Code, 2);
    EXPECT_EQ(RunCli({"save", fileName}).Code, 2);
}

}  // namespace
}  // namespace tavlor::cli
