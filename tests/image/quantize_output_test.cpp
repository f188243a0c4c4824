#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "image/dither.h"
#include "image/image.h"
#include "platform/long_operation.h"

namespace {

// Everything the pipeline delivered, in order.
struct Delivered {
  bool began = false;
  bool ended = false;
  int colours = 0;
  std::vector<std::array<std::uint8_t, 3>> map;
  std::vector<std::vector<std::uint8_t>> rows;
  int fail_after_rows = -1;
  int cancel_after_rows = -1;
};

QuantizeSink SinkFor(Delivered& delivered, bool with_rows = true) {
  QuantizeSink sink;
  sink.context = &delivered;
  sink.begin = [](void* c) { return static_cast<Delivered*>(c)->began = true; };
  sink.colour_map = [](void* c, int count, const std::uint8_t* r, const std::uint8_t* g,
                       const std::uint8_t* b) {
    auto& d = *static_cast<Delivered*>(c);
    d.colours = count;
    for (int i = 0; i < count; ++i) d.map.push_back({r[i], g[i], b[i]});
    return true;
  };
  if (with_rows) {
    sink.pixel_row = [](void* c, const std::uint8_t* indices, int count) {
      auto& d = *static_cast<Delivered*>(c);
      d.rows.emplace_back(indices, indices + count);
      if (static_cast<int>(d.rows.size()) == d.cancel_after_rows) RequestCancel();
      return static_cast<int>(d.rows.size()) != d.fail_after_rows;
    };
  }
  sink.end = [](void* c) { static_cast<Delivered*>(c)->ended = true; };
  return sink;
}

// Palette picture 16 x 16 whose row r is filled with index r; its palette is
// the grey scale of Create.
std::unique_ptr<TImage> RowIndexed() {
  auto image = std::make_unique<TImage>();
  image->Create(16, 16, 1, 1, 1, 1, 0);
  for (int r = 0; r < 16; ++r) std::fill_n(image->Row(r), 16, static_cast<std::uint8_t>(r));
  image->SetOutputSize(16, 16, 1, 1, 0, true, true);
  return image;
}

std::unique_ptr<TImage> Photo(int width, int height) {
  auto image = std::make_unique<TImage>();
  image->Create(width, height, 1, 1, 3, 1, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image->Row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(128 + 100 * std::sin(x * 0.05));
      p[1] = static_cast<std::uint8_t>(255 * y / height);
      p[2] = static_cast<std::uint8_t>(128 + 120 * std::cos((x + y) * 0.02));
    }
  }
  image->SetOutputSize(width, height, 1, 1, 0, true, true);
  return image;
}

TEST(QuantizeToOutput, InterlacedRowsComeInFourPasses) {
  auto image = RowIndexed();
  image->outputRect.height = 10;  // the smallest area is 16: cut the output rect itself
  Delivered d;
  ASSERT_EQ(QuantizeToOutput(*image, nullptr, true, 256, SinkFor(d)), 0);
  std::vector<int> order;
  for (const auto& row : d.rows) order.push_back(row[0]);
  EXPECT_EQ(order, (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
  EXPECT_TRUE(d.began);
  EXPECT_TRUE(d.ended);
}

TEST(QuantizeToOutput, APalettePictureThatFitsKeepsItsIndicesAndAdjustedPalette) {
  auto image = RowIndexed();
  LogPalette palette;
  image->GetPalette(palette, nullptr);
  TDither dither;
  dither.SetSource(&palette, false, true, 5, 5, true);  // inverted
  Delivered d;
  ASSERT_EQ(QuantizeToOutput(*image, &dither, false, 256, SinkFor(d)), 0);
  EXPECT_EQ(d.colours, 256);
  EXPECT_EQ(d.map[3][0], 255 - 3);
  ASSERT_EQ(d.rows.size(), 16u);
  EXPECT_EQ(d.rows[7][15], 7);
}

TEST(QuantizeToOutput, ReducesMoreColoursThanAskedFor) {
  auto image = RowIndexed();  // 256 palette entries, 16 in use
  LogPalette palette;
  image->GetPalette(palette, nullptr);
  for (int i = 0; i < 16; ++i) {
    const auto grey = static_cast<std::uint8_t>(i * 17);
    palette.entries[i] = {grey, grey, grey, 0};
  }
  image->SetPalette(palette);
  Delivered d;
  ASSERT_EQ(QuantizeToOutput(*image, nullptr, false, 16, SinkFor(d)), 0);
  EXPECT_EQ(d.colours, 16);
  // The sixteen greys in use fit: every row maps back to its own grey.
  for (int r = 0; r < 16; ++r) {
    for (std::uint8_t index : d.rows[r]) ASSERT_EQ(d.map[index][1], r * 17);
  }
}

double Psnr(const TImage& image, const Delivered& d) {
  double squared = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.Row(y) + 3 * x;
      const auto& c = d.map[d.rows[y][x]];
      for (int k = 0; k < 3; ++k) squared += std::pow(p[2 - k] - c[k], 2);
    }
  }
  const double mse = squared / (3.0 * image.width * image.height);
  return 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(QuantizeToOutput, ATrueColourPictureComesOutClose) {
  auto image = Photo(300, 200);
  Delivered d;
  ASSERT_EQ(QuantizeToOutput(*image, nullptr, false, 256, SinkFor(d)), 0);
  EXPECT_EQ(d.colours, 256);
  // ImageMagick's Floyd-Steinberg reaches 25.8 dB on this picture.
  EXPECT_GT(Psnr(*image, d), 26.0);
  Delivered few;
  ASSERT_EQ(QuantizeToOutput(*image, nullptr, false, 8, SinkFor(few)), 0);
  EXPECT_EQ(few.colours, 8);
  EXPECT_GT(Psnr(*image, few), 15.0);
}

TEST(QuantizeToOutput, FewColoursComeBackExactly) {
  auto image = std::make_unique<TImage>();
  image->Create(40, 40, 1, 1, 3, 1, 0);
  const std::uint8_t colours[3][3] = {{10, 200, 30}, {250, 250, 250}, {0, 0, 90}};
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) std::copy_n(colours[(x / 8 + y) % 3], 3, image->Row(y) + 3 * x);
  }
  image->SetOutputSize(40, 40, 1, 1, 0, true, true);
  Delivered d;
  ASSERT_EQ(QuantizeToOutput(*image, nullptr, false, 256, SinkFor(d)), 0);
  EXPECT_EQ(d.colours, 3);
  EXPECT_TRUE(std::isinf(Psnr(*image, d)));
}

TEST(QuantizeToOutput, ACallbackFailureStopsAtOnceWithoutTheEnd) {
  auto image = Photo(50, 40);
  Delivered d;
  d.fail_after_rows = 5;
  EXPECT_EQ(QuantizeToOutput(*image, nullptr, false, 64, SinkFor(d)), 1);
  EXPECT_EQ(d.rows.size(), 5u);
  EXPECT_FALSE(d.ended);
}

TEST(QuantizeToOutput, ACancelEndsTheRowsButStillEnds) {
  auto image = Photo(50, 40);
  Delivered d;
  d.cancel_after_rows = 3;
  BeginLongOperation();
  EXPECT_EQ(QuantizeToOutput(*image, nullptr, false, 64, SinkFor(d)), 0);
  EndLongOperation();
  EXPECT_EQ(d.rows.size(), 3u);
  EXPECT_TRUE(d.ended);
}

// A run started from inside another (an event handled while the first polls)
// must not disturb the tables of the first.
TEST(QuantizeToOutput, ARunNestedInACallbackLeavesTheOuterRunAlone) {
  auto outer = Photo(60, 50);
  Delivered plain;
  ASSERT_EQ(QuantizeToOutput(*outer, nullptr, false, 200, SinkFor(plain)), 0);

  struct Nesting {
    Delivered delivered;
    TImage* inner = nullptr;
    Delivered inner_delivered;
  } nesting;
  auto inner = Photo(30, 70);
  for (int y = 0; y < 70; ++y) std::reverse(inner->Row(y), inner->Row(y) + 90);
  nesting.inner = inner.get();
  QuantizeSink sink = SinkFor(nesting.delivered);
  sink.context = &nesting;
  sink.colour_map = [](void* c, int count, const std::uint8_t* r, const std::uint8_t* g,
                       const std::uint8_t* b) {
    auto& n = *static_cast<Nesting*>(c);
    QuantizeToOutput(*n.inner, nullptr, false, 256, SinkFor(n.inner_delivered));
    n.delivered.colours = count;
    for (int i = 0; i < count; ++i) n.delivered.map.push_back({r[i], g[i], b[i]});
    return true;
  };
  sink.pixel_row = [](void* c, const std::uint8_t* indices, int count) {
    auto& n = *static_cast<Nesting*>(c);
    if (n.delivered.rows.size() == 10) {
      QuantizeToOutput(*n.inner, nullptr, false, 256, SinkFor(n.inner_delivered));
    }
    n.delivered.rows.emplace_back(indices, indices + count);
    return true;
  };
  ASSERT_EQ(QuantizeToOutput(*outer, nullptr, false, 200, sink), 0);
  EXPECT_EQ(nesting.delivered.map, plain.map);
  EXPECT_EQ(nesting.delivered.rows, plain.rows);
  EXPECT_EQ(nesting.inner_delivered.colours, 256);
}

TEST(QuantizeToOutput, AnEmptyOutputIsAFailure) {
  auto image = Photo(50, 40);
  image->outputRect.width = 0;
  Delivered d;
  EXPECT_EQ(QuantizeToOutput(*image, nullptr, false, 64, SinkFor(d)), 1);
  EXPECT_FALSE(d.began);
}

TEST(MakeRepresentativePalette, AtMost236ColoursFromAReducedView) {
  auto image = Photo(1000, 700);
  image->MakeRepresentativePalette();
  EXPECT_EQ(image->representativeCount, 236);
  std::set<std::array<std::uint8_t, 3>> distinct;
  for (int i = 0; i < 236; ++i) {
    distinct.insert(
        {image->representative[0][i], image->representative[1][i], image->representative[2][i]});
  }
  EXPECT_GT(distinct.size(), 200u);
  EXPECT_EQ(image->outputRect.width, 255);

  auto palette_picture = RowIndexed();
  palette_picture->MakeRepresentativePalette();
  EXPECT_EQ(palette_picture->representativeCount, 0);
}

}  // namespace
