#include <gtest/gtest.h>

#include "engine/Bench.h"

namespace tavlor::test {
namespace {

// The signature that `tavlor-cli bench` prints as its total: the whole set at the bench depth.
TEST(BenchSignatureSlowTest, TotalNodesAtTheBenchDepth) {
    std::uint64_t total = 0;
    for (const TBenchPosition& position : cBenchPositions)
        total += RunBenchPosition(position, cBenchDepth).Nodes;
    EXPECT_EQ(total, 2684803u);
}

}  // namespace
}  // namespace tavlor::test
