#include "common/random.h"

#include <gtest/gtest.h>

namespace sscplan {
namespace {

TEST(Random, FollowsTheLinearCongruentialSequence) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    seedRandom(1);
    EXPECT_EQ(randomBetween(0, 9), 1);  // 41 mod 10
}

TEST(Random, BetweenHandlesNegativeSwappedAndEqualBounds) {
    seedRandom(7);
    const std::uint32_t before = randomState();
    EXPECT_EQ(randomBetween(5, 5), 5);
    EXPECT_EQ(randomState(), before) << "equal bounds draw nothing";
    EXPECT_EQ(randomBetween(-3, -1), 0);
    EXPECT_EQ(randomState(), before);
    seedRandom(1);
    EXPECT_EQ(randomBetween(9, 0), 1);
    seedRandom(1);
    EXPECT_EQ(randomBetween(-5, 9), 1);
}

}  // namespace
}  // namespace sscplan
