// Trims borders of few distinct values from the view, then makes the result
// the crop: scanned pictures and screenshots lose their frames.
#include <algorithm>
#include <bitset>

#include "image/image.h"

namespace {

// Each byte of a 24-bit pixel counts as one value of the same 256.
int DistinctInRow(const TImage& image, int row, int left, int count) {
  std::bitset<256> seen;
  const std::uint8_t* pixels = image.rows[row] + std::size_t(left) * image.bytesPerPixel;
  const int bytes = count * image.bytesPerPixel;
  for (int i = 0; i < bytes; ++i) seen.set(pixels[i]);
  return static_cast<int>(seen.count());
}

int DistinctInColumn(const TImage& image, int column, int top, int count) {
  std::bitset<256> seen;
  const std::size_t offset = std::size_t(column) * image.bytesPerPixel;
  for (int r = top; r < top + count; ++r) {
    for (int b = 0; b < image.bytesPerPixel; ++b) seen.set(image.rows[r][offset + b]);
  }
  return static_cast<int>(seen.count());
}

constexpr int kThresholdDivisor = 16;
constexpr int kMiddleCountDivisor = 4;

}  // namespace

void TImage::AutoCrop() {
  ClampView();
  ImageRect& v = viewRect;
  int threshold = colourCount / kThresholdDivisor;
  threshold = std::min(
      threshold, DistinctInRow(*this, v.y + v.height / 2, v.x, v.width) / kMiddleCountDivisor);
  threshold = std::min(
      threshold, DistinctInColumn(*this, v.x + v.width / 2, v.y, v.height) / kMiddleCountDivisor);
  threshold = std::max(threshold, 1);

  for (bool changed = true; changed;) {
    changed = false;
    if (v.height > kMinViewSize && DistinctInRow(*this, v.y, v.x, v.width) <= threshold) {
      ++v.y;
      --v.height;
      changed = true;
    }
    if (v.height > kMinViewSize &&
        DistinctInRow(*this, v.y + v.height - 1, v.x, v.width) <= threshold) {
      --v.height;
      changed = true;
    }
    if (v.width > kMinViewSize && DistinctInColumn(*this, v.x, v.y, v.height) <= threshold) {
      ++v.x;
      --v.width;
      changed = true;
    }
    if (v.width > kMinViewSize &&
        DistinctInColumn(*this, v.x + v.width - 1, v.y, v.height) <= threshold) {
      --v.width;
      changed = true;
    }
  }
  cropRect = viewRect;
  viewCentre = {v.x + v.width / 2, v.y + v.height / 2};
}
