#include "formats/picture_rgb.h"

#include <array>

#include "image/image.h"

void PictureRowToRgb(const TImage& image, int y, std::uint8_t* out) {
  const std::uint8_t* row = image.Row(y);
  if (row == nullptr) return;
  const int width = image.width;
  if (image.bytesPerPixel == 3) {
    for (int x = 0; x < width; ++x, out += 3, row += 3) {
      out[0] = row[2];
      out[1] = row[1];
      out[2] = row[0];
    }
    return;
  }
  std::array<std::array<std::uint8_t, 3>, kMaxPaletteEntries> colours{};
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    const PaletteEntry colour = image.bitmap.Colour(i);
    colours[i] = {colour.red, colour.green, colour.blue};
  }
  for (int x = 0; x < width; ++x, out += 3) {
    const auto& colour = colours[row[x]];
    out[0] = colour[0];
    out[1] = colour[1];
    out[2] = colour[2];
  }
}

std::vector<std::uint8_t> PictureToRgb(const TImage& image) {
  const std::size_t row_bytes = std::size_t(3) * image.width;
  std::vector<std::uint8_t> rgb(row_bytes * image.height);
  for (int y = 0; y < image.height; ++y) PictureRowToRgb(image, y, rgb.data() + row_bytes * y);
  return rgb;
}
