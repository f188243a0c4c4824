// The Louder and Softer steps of the wave-output volume: two 16-bit channels
// in one word, left in the low half and right in the high half.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kVolumeStep = 4096;

// Each channel up one step, held at 0xFFFF.
std::uint32_t LouderVolume(std::uint32_t volume);
// Each channel down one step, held at 0.
std::uint32_t SofterVolume(std::uint32_t volume);
