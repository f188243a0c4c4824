// A small FLI or FLC animation for the samples and the tests: a square that
// moves across a colour ramp. Every frame is stored whole (byte-run coded)
// after the palette, which every player of the format reads.
#pragma once

#include <cstdint>
#include <vector>

enum class FlicKind { kFli, kFlc };

inline constexpr int kFliWidth = 320;  // the only size FLI knows
inline constexpr int kFliHeight = 200;

// `width` and `height` are used by FLC only; FLI is always 320 x 200.
std::vector<std::uint8_t> MakeSampleFlic(FlicKind kind, int frames, int width, int height);
