// Shared by the PCX and Targa tests: bytes and pictures built in code, and
// pixels as red-green-blue.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "format_test_support.h"
#include "formats/picture_rgb.h"
#include "image/image.h"

namespace pcx_tga_test {

using format_test::Bytes;
using format_test::FormatTest;

inline void PutU16(Bytes& bytes, std::size_t offset, int value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A palette picture whose colour i is (i, 255 - i, 3i) and whose pixels use
// every index in a pattern with runs and single pixels.
inline void MakePalettePicture(TImage& image, int width, int height) {
  image.Create(width, height, 1, 1, 1, 1, 0);
  LogPalette palette;
  palette.count = kMaxPaletteEntries;
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    palette.entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                          static_cast<std::uint8_t>(3 * i), 0};
  }
  image.SetPalette(palette);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.Row(y)[x] = static_cast<std::uint8_t>(x < width / 2 ? y : (x * 7 + y * 13) & 0xFF);
    }
  }
}

// A 24-bit picture of smooth gradients, runs of equal pixels and noise-like areas.
inline void MakeColourPicture(TImage& image, int width, int height) {
  image.Create(width, height, 1, 1, 3, 1, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < width; ++x) {
      const bool flat = x % 40 < 10;
      row[3 * x] = static_cast<std::uint8_t>(flat ? 40 : x * 255 / width);
      row[3 * x + 1] = static_cast<std::uint8_t>(flat ? 200 : y * 255 / height);
      row[3 * x + 2] = static_cast<std::uint8_t>(flat ? 7 : (x * y * 31 + x) & 0xFF);
    }
  }
}

// Pixel (x, y) of a picture as red, green, blue.
inline std::vector<int> PixelAt(const TImage& image, int x, int y) {
  const std::vector<std::uint8_t> rgb = PictureToRgb(image);
  const std::size_t at = 3 * (std::size_t(y) * image.width + x);
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

}  // namespace pcx_tga_test
