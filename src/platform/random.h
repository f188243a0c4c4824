// The one process-wide pseudo-random generator. Its sequence is part of the
// program's behaviour (random list order, sheet positions, dissolve), so it is
// one fixed linear congruential generator, never a library one whose
// sequence could change.
#pragma once

#include <cstdint>

// Low 32 bits of the state become the seed, high 32 bits zero.
void SeedRandom(std::uint32_t seed);

// Advances s <- s * 23794118839861 + 1 (mod 2^64) and returns bits 32..62 of s.
std::uint32_t NextRandom();
