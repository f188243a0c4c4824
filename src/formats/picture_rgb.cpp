#include "formats/picture_rgb.h"

#include <array>

#include "image/image.h"

namespace {

using ColourTable = std::array<std::array<std::uint8_t, 3>, kMaxPaletteEntries>;

ColourTable BitmapColours(const TImage& image) {
  ColourTable colours{};
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    const PaletteEntry colour = image.bitmap.Colour(i);
    colours[i] = {colour.red, colour.green, colour.blue};
  }
  return colours;
}

}  // namespace

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
  const ColourTable colours = BitmapColours(image);
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

ImageSize UprightSize(const TImage& image) {
  if (image.uprightOrientation & kOrientTranspose) return {image.height, image.width};
  return {image.width, image.height};
}

void UprightRowToRgb(const TImage& image, int y, std::uint8_t* out) {
  const int code = image.uprightOrientation;
  const ImageSize size = UprightSize(image);
  if (y < 0 || y >= size.height) return;
  if (code == 0) {
    PictureRowToRgb(image, y, out);
    return;
  }
  const ColourTable colours = image.bytesPerPixel == 1 ? BitmapColours(image) : ColourTable{};
  const int down = (code & kOrientFlip) ? size.height - 1 - y : y;
  for (int x = 0; x < size.width; ++x, out += 3) {
    const int across = (code & kOrientMirror) ? size.width - 1 - x : x;
    const bool transposed = (code & kOrientTranspose) != 0;
    const std::uint8_t* row = image.Row(transposed ? across : down);
    const std::size_t column = static_cast<std::size_t>(transposed ? down : across);
    if (image.bytesPerPixel == 3) {
      const std::uint8_t* pixel = row + 3 * column;
      out[0] = pixel[2];
      out[1] = pixel[1];
      out[2] = pixel[0];
    } else {
      const auto& colour = colours[row[column]];
      out[0] = colour[0];
      out[1] = colour[1];
      out[2] = colour[2];
    }
  }
}
