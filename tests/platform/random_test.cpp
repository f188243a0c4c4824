#include "platform/random.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

// Expected numbers computed outside the program with arbitrary-precision
// arithmetic: s <- s * 23794118839861 + 1 mod 2^64, number = bits 32..62.
TEST(Random, FollowsTheFixedSequenceForFixedSeeds) {
  struct Case {
    std::uint32_t seed;
    std::array<std::uint32_t, 5> numbers;
  };
  const Case cases[] = {
      {1, {5540, 221838220, 695693412, 1410949376, 822182988}},
      {12345, {68391300, 482790092, 218732710, 77805671, 174559080}},
      {0xFFFFFFFF, {14480, 179013300, 1975543360, 1172946425, 1498745817}},
  };
  for (const auto& c : cases) {
    SeedRandom(c.seed);
    for (auto expected : c.numbers) EXPECT_EQ(NextRandom(), expected) << "seed " << c.seed;
  }
}

TEST(Random, SeedingReplacesTheWholeState) {
  SeedRandom(7);
  const std::uint32_t first = NextRandom();
  for (int i = 0; i < 100; ++i) NextRandom();
  SeedRandom(7);
  EXPECT_EQ(NextRandom(), first);
}
