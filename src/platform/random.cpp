#include "platform/random.h"

namespace {
constexpr std::uint64_t kMultiplier = (std::uint64_t{0x15A4} << 32) | 0x4E35;  // 23794118839861
std::uint64_t state = 0;
}  // namespace

void SeedRandom(std::uint32_t seed) {
  state = seed;
}

std::uint32_t NextRandom() {
  state = state * kMultiplier + 1;
  return static_cast<std::uint32_t>(state >> 32) & 0x7FFF'FFFFu;
}
