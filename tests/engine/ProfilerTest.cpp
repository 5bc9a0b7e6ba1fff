#include <gtest/gtest.h>

#include <string>

#include "engine/Profiler.h"
#include "engine/Search.h"
#include "notation/Fen.h"

namespace tavlor::test {
namespace {

TEST(ProfilerTest, ReportListsNamedEntriesInTableOrder) {
    ClearProfile();
    EXPECT_EQ(ProfileText(), "");
    ProfileTable()[5] = {"Search", 0, 1.5 / 86400, 3};
    ProfileTable()[2] = {"Evaluate", 0, 0, 0};
    EXPECT_EQ(ProfileText(), "Evaluate : 0.00 sec. - 0 calls\r\nSearch : 1.50 sec. - 3 calls\r\n");
    ClearProfile();
}

TEST(ProfilerTest, SectionsCountTheirCallsAndTime) {
    ClearProfile();
    for (int i = 0; i < 3; ++i)
        TProfileSection section("Abschnitt");
    ProfileStop("never started");
    const TProfileEntry& entry = ProfileTable()[0];
    EXPECT_EQ(entry.Name, "Abschnitt");
    EXPECT_EQ(entry.Calls, 3);
    EXPECT_GE(entry.TotalTime, 0);
    EXPECT_TRUE(ProfileTable()[1].Name.empty());

    // Long names are cut to 128 characters; a full table takes no new names.
    ProfileStart(std::string(200, 'x'));
    EXPECT_EQ(ProfileTable()[1].Name, std::string(128, 'x'));
    for (int i = 0; i < 200; ++i)
        ProfileStart("Name " + std::to_string(i));
    EXPECT_EQ(ProfileTable()[127].Name, "Name 125");
    ClearProfile();
}

TEST(ProfilerTest, EverySearchIsOneSection) {
    ClearProfile();
    TChessBoard board;
    ReadFen(board, cStartFen);
    std::uint64_t nodes = 0;
    TChessMove move{};
    for (int i = 0; i < 2; ++i)
        ComputeMove(board, true, 2, TSearchProgress{}, nodes, move, TComputerSettings{});
    EXPECT_EQ(ProfileTable()[0].Name, "ComputeMove");
    EXPECT_EQ(ProfileTable()[0].Calls, 2);
    EXPECT_TRUE(ProfileTable()[1].Name.empty());
    ClearProfile();
}

}  // namespace
}  // namespace tavlor::test
