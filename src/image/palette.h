// The logical palette: how readers, writers, the dithering engine and the
// display exchange colours.
#pragma once

#include <array>
#include <cstdint>

struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
};

inline constexpr std::uint16_t kLogPaletteVersion = 0x300;
inline constexpr int kMaxPaletteEntries = 256;

struct LogPalette {
  std::uint16_t version = kLogPaletteVersion;
  std::uint16_t count = 0;
  std::array<PaletteEntry, kMaxPaletteEntries> entries{};
};
