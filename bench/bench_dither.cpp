// DitherLine speed: 24-bit rows of a synthetic photo reduced to the fixed
// 236-entry palette at each quality, with the caches warm; and a plain
// serpentine Floyd-Steinberg loop over the same rows for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "image/dither.h"
#include "image/fixed_palette.h"

namespace {

constexpr int kPhotoWidth = 2720;
constexpr int kRows = 64;

// Smooth colour fields with a little grain: close to a photo's statistics.
std::vector<std::uint8_t> MakePhotoRows() {
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(kPhotoWidth) * 3 * kRows);
  std::uint32_t grain = 12345;
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kPhotoWidth; ++x) {
      grain = grain * 1664525u + 1013904223u;
      const int noise = static_cast<int>(grain >> 28) - 8;
      const double u = x / static_cast<double>(kPhotoWidth);
      const double v = y / static_cast<double>(kRows);
      std::uint8_t* p = &rows[(static_cast<std::size_t>(y) * kPhotoWidth + x) * 3];
      p[0] = static_cast<std::uint8_t>(
          std::clamp(static_cast<int>(128 + 100 * std::sin(6.0 * u + v)) + noise, 0, 255));
      p[1] = static_cast<std::uint8_t>(
          std::clamp(static_cast<int>(120 + 90 * std::cos(4.0 * u - 2 * v)) + noise, 0, 255));
      p[2] = static_cast<std::uint8_t>(
          std::clamp(static_cast<int>(140 + 110 * std::sin(9.0 * u * v + 1)) + noise, 0, 255));
    }
  }
  return rows;
}

void BM_DitherLineFixedPalette(benchmark::State& state) {
  const std::vector<std::uint8_t> rows = MakePhotoRows();
  std::vector<std::uint8_t> line(static_cast<std::size_t>(kPhotoWidth) * 3);
  TDither dither(static_cast<int>(state.range(0)));
  dither.SetSource(nullptr, false, true, 5, 5, false);
  dither.SetTarget(GetFixedDitherPalette());
  const std::size_t row_bytes = line.size();
  for (int y = 0; y < kRows; ++y) {  // warm the caches
    std::memcpy(line.data(), &rows[y * row_bytes], row_bytes);
    dither.DitherLine(line.data(), kPhotoWidth, 3);
  }
  int y = 0;
  for (auto _ : state) {
    std::memcpy(line.data(), &rows[y * row_bytes], row_bytes);
    dither.DitherLine(line.data(), kPhotoWidth, 3);
    benchmark::DoNotOptimize(line.data());
    y = (y + 1) % kRows;
  }
  state.SetItemsProcessed(state.iterations() * kPhotoWidth);
}
BENCHMARK(BM_DitherLineFixedPalette)
    ->Arg(kLowDitherQuality)
    ->ArgName("quality")
    ->Arg(kDefaultDitherQuality)
    ->Arg(kHighDitherQuality);

// A palette picture's indices, and a 24-bit picture in grey, on the same palette.
void BM_DitherLineOtherSources(benchmark::State& state) {
  const bool palette_source = state.range(0) == 1;
  const std::vector<std::uint8_t> rows = MakePhotoRows();
  LogPalette source;
  source.count = 256;
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    source.entries[i] = {v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v / 2),
                         0};
  }
  const int bytes_per_pixel = palette_source ? 1 : 3;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(kPhotoWidth) * 3);
  TDither dither(kDefaultDitherQuality);
  dither.SetSource(palette_source ? &source : nullptr, false, palette_source, 5, 5, false);
  dither.SetTarget(GetFixedDitherPalette());
  const std::size_t row_bytes = line.size();
  int y = 0;
  for (auto _ : state) {
    std::memcpy(line.data(), &rows[y * row_bytes], row_bytes);
    dither.DitherLine(line.data(), kPhotoWidth, bytes_per_pixel);
    benchmark::DoNotOptimize(line.data());
    y = (y + 1) % kRows;
  }
  state.SetItemsProcessed(state.iterations() * kPhotoWidth);
  state.SetLabel(palette_source ? "palette indices, colour" : "24-bit, grey");
}
BENCHMARK(BM_DitherLineOtherSources)->Arg(1)->Arg(3)->ArgName("bytes_per_pixel");

// The textbook loop: int errors per channel, nearest entry from a 32-level
// RGB lookup table, serpentine scan.
void BM_PlainSerpentineFloydSteinberg(benchmark::State& state) {
  const std::vector<std::uint8_t> rows = MakePhotoRows();
  const LogPalette& palette = GetFixedDitherPalette();
  std::vector<std::uint8_t> nearest(32 * 32 * 32);
  for (int i = 0; i < 32 * 32 * 32; ++i) {
    const int r = ((i >> 10) << 3) + 4, g = (((i >> 5) & 31) << 3) + 4, b = ((i & 31) << 3) + 4;
    int best = 1 << 30;
    for (int k = 0; k < palette.count; ++k) {
      const PaletteEntry& e = palette.entries[k];
      const int d =
          (r - e.red) * (r - e.red) + (g - e.green) * (g - e.green) + (b - e.blue) * (b - e.blue);
      if (d < best) {
        best = d;
        nearest[i] = static_cast<std::uint8_t>(k);
      }
    }
  }
  std::vector<int> current((kPhotoWidth + 2) * 3, 0), below((kPhotoWidth + 2) * 3, 0);
  std::vector<std::uint8_t> out(kPhotoWidth);
  const std::size_t row_bytes = static_cast<std::size_t>(kPhotoWidth) * 3;
  int y = 0;
  bool reverse = false;
  for (auto _ : state) {
    const std::uint8_t* row = &rows[y * row_bytes];
    std::fill(below.begin(), below.end(), 0);
    const int step = reverse ? -1 : 1;
    for (int n = 0; n < kPhotoWidth; ++n) {
      const int x = reverse ? kPhotoWidth - 1 - n : n;
      int c[3];
      for (int ch = 0; ch < 3; ++ch) {
        c[ch] = std::clamp(row[x * 3 + ch] + current[(x + 1) * 3 + ch] / 16, 0, 255);
      }
      const std::uint8_t index = nearest[((c[2] >> 3) << 10) | ((c[1] >> 3) << 5) | (c[0] >> 3)];
      out[x] = index;
      const PaletteEntry& e = palette.entries[index];
      const int chosen[3] = {e.blue, e.green, e.red};
      for (int ch = 0; ch < 3; ++ch) {
        const int err = c[ch] - chosen[ch];
        current[(x + 1 + step) * 3 + ch] += err * 7;
        below[(x + 1 - step) * 3 + ch] += err * 3;
        below[(x + 1) * 3 + ch] += err * 5;
        below[(x + 1 + step) * 3 + ch] += err;
      }
    }
    std::swap(current, below);
    reverse = !reverse;
    benchmark::DoNotOptimize(out.data());
    y = (y + 1) % kRows;
  }
  state.SetItemsProcessed(state.iterations() * kPhotoWidth);
}
BENCHMARK(BM_PlainSerpentineFloydSteinberg);

}  // namespace
