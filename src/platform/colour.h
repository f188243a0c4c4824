// Colours as the program passes them around: 0x00BBGGRR values, and palette
// entries with the realization flags.
#pragma once

#include <cstdint>

using ColorRef = std::uint32_t;

constexpr ColorRef MakeRgb(int red, int green, int blue) {
  return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(ColorRef colour) {
  return static_cast<int>(colour & 0xFF);
}
constexpr int GreenOf(ColorRef colour) {
  return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef colour) {
  return static_cast<int>((colour >> 16) & 0xFF);
}

// Palette entry flags.
inline constexpr std::uint8_t kPcReserved = 0x01;
inline constexpr std::uint8_t kPcExplicit = 0x02;
// The entry takes a free system palette slot even when an equal colour exists.
inline constexpr std::uint8_t kPcNoCollapse = 0x04;

// One entry of a logical palette handed to the display (same layout as the
// engine's palette entries: red, green, blue, flags).
struct PaletteColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
  friend bool operator==(const PaletteColour&, const PaletteColour&) = default;
};

constexpr ColorRef ToColorRef(const PaletteColour& entry) {
  return MakeRgb(entry.red, entry.green, entry.blue);
}

// Sum of squared channel differences: how the display judges "nearest".
constexpr int ColourDistance(ColorRef a, ColorRef b) {
  const int dr = RedOf(a) - RedOf(b);
  const int dg = GreenOf(a) - GreenOf(b);
  const int db = BlueOf(a) - BlueOf(b);
  return dr * dr + dg * dg + db * db;
}
