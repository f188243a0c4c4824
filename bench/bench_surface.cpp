// Raster speed of the platform's surfaces at full-HD size: filling, copying
// between surfaces and drawing bitmap lines, beside a plain memcpy of the
// same bytes for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/device_context.h"
#include "platform/display.h"
#include "platform/surface.h"

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr std::int64_t kSurfaceBytes = std::int64_t{kWidth} * kHeight * 4;

void BM_MemcpyBaseline(benchmark::State& state) {
  std::vector<std::uint32_t> from(static_cast<std::size_t>(kWidth) * kHeight, 1);
  std::vector<std::uint32_t> to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(state.iterations() * kSurfaceBytes);
}
BENCHMARK(BM_MemcpyBaseline);

void BM_FillRect(benchmark::State& state) {
  auto surface = TSurface::Create(kWidth, kHeight, 24);
  TDeviceContext dc(*surface, nullptr);
  int shade = 0;
  for (auto _ : state) {
    dc.FillRect(Rect{0, 0, kWidth, kHeight}, MakeRgb(shade, 0, 0));
    shade = (shade + 1) & 0xFF;
    benchmark::DoNotOptimize(surface->Row(0));
  }
  state.SetBytesProcessed(state.iterations() * kSurfaceBytes);
}
BENCHMARK(BM_FillRect);

void BM_BitBlt(benchmark::State& state) {
  auto page = TSurface::Create(kWidth, kHeight, 24);
  auto screen = TSurface::Create(kWidth, kHeight, 24);
  TDeviceContext page_dc(*page, nullptr);
  TDeviceContext screen_dc(*screen, nullptr);
  for (auto _ : state) {
    screen_dc.BitBlt(0, 0, kWidth, kHeight, page_dc, 0, 0);
    benchmark::DoNotOptimize(screen->Row(0));
  }
  state.SetBytesProcessed(state.iterations() * kSurfaceBytes);
}
BENCHMARK(BM_BitBlt);

// 1080 lines of 1920 pixels in 24-bit: the true-colour paint path.
void BM_DrawBgrLines(benchmark::State& state) {
  auto surface = TSurface::Create(kWidth, kHeight, 24);
  TDeviceContext dc(*surface, nullptr);
  std::vector<std::uint8_t> line(static_cast<std::size_t>(kWidth) * 3);
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<std::uint8_t>(i * 7);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) dc.DrawDibLine(0, y, kWidth, line, DibLineFormat::kBgr24);
    benchmark::DoNotOptimize(surface->Row(0));
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t{kHeight} * kWidth * 3);
}
BENCHMARK(BM_DrawBgrLines);

// The same with 8-bit lines referring to a realized palette on an 8-bit display.
void BM_DrawPaletteLinesOnPaletteDisplay(benchmark::State& state) {
  TDisplay display;
  display.SetDepth(8);
  std::vector<PaletteColour> colours;
  for (int i = 0; i < 236; ++i) {
    colours.push_back(PaletteColour{static_cast<std::uint8_t>(i),
                                    static_cast<std::uint8_t>(255 - i),
                                    static_cast<std::uint8_t>(i * 3), kPcNoCollapse});
  }
  TPalette palette(colours);
  auto surface = display.CreateCompatibleSurface(kWidth, kHeight);
  TDeviceContext dc(*surface, &display);
  dc.SelectPalette(&palette);
  dc.RealizePalette();
  std::vector<std::uint8_t> line(static_cast<std::size_t>(kWidth));
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<std::uint8_t>(i % 236);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      dc.DrawDibLine(0, y, kWidth, line, DibLineFormat::kIndexedPalette);
    }
    benchmark::DoNotOptimize(surface->Row(0));
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t{kHeight} * kWidth);
  display.SetDepth(24);
}
BENCHMARK(BM_DrawPaletteLinesOnPaletteDisplay);
}  // namespace
