#include "formats/picture_rgb.h"

#include <array>

#include "image/image.h"

std::vector<std::uint8_t> PictureToRgb(const TImage& image) {
  const int width = image.width;
  const int height = image.height;
  std::vector<std::uint8_t> rgb(std::size_t(3) * width * height);
  std::array<PaletteEntry, kMaxPaletteEntries> colours{};
  if (image.bytesPerPixel == 1) {
    for (int i = 0; i < kMaxPaletteEntries; ++i) colours[i] = image.bitmap.Colour(i);
  }
  std::uint8_t* out = rgb.data();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = image.Row(y);
    if (row == nullptr) break;
    for (int x = 0; x < width; ++x, out += 3) {
      if (image.bytesPerPixel == 1) {
        const PaletteEntry& colour = colours[row[x]];
        out[0] = colour.red;
        out[1] = colour.green;
        out[2] = colour.blue;
      } else {
        out[0] = row[3 * x + 2];
        out[1] = row[3 * x + 1];
        out[2] = row[3 * x];
      }
    }
  }
  return rgb;
}
