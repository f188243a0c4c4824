#include "image/colour_quantizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Blue, green, red pixels of a busy picture: every channel runs through its
// whole range at a different rate, so boxes split along all three.
std::vector<std::uint8_t> Busy(int count, int seed) {
  std::vector<std::uint8_t> bgr(std::size_t(count) * 3);
  std::uint32_t state = static_cast<std::uint32_t>(seed);
  for (int i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    bgr[3 * i] = static_cast<std::uint8_t>(i * 7 + (state >> 28));
    bgr[3 * i + 1] = static_cast<std::uint8_t>(i / 3 + (state >> 26));
    bgr[3 * i + 2] = static_cast<std::uint8_t>((i * 13) / 5);
  }
  return bgr;
}

// The lowest index among the colours nearest to (red, green, blue).
int Nearest(const TColourQuantizer& quantizer, int red, int green, int blue) {
  int best = 0;
  int best_distance = std::numeric_limits<int>::max();
  for (int i = 0; i < quantizer.ColourCount(); ++i) {
    const int dr = red - quantizer.Red()[i];
    const int dg = green - quantizer.Green()[i];
    const int db = blue - quantizer.Blue()[i];
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
}

// A pixel at the centre of a histogram cell, mapped first after the errors
// are cleared, carries no error: it must get the nearest colour exactly.
TEST(ColourQuantizer, CellCentresMapToTheirNearestColourWithTiesToTheLowerIndex) {
  for (int colours : {2, 17, 256}) {
    TColourQuantizer quantizer;
    ASSERT_TRUE(quantizer.Init());
    const std::vector<std::uint8_t> pixels = Busy(5000, colours);
    quantizer.AddPixels(pixels.data(), 5000);
    ASSERT_EQ(quantizer.ChooseColours(colours), colours);
    for (int red = 4; red < 256; red += 8) {
      for (int green = 2; green < 256; green += 4 * 3) {
        for (int blue = 4; blue < 256; blue += 8) {
          const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(blue),
                                         static_cast<std::uint8_t>(green),
                                         static_cast<std::uint8_t>(red)};
          std::uint8_t index = 0;
          quantizer.StartMapping();
          quantizer.MapRow(pixel, &index, 1);
          ASSERT_EQ(index, Nearest(quantizer, red, green, blue))
              << colours << " colours at " << red << ", " << green << ", " << blue;
        }
      }
    }
  }
}

TEST(ColourQuantizer, EqualColoursInTheMapGoToTheLowerIndex) {
  // A black picture gets black filler beside its own black: two equal
  // colours, of which the lower index must win.
  TColourQuantizer quantizer;
  ASSERT_TRUE(quantizer.Init());
  const std::uint8_t grey[3] = {0, 0, 0};
  quantizer.AddPixels(grey, 1);
  ASSERT_EQ(quantizer.ChooseColours(256), 2);
  std::uint8_t index = 9;
  quantizer.StartMapping();
  quantizer.MapRow(grey, &index, 1);
  EXPECT_EQ(index, 0);
}

struct Result {
  std::vector<std::uint8_t> map;
  std::vector<std::uint8_t> indices;
  bool operator==(const Result&) const = default;
};

Result Quantize(TColourQuantizer& quantizer, const std::vector<std::uint8_t>& bgr, int width,
                int colours) {
  Result result;
  EXPECT_TRUE(quantizer.Init());
  const int rows = static_cast<int>(bgr.size() / 3) / width;
  for (int y = 0; y < rows; ++y) quantizer.AddPixels(&bgr[std::size_t(y) * width * 3], width);
  const int count = quantizer.ChooseColours(colours);
  for (int i = 0; i < count; ++i) {
    result.map.insert(result.map.end(),
                      {quantizer.Red()[i], quantizer.Green()[i], quantizer.Blue()[i]});
  }
  result.indices.resize(std::size_t(width) * rows);
  quantizer.StartMapping();
  for (int y = 0; y < rows; ++y) {
    quantizer.MapRow(&bgr[std::size_t(y) * width * 3], &result.indices[std::size_t(y) * width],
                     width);
  }
  return result;
}

TEST(ColourQuantizer, AReusedQuantizerForgetsThePicturesBefore) {
  const std::vector<std::uint8_t> first = Busy(64 * 48, 1);
  const std::vector<std::uint8_t> second = Busy(80 * 20, 2);
  TColourQuantizer fresh;
  const Result expected = Quantize(fresh, first, 64, 200);

  TColourQuantizer reused;
  Quantize(reused, second, 80, 256);
  EXPECT_EQ(Quantize(reused, first, 64, 200), expected);
  // A narrower picture after a wider one: no errors left at the old right edge.
  Quantize(reused, first, 64, 200);
  const Result narrow = Quantize(fresh, second, 40, 256);
  EXPECT_EQ(Quantize(reused, second, 40, 256), narrow);
}

}  // namespace
