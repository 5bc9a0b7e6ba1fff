#include <gtest/gtest.h>

#include "engine/Bench.h"

namespace tavlor::test {
namespace {

// The bench's node count at a small depth: a change to the search, its move order or the
// evaluation changes it. Update the figure only for a change that is meant to alter the search.
TEST(BenchSignatureTest, TotalNodesAtDepthFour) {
    std::uint64_t total = 0;
    for (const TBenchPosition& position : cBenchPositions)
        total += RunBenchPosition(position, 4).Nodes;
    EXPECT_EQ(total, 109100u);
}

}  // namespace
}  // namespace tavlor::test
