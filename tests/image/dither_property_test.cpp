// Properties of DitherLine over random input: every line stays inside its
// buffers (run under the sanitizers), and the cached, table-driven engine
// gives the same indices as a plain uncached model of the same rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "image/dither.h"
#include "image/fixed_palette.h"

namespace {

LogPalette RandomPalette(std::mt19937& random, int count) {
  LogPalette palette;
  palette.count = static_cast<std::uint16_t>(count);
  for (int i = 0; i < count; ++i) {
    palette.entries[i] = {static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                          static_cast<std::uint8_t>(random()), 0};
    if (random() % 4 == 0)
      palette.entries[i].green = palette.entries[i].blue = palette.entries[i].red;
  }
  return palette;
}

TEST(DitherLineProperty, RandomLinesStayInsideTheirBuffers) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 60; ++round) {
    TDither dither(1 + static_cast<int>(random() % 3));
    const bool palette_source = random() % 2 == 0;
    const LogPalette source = RandomPalette(random, static_cast<int>(random() % 257));
    dither.SetSource(palette_source ? &source : nullptr, random() % 5 == 0, random() % 3 != 0,
                     1 + static_cast<int>(random() % 9), 1 + static_cast<int>(random() % 9),
                     random() % 2 == 0);
    const LogPalette target = RandomPalette(random, static_cast<int>(random() % 257));
    dither.SetTarget(target);
    const int bytes_per_pixel = palette_source ? 1 : 3;
    for (int row = 0; row < 4; ++row) {
      const int count =
          round < 4 ? kMaxDitherPixels + round * 500 : 1 + static_cast<int>(random() % 8192);
      std::vector<std::uint8_t> line(static_cast<std::size_t>(count) * bytes_per_pixel);
      for (auto& byte : line) byte = static_cast<std::uint8_t>(random());
      const std::vector<std::uint8_t> before = line;
      dither.DitherLine(line.data(), count, bytes_per_pixel);
      const int done = std::min(count, kMaxDitherPixels);
      for (int x = 0; x < done && target.count > 0; ++x) {
        ASSERT_LT(line[x], target.count) << "round " << round << " x " << x;
      }
      // Pixels past the error rows are left as they were.
      const std::size_t untouched = static_cast<std::size_t>(done) * bytes_per_pixel;
      ASSERT_TRUE(std::equal(line.begin() + untouched, line.end(), before.begin() + untouched));
    }
  }
}

// The rules written out plainly: int rows, no caches, the ahead part stored in
// the current row.
class PlainDither {
 public:
  PlainDither(const LogPalette& target, int quality) : quality_(GetDitherQualityParams(quality)) {
    const ToneCurve& curve = GetToneCurve(
        target.count <= kSmallTargetMaxEntries ? kSmallTargetPreCurve : kIdentityCurve);
    for (int i = 0; i < target.count; ++i) {
      const PaletteEntry& e = target.entries[i];
      targets_.push_back(Ycc(curve[e.red], curve[e.green], curve[e.blue]));
    }
    curve_ = &curve;
  }

  std::vector<int> Line(const std::vector<std::uint8_t>& bgr) {
    const int count = static_cast<int>(bgr.size() / 3);
    if (rows_[0][0].size() < static_cast<std::size_t>(count + 2)) {
      for (auto& pair : rows_)
        for (auto& row : pair) row.assign(count + 2, 0);
    }
    reverse_ = !reverse_;
    const int step = reverse_ ? -1 : 1;
    auto& current = rows_[current_];
    auto& below = rows_[current_ ^ 1];
    const int first = reverse_ ? count : 1;
    for (auto& row : below) row[first - step] = row[first] = row[first + step] = 0;
    std::vector<int> out(count);
    for (int n = 0; n < count; ++n) {
      const int x = reverse_ ? count - 1 - n : n;
      const int cell = x + 1;
      const std::array<int, 3> source =
          Ycc((*curve_)[bgr[3 * x + 2]], (*curve_)[bgr[3 * x + 1]], (*curve_)[bgr[3 * x]]);
      std::array<int, 3> value;
      for (int ch = 0; ch < 3; ++ch) value[ch] = std::clamp(source[ch] + current[ch][cell], 0, 255);
      out[x] = Nearest(value);
      for (int ch = 0; ch < 3; ++ch) {
        const int n16 = std::clamp(value[ch] - targets_[out[x]][ch], -128, 127);
        const int bb = 3 * n16 / 16, b = 5 * n16 / 16, ab = n16 / 16;
        below[ch][cell - step] = static_cast<std::int8_t>(below[ch][cell - step] + bb);
        below[ch][cell] = static_cast<std::int8_t>(below[ch][cell] + b);
        below[ch][cell + step] = static_cast<std::int8_t>(ab);
        current[ch][cell + step] =
            static_cast<std::int8_t>(current[ch][cell + step] + n16 - bb - b - ab);
      }
    }
    current_ ^= 1;
    return out;
  }

 private:
  static std::array<int, 3> Ycc(int r, int g, int b) {
    const ColourSpaceTables& t = GetColourSpaceTables();
    return {t.Y(r, g, b), t.Cb(r, g, b), t.Cr(r, g, b)};
  }
  int Nearest(const std::array<int, 3>& v) const {
    const int y = (v[0] & quality_.luma_mask) | quality_.luma_half_cell;
    const int cb = (v[1] & quality_.chroma_mask) | quality_.chroma_half_cell;
    const int cr = (v[2] & quality_.chroma_mask) | quality_.chroma_half_cell;
    int best = 32767, index = 0;
    for (int i = 0; i < static_cast<int>(targets_.size()); ++i) {
      const int dy = (y - targets_[i][0]) >> 1, dcb = (cb - targets_[i][1]) >> 2,
                dcr = (cr - targets_[i][2]) >> 2;
      if (dy * dy > 16383 || dcb * dcb > 4095 || dcr * dcr > 4095) continue;
      const int d = dy * dy + dcb * dcb + dcr * dcr;
      if (d <= best) best = d, index = i;
    }
    return index;
  }

  DitherQualityParams quality_;
  const ToneCurve* curve_;
  std::vector<std::array<int, 3>> targets_;
  std::vector<std::int8_t> rows_[2][3];
  int current_ = 0;
  bool reverse_ = true;
};

TEST(DitherLineProperty, MatchesThePlainUncachedRules) {
  std::mt19937 random(7);
  for (int quality = kLowDitherQuality; quality <= kHighDitherQuality; ++quality) {
    for (const int target_size : {2, 16, 17, 236}) {
      const LogPalette target =
          target_size == 236 ? GetFixedDitherPalette() : RandomPalette(random, target_size);
      TDither dither(quality);
      dither.SetSource(nullptr, false, true, 5, 5, false);
      dither.SetTarget(target);
      PlainDither plain(target, quality);
      const int width = 1 + static_cast<int>(random() % 700);
      for (int row = 0; row < 12; ++row) {
        std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * 3);
        int shade = static_cast<int>(random() % 256);
        for (auto& byte : line) {  // smooth runs with jumps, as in photos
          shade = (shade + static_cast<int>(random() % 9) - 4 + 256) % 256;
          byte = static_cast<std::uint8_t>(random() % 50 == 0 ? random() : shade);
        }
        const std::vector<int> expected = plain.Line(line);
        dither.DitherLine(line.data(), width, 3);
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(line[x], expected[x])
              << "quality " << quality << " target " << target_size << " row " << row << " x " << x;
        }
      }
    }
  }
}

}  // namespace
