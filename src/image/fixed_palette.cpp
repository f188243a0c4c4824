#include "image/fixed_palette.h"

namespace {

constexpr int kCubeCorners = 8;
constexpr std::uint8_t kFixedGreys[] = {80, 96, 112, 128, 144, 160};

bool InByteRange(int value) {
  return value >= 0 && value <= 255;
}

void Append(LogPalette& palette, int red, int green, int blue) {
  PaletteEntry& entry = palette.entries[palette.count++];
  entry.red = static_cast<std::uint8_t>(red);
  entry.green = static_cast<std::uint8_t>(green);
  entry.blue = static_cast<std::uint8_t>(blue);
  entry.flags = 0;
}

// Points of a Y/Cb/Cr lattice that fall inside the colour cube.
void AppendLattice(LogPalette& palette) {
  constexpr int kLumaSteps[] = {-5, -3, -1, 1, 3, 5};
  for (int i = -4; i <= 4; ++i) {
    for (int j = -2; j <= 2; ++j) {
      for (int y : kLumaSteps) {
        const int red = 16 * y + 22 * i + 128;
        const int green = 16 * y - 5 * j - 11 * i + 128;
        const int blue = 16 * y + 28 * j + 128;
        if (InByteRange(red) && InByteRange(green) && InByteRange(blue)) {
          Append(palette, red, green, blue);
        }
      }
    }
  }
}

LogPalette BuildFixedPalette() {
  LogPalette palette;
  AppendLattice(palette);
  for (int corner = 0; corner < kCubeCorners; ++corner) {
    Append(palette, (corner & 4) ? 255 : 0, (corner & 2) ? 255 : 0, (corner & 1) ? 255 : 0);
  }
  for (std::uint8_t grey : kFixedGreys) Append(palette, grey, grey, grey);
  return palette;
}

}  // namespace

const LogPalette& GetFixedDitherPalette() {
  static const LogPalette palette = BuildFixedPalette();
  return palette;
}
