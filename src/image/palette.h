// The logical palette: how readers, writers, the dithering engine and the
// display exchange colours.
#pragma once

#include <array>
#include <cstdint>

#include "platform/colour.h"

// Red, green, blue and flags: the same entry the display's palettes hold.
using PaletteEntry = PaletteColour;

inline constexpr std::uint16_t kLogPaletteVersion = 0x300;
inline constexpr int kMaxPaletteEntries = 256;

struct LogPalette {
  std::uint16_t version = kLogPaletteVersion;
  std::uint16_t count = 0;
  std::array<PaletteEntry, kMaxPaletteEntries> entries{};
};
